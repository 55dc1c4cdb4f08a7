// ZX1: ZX0's blocks, with Elias codes whose flag 1 means "a data bit follows" and offsets coded
// in one or two whole bytes.
#include "unpack/offset_blocks.h"

namespace orlaspin {

namespace {

std::size_t Elias(PackedInput& input) {
  std::size_t value = 1;
  while (input.Bit()) {
    value = value << 1 | (input.Bit() ? 1 : 0);
    if (value > kLargestUnpacked) input.Fail("a length code runs away");
  }
  return value;
}

// The offset of a new-offset block; zero or less ends the stream.
long NewOffset(PackedInput& input) {
  const std::uint8_t first = input.Byte();
  if ((first & 1) == 0) return 128 - first / 2;
  const std::uint8_t second = input.Byte();
  return 32512L - (second & 0xFE) * 128L - (first & 0xFE) - (second & 1);
}

}  // namespace

Unpacked UnpackZx1(std::span<const std::uint8_t> packed) {
  PackedInput input("ZX1", packed);
  return UnpackOffsetBlocks(
      input, [&input] { return Elias(input); },
      [&input]() -> std::optional<NewCopy> {
        const long offset = NewOffset(input);
        if (offset <= 0) return std::nullopt;
        return NewCopy{static_cast<std::size_t>(offset), Elias(input) + 1};
      });
}

}  // namespace orlaspin
