// ZX0: literal runs, copies from the last offset and copies from a new offset, each length an
// interlaced Elias gamma code whose bits sit in bit bytes among the data bytes.
#include "unpack/unpackers.h"

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

Unpacked UnpackZx0Stream(std::span<const std::uint8_t> packed, std::string_view name,
                         bool invertOffsets) {
  PackedInput input(name, packed);
  UnpackedOutput output(input);
  std::size_t lastOffset = 1;
  enum class Block { Literals, RepeatOffset, NewOffset } block = Block::Literals;
  for (;;) {
    switch (block) {
      case Block::Literals:
        output.Literals(Elias(input, false));
        block = input.Bit() ? Block::NewOffset : Block::RepeatOffset;
        break;
      case Block::RepeatOffset:
        output.Copy(lastOffset, Elias(input, false));
        block = input.Bit() ? Block::NewOffset : Block::Literals;
        break;
      case Block::NewOffset: {
        const std::size_t high = Elias(input, invertOffsets);
        if (high == kEndMark) return {output.Take(), input.Offset()};
        if (high > kEndMark) input.Fail("an offset code past the end mark");
        const std::uint8_t low = input.Byte();
        lastOffset = high * 128 - (low >> 1);
        output.Copy(lastOffset, Elias(input, false, low & 1) + 1);
        block = input.Bit() ? Block::NewOffset : Block::Literals;
        break;
      }
    }
  }
}

}  // namespace

Unpacked UnpackZx0(std::span<const std::uint8_t> packed) {
  return UnpackZx0Stream(packed, "ZX0", true);
}

Unpacked UnpackZx0Classic(std::span<const std::uint8_t> packed) {
  return UnpackZx0Stream(packed, "ZX0 classic", false);
}

}  // namespace orlaspin
