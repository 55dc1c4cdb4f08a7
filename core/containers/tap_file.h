// A TAP tape read from memory: blocks one after another, each a 16-bit little-endian length and
// that many bytes (flag, payload, XOR checksum); nothing before, between or after them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// True when the bytes are one or more blocks ending exactly at the end, each with a flag, a
// checksum and an XOR of zero: how a TAP of unknown extension is recognised.
bool LooksLikeTap(std::span<const std::uint8_t> image);

// The tape's files (TapeFileLister), headerless blocks named after stem. A block cut short by
// the end of the file lists what it holds and is a warning. Never fails.
Collection ReadTapFile(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
