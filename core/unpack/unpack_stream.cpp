#include "unpack/unpack_stream.h"

namespace orlaspin {

UnpackError::UnpackError(std::string_view packer, std::size_t offset, std::string_view why)
    : Error(0, std::string(packer) + " stream broken at byte " + std::to_string(offset) + ": " +
                   std::string(why)),
      offset_(offset) {}

std::uint8_t PackedInput::Byte() {
  if (AtEnd()) Fail("the data ends inside the stream");
  return bytes_[next_++];
}

void PackedInput::Fail(std::string_view why) const { throw UnpackError(packer_, next_, why); }

bool PackedInput::Bit() {
  bitMask_ >>= 1;
  if (bitMask_ == 0) {
    bitByte_ = Byte();
    bitMask_ = 0x80;
  }
  return (bitByte_ & bitMask_) != 0;
}

unsigned PackedInput::Bits(int count) {
  unsigned value = 0;
  for (int i = 0; i < count; ++i) value = value << 1 | (Bit() ? 1 : 0);
  return value;
}

int PackedInput::ZerosBeforeOne(int most) {
  int zeros = 0;
  while (!Bit()) {
    if (++zeros > most) Fail("a length code runs away");
  }
  return zeros;
}

void UnpackedOutput::Room(std::size_t count) const {
  if (count > kLargestUnpacked - bytes_.size()) {
    input_.Fail("it unpacks to more than " + std::to_string(kLargestUnpacked) + " bytes");
  }
}

void UnpackedOutput::Literal(std::uint8_t byte) {
  Room(1);
  bytes_.push_back(byte);
}

void UnpackedOutput::Literals(std::size_t count) {
  Room(count);
  for (std::size_t i = 0; i < count; ++i) bytes_.push_back(input_.Byte());
}

void UnpackedOutput::Copy(std::size_t offset, std::size_t count) {
  if (offset == 0 || offset > bytes_.size()) {
    input_.Fail("a copy reaches " + std::to_string(offset) + " bytes back, before the output");
  }
  Room(count);
  for (std::size_t i = 0; i < count; ++i) bytes_.push_back(bytes_[bytes_.size() - offset]);
}

}  // namespace orlaspin
