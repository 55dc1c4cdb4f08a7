// Any bytes as a packed stream of any format: each unpacker either refuses them at a place inside
// them, naming its packer, or unpacks them to at most 64 KB from bytes it was given; what it
// unpacks small, packed again by the tests' own packer, unpacks to the same bytes.
//
// Input: a byte picking the unpacker's row, then the stream.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "packers.h"
#include "unpack/unpackers.h"

using namespace orlaspin;
using orlaspin::testing::FuzzRequire;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto rows = Unpackers();
  const Unpacker& unpacker = rows[data[0] % rows.size()];
  const std::span<const std::uint8_t> packed(data + 1, size - 1);
  Unpacked unpacked;
  try {
    unpacked = unpacker.unpack(packed);
  } catch (const UnpackError& error) {
    FuzzRequire(error.Offset() <= packed.size(), "a stream breaks inside its bytes");
    FuzzRequire(error.Message().starts_with(std::string(unpacker.name) + " stream broken at"),
                "the refusal names the packer");
    return 0;
  }
  FuzzRequire(unpacked.streamEnd <= packed.size(), "a stream ends inside its bytes");
  FuzzRequire(unpacked.bytes.size() <= kLargestUnpacked, "at most 64 KB");
  if (unpacked.bytes.empty() || unpacked.bytes.size() > 512) return 0;
  const auto again = testing::TestPackers()[data[0] % rows.size()].pack(unpacked.bytes);
  FuzzRequire(unpacker.unpack(again).bytes == unpacked.bytes, "packed again, the same bytes");
  return 0;
}
