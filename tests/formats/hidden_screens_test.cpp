// Screens that hide: bare packed files, packed screens and screens at the start of longer blocks
// in disks and tapes (--unpack), and a 128K snapshot's bank 7 (--all-screens).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "archive_builders.h"
#include "cli_run.h"
#include "oracle.h"
#include "packers.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "test_files.h"
#include "trd_builder.h"
#include "unpack/unpackers.h"

namespace orlaspin::testing {
namespace {

Bytes ScreenFile(const ScreenBytes& screen, std::size_t size = kScreenBytes) {
  return {screen.begin(), screen.begin() + size};
}

std::string ExtensionOf(std::string_view packer) {
  const auto rows = Unpackers();
  return std::string(std::ranges::find(rows, packer, &Unpacker::name)->extensions.front());
}

class HiddenScreensTest : public ::testing::Test {
 protected:
  std::string Put(const std::string& name, std::span<const std::uint8_t> bytes) {
    WriteFileBytes(input.File(name), bytes);
    return input.File(name);
  }
  // Exports path with the options into a fresh folder; the files written, by name.
  std::map<std::string, Bytes> Export(const std::string& path, std::vector<std::string> options) {
    TempFolder output;
    options.insert(options.begin(), "export");
    options.insert(options.end(), {"-o", output.Path(), path});
    EXPECT_EQ(Cli(options).status, 0);
    std::map<std::string, Bytes> files;
    for (const std::string& name : output.Names()) files[name] = ReadFileBytes(output.File(name));
    return files;
  }

  TempFolder input;
};

// Each packer's bare file: the format follows the unpacked size, the picture the screen.
TEST_F(HiddenScreensTest, BarePackedFilesOfEachPacker) {
  const ScreenBytes screen = ColourfulScreen(11);
  for (const TestPacker& packer : TestPackers()) {
    const std::string ext = "." + ExtensionOf(packer.name);
    for (const auto& [size, format] :
         {std::pair<std::size_t, std::string>{kScreenBytes, "standard"},
          {kPixelBytes, "pixels only"},
          {768, "attributes only"}}) {
      const std::string path =
          Put("pic" + std::to_string(size) + ext, packer.pack(ScreenFile(screen, size)));
      EXPECT_EQ(Cli({"list", path}).out, "pic" + std::to_string(size) + "\t" +
                                             std::string(packer.name) + " -> " + format + "\t\t" +
                                             std::to_string(size) + "\t0\n");
    }
    const auto files = Export(input.File("pic6912" + ext), {});
    ASSERT_EQ(files.size(), 1u) << packer.name;
    EXPECT_EQ(FirstDifference(files.at("pic6912.bmp"), OracleBitmapFile(screen)), "")
        << packer.name;
  }
}

TEST_F(HiddenScreensTest, RealPackedScreenAndBrokenOnes) {
  const Bytes packed = ReadFileBytes(TestdataPath("packed/akanyuk_mbf_zx128__tv5.scr.zx0"));
  const Bytes original = ReadFileBytes(TestdataPath("packed/akanyuk_mbf_zx128__tv5.scr"));
  ScreenBytes screen;
  std::ranges::copy(original, screen.begin());
  EXPECT_EQ(Export(Put("tv5.scr.zx0", packed), {}).at("tv5.bmp"), OracleBitmapFile(screen));

  const CliRun cut = Cli({"list", Put("cut.zx0", std::span(packed).first(1000))});
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.err.find("cut.zx0: not a packed screen: ZX0 stream broken at byte 1000"),
            std::string::npos)
      << cut.err;
  const CliRun small = Cli({"list", Put("text.zx7", TestPackers()[3].pack(Bytes(100, 1)))});
  EXPECT_NE(small.err.find("ZX7 stream unpacks to 100 bytes, the size of no screen"),
            std::string::npos)
      << small.err;
}

// A disk and a tape with a packed screen of each packer and screens at the start of longer
// blocks at 16384; the other files stay what they are.
TEST_F(HiddenScreensTest, UnpackFindsScreensInDisksAndTapes) {
  TrdBuilder disk;
  std::vector<Bytes> blocks;
  std::map<std::string, ScreenBytes> expected;
  for (std::size_t row = 0; row < TestPackers().size(); ++row) {
    const std::string name = "PACK" + std::to_string(row);
    expected[name + ".bmp"] = ColourfulScreen(20 + row);
    const Bytes packed = TestPackers()[row].pack(ScreenFile(expected[name + ".bmp"]));
    disk.AddFile(name, 'C', packed, 32768);
    blocks.push_back(HeaderBlock(3, name, packed.size(), 32768));
    blocks.push_back(LoadedBlock(0xFF, packed));
  }
  Bytes loader = ScreenFile(ColourfulScreen(30));
  loader.resize(9000, 0xC9);
  expected["LOADER.bmp"] = ColourfulScreen(30);
  ScreenBytes pixels = ColourfulScreen(31);
  std::fill(pixels.begin() + kPixelBytes, pixels.end(), 0x47);  // bright white ink on black
  expected["PIXELS.bmp"] = pixels;
  const Bytes other = PseudoRandomBytes(32, 3000);
  for (const auto& [name, bytes] : {std::pair<std::string, Bytes>{"LOADER", loader},
                                    {"PIXELS", ScreenFile(pixels, kPixelBytes)},
                                    {"OTHER", other}}) {
    disk.AddFile(name, 'C', bytes, 16384);
    blocks.push_back(HeaderBlock(3, name, bytes.size(), 16384));
    blocks.push_back(LoadedBlock(0xFF, bytes));
  }
  disk.AddDiskInfo("HIDDEN");
  for (const std::string& image :
       {Put("game.trd", disk.Build()), Put("game.tap", BuildTap(blocks))}) {
    EXPECT_TRUE(Export(image, {}).empty());
    const auto files = Export(image, {"--unpack"});
    ASSERT_EQ(files.size(), expected.size()) << image;
    for (const auto& [name, screen] : expected) {
      EXPECT_EQ(FirstDifference(files.at(name), OracleBitmapFile(screen)), "") << image << name;
    }
    const std::string listing = Cli({"list", "--unpack", image}).out;
    EXPECT_NE(listing.find("\tZX0 -> standard\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\tat 16384 -> standard\t"), std::string::npos) << listing;
  }
}

// Bank 7 comes out beside the displayed bank 5 when asked for, unless blank or the same.
TEST_F(HiddenScreensTest, AllScreensBringsOutBank7) {
  auto banks = DistinctBanks();
  ScreenBytes bank7;
  std::copy_n(banks[7].begin(), kScreenBytes, bank7.begin());
  const auto snapshots = [&banks] {
    std::vector<Z80Page> z80;
    std::vector<SzxPage> szx;
    for (std::uint8_t bank = 0; bank < 8; ++bank) {
      z80.push_back({static_cast<std::uint8_t>(bank + 3), banks[bank]});
      szx.push_back({bank, banks[bank], bank == 7});
    }
    return std::vector<std::pair<std::string, Bytes>>{
        {"s.sna", BuildSna128(banks, 0x10, 1)},
        {"s.z80", BuildZ80Version2Or3(54, 4, 0x10, 1, z80)},
        {"s.szx", BuildSzx(2, SzxSpecRegs{1, 0x10}, szx)}};
  };
  for (const auto& [name, bytes] : snapshots()) {
    const std::string path = Put(name, bytes);
    EXPECT_EQ(Export(path, {}).size(), 1u) << name;
    const auto files = Export(path, {"--all-screens"});
    ASSERT_EQ(files.size(), 2u) << name;
    EXPECT_EQ(FirstDifference(files.at("s-bank7.bmp"), OracleBitmapFile(bank7)), "") << name;
  }
  for (const Bytes& seven : {Bytes(kPageSize, 0), banks[5]}) {
    banks[7] = seven;
    for (const auto& [name, bytes] : snapshots()) {
      EXPECT_EQ(Export(Put(name, bytes), {"--all-screens"}).size(), 1u) << name;
    }
  }
}

}  // namespace
}  // namespace orlaspin::testing
