// Inflating deflate data with zlib, bounded: what ZIP members and gzip files share.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace orlaspin {

enum class InflateEnd { Complete, TooLong, CutShort, Broken };

// Inflates data (raw deflate for windowBits -15, a gzip stream with its checks for 31) into out,
// which grows a chunk at a time up to most + 1 bytes, so that a stream longer than most shows
// without more being held.
InflateEnd Inflate(std::span<const std::uint8_t> data, int windowBits, std::uint64_t most,
                   std::vector<std::uint8_t>& out);

}  // namespace orlaspin
