// A bare screen file: a screen dump of one of the formats told apart by extension and size (a
// standard .scr of 6912 bytes, a Timex .scr, a gigascreen .img, a chr$ picture, ...).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// One screen named stem (the file's name without its extension), of the format that its
// extension (lower case, without its dot) and length say, typed with the format's name; a
// PLUS3DOS header in front of it is skipped. Raises
// ImageFormatError, naming the size found and the sizes the extension allows (or what its header
// check found wrong), when no format accepts the bytes.
Collection ReadBareScreen(std::span<const std::uint8_t> image, std::string_view extension,
                          std::string_view stem);

}  // namespace orlaspin
