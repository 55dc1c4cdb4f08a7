// An SCL archive read from memory: "SINCLAIR", a file count, one 14-byte header per file (a
// catalogue entry without its sector and track), the files' sectors in order, then a 4-byte
// little-endian checksum, the sum of every byte before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

inline constexpr std::size_t kSclHeaderSize = 14;
// The longest archive: 255 files of 255 sectors.
inline constexpr std::size_t kSclLargestSize = 9 + 255 * (kSclHeaderSize + 255 * 256) + 4;

bool HasSclSignature(std::span<const std::uint8_t> image);

// The archive's files in order, each at the offset of its first sector. A wrong checksum or an
// archive cut short (its missing bytes read as zero) is a warning. Raises ImageFormatError when the
// signature is missing or the headers are incomplete.
Collection ReadSclArchive(std::span<const std::uint8_t> image);

}  // namespace orlaspin
