// A bare screen dump (.scr): exactly 6912 bytes, the pixels then the attributes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// One screen named stem (the file's name without its extension). Raises ImageFormatError when
// the length is not 6912.
Collection ReadBareScreen(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
