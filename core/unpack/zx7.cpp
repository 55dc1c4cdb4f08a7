// ZX7: a first literal, then a flag bit before each literal or copy; copy lengths are plain
// Elias gamma codes, offsets a byte with four more bits for the far ones.
#include <optional>

#include "unpack/unpackers.h"

namespace orlaspin {

namespace {

constexpr int kEndZeros = 16;  // an Elias code of this many leading zeros ends the stream

// The Elias gamma value, or nothing for the end mark.
std::optional<std::size_t> Elias(PackedInput& input) {
  const int zeros = input.ZerosBeforeOne(kEndZeros);
  if (zeros == kEndZeros) return std::nullopt;
  return (std::size_t{1} << zeros) | input.Bits(zeros);
}

std::size_t Offset(PackedInput& input) {
  const std::uint8_t low = input.Byte();
  if (low < 128) return low + 1;
  return ((low & 127) | input.Bits(4) << 7) + 129;
}

}  // namespace

Unpacked UnpackZx7(std::span<const std::uint8_t> packed) {
  PackedInput input("ZX7", packed);
  UnpackedOutput output(input);
  output.Literals(1);
  for (;;) {
    if (!input.Bit()) {
      output.Literals(1);
      continue;
    }
    const std::optional<std::size_t> length = Elias(input);
    if (!length) return {output.Take(), input.Offset()};
    output.Copy(Offset(input), *length + 1);
  }
}

}  // namespace orlaspin
