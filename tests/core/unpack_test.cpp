// The unpackers against streams made by the tests' own packers, broken streams, and real packed
// screens.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "packers.h"
#include "screens.h"
#include "test_files.h"
#include "unpack/unpackers.h"

namespace orlaspin {
namespace {

using testing::TestPackers;

const Unpacker& UnpackerNamed(std::string_view name) {
  const auto rows = Unpackers();
  return *std::ranges::find(rows, name, &Unpacker::name);
}

// A screen with long runs and repeats near and far, beside a random one.
std::vector<std::uint8_t> DrawnScreen() {
  std::vector<std::uint8_t> screen(kScreenBytes, 0);
  for (std::size_t i = 0; i < kPixelBytes; ++i) screen[i] = (i / 37) % 5 == 0 ? 0x3C : i % 9;
  const auto far = testing::PseudoRandomBytes(7, 300);
  std::ranges::copy(far, screen.begin() + 100);
  std::ranges::copy(far, screen.begin() + 4800);
  for (std::size_t i = kPixelBytes; i < screen.size(); ++i) screen[i] = 0x38 | (i / 64) % 8;
  return screen;
}

std::vector<std::vector<std::uint8_t>> Samples() {
  const auto random = testing::ColourfulScreen(3);
  return {DrawnScreen(),
          {random.begin(), random.end()},
          {0x5A},
          std::vector<std::uint8_t>(kLargestUnpacked, 0xE5)};
}

TEST(Unpackers, EachHasItsTestPackerAndAnExtension) {
  ASSERT_EQ(Unpackers().size(), TestPackers().size());
  for (const Unpacker& unpacker : Unpackers()) {
    EXPECT_FALSE(unpacker.extensions.empty()) << unpacker.name;
    EXPECT_EQ(std::ranges::count(TestPackers(), unpacker.name, &testing::TestPacker::name), 1)
        << unpacker.name;
  }
}

class EachPacker : public ::testing::TestWithParam<testing::TestPacker> {};

TEST_P(EachPacker, RoundTripsEndingAtTheLastByte) {
  for (const auto& data : Samples()) {
    const auto packed = GetParam().pack(data);
    const Unpacked unpacked = UnpackerNamed(GetParam().name).unpack(packed);
    EXPECT_EQ(unpacked.bytes, data) << data.size();
    EXPECT_TRUE(EndsAtLastByte(unpacked, packed));
  }
}

TEST_P(EachPacker, RefusesMoreThanItsLimit) {
  const auto packed = GetParam().pack(std::vector<std::uint8_t>(kLargestUnpacked + 1, 7));
  EXPECT_THROW(UnpackerNamed(GetParam().name).unpack(packed), UnpackError);
}

// Cut short or with a byte changed, a stream unpacks to something else or is refused at a place
// inside it; the refusal names the packer.
TEST_P(EachPacker, BrokenStreamsAreRefusedOrDiffer) {
  const auto data = DrawnScreen();
  const auto packed = GetParam().pack(data);
  const Unpacker& unpacker = UnpackerNamed(GetParam().name);
  for (std::size_t at = 0; at < packed.size(); at += 7) {
    for (const bool cut : {true, false}) {
      auto broken = packed;
      if (cut)
        broken.resize(at);
      else
        broken[at] ^= 0x5A;
      try {
        const Unpacked unpacked = unpacker.unpack(broken);
        EXPECT_FALSE(EndsAtLastByte(unpacked, broken) && unpacked.bytes == data && cut) << at;
      } catch (const UnpackError& error) {
        EXPECT_LE(error.Offset(), broken.size());
        EXPECT_TRUE(
            error.Message().starts_with(std::string(unpacker.name) + " stream broken at byte "))
            << error.Message();
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Unpackers, EachPacker, ::testing::ValuesIn(TestPackers()),
                         [](const auto& info) {
                           std::string name(info.param.name);
                           std::erase(name, ' ');
                           return name;
                         });

std::vector<std::uint8_t> RealFile(const std::string& name) {
  return testing::ReadFileBytes(std::string(ORLASPIN_TESTDATA) + "/packed/" + name);
}

// The real screens are ZX0 streams; no other format reads them as a whole stream.
TEST(Unpackers, RealZx0ScreensUnpackByZx0Alone) {
  const auto original = RealFile("akanyuk_mbf_zx128__tv5.scr");
  for (const char* name : {"akanyuk_mbf_zx128__tv5.scr.zx0", "akanyuk_mbf_zx128__cat1.scr.zx0"}) {
    const auto packed = RealFile(name);
    for (const Unpacker& unpacker : Unpackers()) {
      try {
        const Unpacked unpacked = unpacker.unpack(packed);
        EXPECT_EQ(unpacker.name == "ZX0", EndsAtLastByte(unpacked, packed))
            << name << unpacker.name;
      } catch (const UnpackError&) {
        EXPECT_NE(unpacker.name, "ZX0") << name;
      }
    }
    EXPECT_EQ(UnpackZx0(packed).bytes.size(), kScreenBytes);
  }
  EXPECT_EQ(UnpackZx0(RealFile("akanyuk_mbf_zx128__tv5.scr.zx0")).bytes, original);
}

}  // namespace
}  // namespace orlaspin
