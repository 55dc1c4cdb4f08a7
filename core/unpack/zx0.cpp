// ZX0: lengths and the high part of new offsets are interlaced Elias gamma codes whose bits sit
// in bit bytes among the data bytes.
#include "unpack/offset_blocks.h"

namespace orlaspin {

namespace {

constexpr std::size_t kEndMark = 256;  // the high part of an offset that ends the stream

// Interlaced Elias gamma: a 1 flag stops, a 0 flag brings one data bit. The first flag may be
// given (the low bit of an offset byte). Lengths stay within the output's limit.
std::size_t Elias(PackedInput& input, bool invertData, int firstFlag = -1) {
  std::size_t value = 1;
  for (bool stop = firstFlag >= 0 ? firstFlag == 1 : input.Bit(); !stop; stop = input.Bit()) {
    value = value << 1 | (input.Bit() != invertData ? 1 : 0);
    if (value > kLargestUnpacked) input.Fail("a length code runs away");
  }
  return value;
}

// The classic stream stores the high part of offsets as it is, the current one inverted.
Unpacked UnpackZx0Stream(std::span<const std::uint8_t> packed, std::string_view name,
                         bool invertOffsets) {
  PackedInput input(name, packed);
  return UnpackOffsetBlocks(
      input, [&input] { return Elias(input, false); },
      [&input, invertOffsets]() -> std::optional<NewCopy> {
        const std::size_t high = Elias(input, invertOffsets);
        if (high == kEndMark) return std::nullopt;
        if (high > kEndMark) input.Fail("an offset code past the end mark");
        const std::uint8_t low = input.Byte();
        const std::size_t offset = high * 128 - (low >> 1);
        return NewCopy{offset, Elias(input, false, low & 1) + 1};
      });
}

}  // namespace

Unpacked UnpackZx0(std::span<const std::uint8_t> packed) {
  return UnpackZx0Stream(packed, "ZX0", true);
}

Unpacked UnpackZx0Classic(std::span<const std::uint8_t> packed) {
  return UnpackZx0Stream(packed, "ZX0 classic", false);
}

}  // namespace orlaspin
