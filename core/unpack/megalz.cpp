// MegaLZ: a first byte as it is, then bit codes fetched on demand, each code's byte read after
// all of its bits: literals, short copies of 1 to 3 bytes and long copies of up to 255.
#include <optional>

#include "unpack/unpackers.h"

namespace orlaspin {

namespace {

constexpr int kEndZeros = 8;  // a length code of eight zeros then a 1 ends the stream
constexpr int kLongestCode = 6;
constexpr std::size_t kLongestCopy = 255;

// Offsets -4352..-257: four bits, then a byte.
std::size_t FarOffset(PackedInput& input) {
  const unsigned high = 0xF0 | input.Bits(4);
  return 65536 - ((high - 1) * 256 + input.Byte());
}

std::size_t NearOrFarOffset(PackedInput& input) {
  if (input.Bit()) return FarOffset(input);
  return 256 - input.Byte();
}

// The length of a long copy (4..255), or nothing for the end mark.
std::optional<std::size_t> LongLength(PackedInput& input) {
  const int zeros = input.ZerosBeforeOne(kEndZeros);
  if (zeros == kEndZeros) return std::nullopt;
  if (zeros > kLongestCode) input.Fail("a length code the format does not have");
  const std::size_t length = (std::size_t{1} << (zeros + 1)) + 2 + input.Bits(zeros + 1);
  if (length > kLongestCopy) input.Fail("a copy longer than 255 bytes");
  return length;
}

}  // namespace

Unpacked UnpackMegaLz(std::span<const std::uint8_t> packed) {
  PackedInput input("MegaLZ", packed);
  UnpackedOutput output(input);
  output.Literals(1);
  for (;;) {
    if (input.Bit()) {
      output.Literal(input.Byte());
    } else if (!input.Bit()) {
      if (!input.Bit()) {
        output.Copy(8 - input.Bits(3), 1);
      } else {
        output.Copy(256 - input.Byte(), 2);
      }
    } else if (!input.Bit()) {
      output.Copy(input.Bit() ? FarOffset(input) : 256 - input.Byte(), 3);
    } else {
      const std::optional<std::size_t> length = LongLength(input);
      if (!length) return {output.Take(), input.Offset()};
      output.Copy(NearOrFarOffset(input), *length);
    }
  }
}

}  // namespace orlaspin
