#include "containers/inflate.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <climits>

namespace orlaspin {

InflateEnd Inflate(std::span<const std::uint8_t> data, int windowBits, std::uint64_t most,
                   std::vector<std::uint8_t>& out) {
  constexpr std::size_t kChunk = 1 << 16;
  z_stream stream{};
  if (inflateInit2(&stream, windowBits) != Z_OK) return InflateEnd::Broken;
  InflateEnd end = InflateEnd::Broken;
  std::size_t fed = 0;
  for (;;) {
    if (stream.avail_in == 0 && fed < data.size()) {
      const std::size_t count = std::min<std::size_t>(data.size() - fed, UINT_MAX);
      stream.next_in = data.data() + fed;
      stream.avail_in = static_cast<uInt>(count);
      fed += count;
    }
    const std::size_t before = out.size();
    const auto room = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, most + 1 - before));
    out.resize(before + room);
    stream.next_out = out.data() + before;
    stream.avail_out = static_cast<uInt>(room);
    const int result = inflate(&stream, Z_NO_FLUSH);
    out.resize(before + room - stream.avail_out);
    // A stream may end exactly one byte past the limit: still too long.
    if (out.size() > most) {
      end = InflateEnd::TooLong;
      break;
    }
    if (result == Z_STREAM_END) {
      end = InflateEnd::Complete;
      break;
    }
    if (result == Z_BUF_ERROR && stream.avail_in == 0 && fed == data.size()) {
      end = InflateEnd::CutShort;
      break;
    }
    if (result != Z_OK && result != Z_BUF_ERROR) break;
  }
  inflateEnd(&stream);
  return end;
}

}  // namespace orlaspin
