// What every unpacker shares: input read with its bounds checked, bits taken MSb first from bit
// bytes fetched when needed, and an output that copies from what it already holds, capped at
// kLargestUnpacked bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/errors.h"

namespace orlaspin {

// No unpacked stream is longer: a Spectrum's whole address space.
inline constexpr std::size_t kLargestUnpacked = 65536;

// A packed stream that does not unpack; the message names the packer, the input offset where the
// stream breaks and why ("ZX0 stream broken at byte 120: an offset reaches before the output").
class UnpackError : public Error {
 public:
  UnpackError(std::string_view packer, std::size_t offset, std::string_view why);
  std::size_t Offset() const { return offset_; }

 private:
  std::size_t offset_;
};

// The input of one unpacker, read front to back.
class PackedInput {
 public:
  PackedInput(std::string_view packer, std::span<const std::uint8_t> bytes)
      : packer_(packer), bytes_(bytes) {}

  std::uint8_t Byte();
  // Raises UnpackError at the current offset.
  [[noreturn]] void Fail(std::string_view why) const;
  // The next bit of the bit byte, fetching a new bit byte after its eight.
  bool Bit();
  // count bits, first bit highest.
  unsigned Bits(int count);
  // The 0 bits before the next 1 bit, which is read too; raises UnpackError past most of them.
  int ZerosBeforeOne(int most);
  std::size_t Offset() const { return next_; }
  bool AtEnd() const { return next_ == bytes_.size(); }

 private:
  std::string_view packer_;
  std::span<const std::uint8_t> bytes_;
  std::size_t next_ = 0;
  std::uint8_t bitByte_ = 0;
  std::uint8_t bitMask_ = 0;
};

// The unpacked bytes, growing by literals and copies of what is already there.
class UnpackedOutput {
 public:
  explicit UnpackedOutput(PackedInput& input) : input_(input) {}

  void Literal(std::uint8_t byte);
  void Literals(std::size_t count);  // count bytes from the input
  // count bytes from offset bytes back; overlapping copies repeat the bytes as they are written.
  void Copy(std::size_t offset, std::size_t count);
  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  void Room(std::size_t count) const;

  PackedInput& input_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace orlaspin
