// A Hobeta file read from memory: one TR-DOS file behind a 17-byte header (name 8, extension 1,
// start 2, length 2, a 16-bit full length whose high byte is the sector count, a 16-bit checksum).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

inline constexpr std::size_t kHobetaHeaderSize = 17;

// (105 + 257 x the sum of header bytes 0-14) mod 65536.
std::uint16_t HobetaChecksum(std::span<const std::uint8_t> header);

// True when a header is there and its checksum holds: how a Hobeta file of unknown extension is
// recognised.
bool HasHobetaHeader(std::span<const std::uint8_t> image);

// The one file, its data after the header. A wrong checksum, or data shorter than the length
// (the missing bytes read as zero), is a warning. Raises ImageFormatError when the header is
// incomplete.
Collection ReadHobetaFile(std::span<const std::uint8_t> image);

}  // namespace orlaspin
