// The unpackers against streams made by the tests' own packers and real packed screens; the
// fuzz target tries broken and hostile streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "packers.h"
#include "screens.h"
#include "test_files.h"
#include "unpack/unpackers.h"

namespace orlaspin::testing {
namespace {

const Unpacker& UnpackerOf(const TestPacker& packer) {
  return *std::ranges::find(Unpackers(), packer.name, &Unpacker::name);
}

// A screen of runs, and repeats near and far, beside a random one, a byte and 64 KB of runs.
std::vector<std::vector<std::uint8_t>> Samples() {
  std::vector<std::uint8_t> drawn(kScreenBytes);
  for (std::size_t i = 0; i < drawn.size(); ++i) drawn[i] = (i / 37) % 5 == 0 ? 0x3C : i % 9;
  const auto far = PseudoRandomBytes(7, 300);
  std::ranges::copy(far, drawn.begin() + 100);
  std::ranges::copy(far, drawn.begin() + 4800);
  const auto random = ColourfulScreen(3);
  return {drawn, {random.begin(), random.end()}, {0x5A}, std::vector<std::uint8_t>(65536, 0xE5)};
}

TEST(Unpackers, EachRowHasOneTestPacker) {
  ASSERT_EQ(Unpackers().size(), TestPackers().size());
  for (const Unpacker& unpacker : Unpackers()) {
    EXPECT_EQ(std::ranges::count(TestPackers(), unpacker.name, &TestPacker::name), 1);
  }
}

class EachPacker : public ::testing::TestWithParam<TestPacker> {};

TEST_P(EachPacker, RoundTripsEndingAtTheLastByteUpTo64K) {
  for (const auto& data : Samples()) {
    const auto packed = GetParam().pack(data);
    const Unpacked unpacked = UnpackerOf(GetParam()).unpack(packed);
    EXPECT_EQ(unpacked.bytes, data) << data.size();
    EXPECT_TRUE(EndsAtLastByte(unpacked, packed));
  }
  EXPECT_THROW(UnpackerOf(GetParam()).unpack(GetParam().pack(std::vector<std::uint8_t>(65537))),
               UnpackError);
}

INSTANTIATE_TEST_SUITE_P(Unpackers, EachPacker, ::testing::ValuesIn(TestPackers()),
                         [](const auto& info) { return std::to_string(info.index); });

// Real ZX0 screens: ZX0 reads them whole, no other format does.
TEST(Unpackers, RealZx0ScreensUnpackByZx0Alone) {
  for (const char* name : {"tv5.scr.zx0", "cat1.scr.zx0"}) {
    std::string path = ORLASPIN_TESTDATA;
    path.append("/packed/akanyuk_mbf_zx128__").append(name);
    const auto packed = ReadFileBytes(path);
    for (const Unpacker& unpacker : Unpackers()) {
      bool whole = false;
      try {
        const Unpacked unpacked = unpacker.unpack(packed);
        whole = EndsAtLastByte(unpacked, packed) && unpacked.bytes.size() == kScreenBytes;
      } catch (const UnpackError&) {
      }
      EXPECT_EQ(whole, unpacker.name == "ZX0") << name << unpacker.name;
    }
  }
}

}  // namespace
}  // namespace orlaspin::testing
