// A PZX tape read from memory: blocks of a 4-character tag, a 32-bit length and a body, the first
// one "PZXT". A DATA block holds its bit count (bit 31 the initial level), the tail pulse, the
// pulse sequences of a 0 and a 1 bit, then the bits, most significant first.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

bool HasPzxSignature(std::span<const std::uint8_t> image);

// The files of the DATA blocks (TapeFileLister), headerless ones named after stem. A block cut
// short lists what it holds and is a warning. Raises ImageFormatError without the signature.
Collection ReadPzxFile(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
