// The LZ4 block format: sequences of a token, literals, a two-byte offset and a match; the last
// sequence is literals alone and ends with the block.
#include "unpack/unpackers.h"

namespace orlaspin {

namespace {

constexpr std::size_t kMinMatch = 4;
constexpr std::size_t kLastLiterals = 5;  // a block ends with at least this many literals

// A nibble's count, with its extension bytes when the nibble is 15.
std::size_t Count(PackedInput& input, unsigned nibble) {
  std::size_t count = nibble;
  if (nibble < 15) return count;
  for (std::uint8_t more = 255; more == 255;) {
    more = input.Byte();
    count += more;
    if (count > kLargestUnpacked) input.Fail("a length runs away");
  }
  return count;
}

}  // namespace

Unpacked UnpackLz4Block(std::span<const std::uint8_t> packed) {
  PackedInput input("LZ4", packed);
  UnpackedOutput output(input);
  std::size_t matchEnd = 0;
  for (;;) {
    const std::uint8_t token = input.Byte();
    output.Literals(Count(input, token >> 4));
    if (input.AtEnd()) break;
    const std::size_t low = input.Byte();
    const std::size_t offset = low | std::size_t{input.Byte()} << 8;
    output.Copy(offset, Count(input, token & 15) + kMinMatch);
    matchEnd = output.Size();
  }
  if (matchEnd > 0 && output.Size() - matchEnd < kLastLiterals) {
    input.Fail("the block ends with fewer than 5 literals after its last match");
  }
  return {output.Take(), input.Offset()};
}

}  // namespace orlaspin
