// A TZX tape (version 1.x) read from memory: "ZXTape!", 0x1A, the major and minor version, then
// blocks, each an ID byte and a body whose length the ID's own rule gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// What a tape's blocks may unpack to at most (inverted data, embedded snapshots' screens): a small
// hostile tape could ask for very many snapshots.
inline constexpr std::size_t kTzxMadeBytesLimit = std::size_t{16} << 20;

bool HasTzxSignature(std::span<const std::uint8_t> image);

// The tape's files in block order. The loaded bytes of standard speed (0x10), turbo speed (0x11),
// pure data (0x14) and two-symbol generalized data (0x19) blocks are listed as TapeFileLister
// lists them, headerless ones named after stem; a "Spectrum Screen " custom info block (0x35)
// is a "screen" named by its description, with its border colour; an embedded Z80 or SNA
// snapshot (0x40) lists its screen, named as a headerless block. Every other block is skipped.
// A tape cut short lists what it holds and is a warning. Raises ImageFormatError without the
// signature or the whole header, or when the major version is not 1.
Collection ReadTzxFile(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
