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

Bytes Part(const ScreenBytes& screen, std::size_t size = kScreenBytes) {
  return {screen.begin(), screen.begin() + size};
}

class HiddenScreensTest : public ::testing::Test {
 protected:
  std::string Put(const std::string& name, std::span<const std::uint8_t> bytes) {
    WriteFileBytes(input.File(name), bytes);
    return input.File(name);
  }
  // The files an export of path with the options writes into an empty folder.
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

// Each packer's bare file is the screen format of its unpacked size; broken ones are refused.
TEST_F(HiddenScreensTest, BarePackedFiles) {
  const ScreenBytes screen = ColourfulScreen(11);
  for (std::size_t row = 0; row < Unpackers().size(); ++row) {
    const std::string name = "pic." + std::string(Unpackers()[row].extensions.front());
    const std::string type = std::string(Unpackers()[row].name) + " -> ";
    EXPECT_EQ(Cli({"list", Put(name, TestPackers()[row].pack(Part(screen, 768)))}).out,
              "pic\t" + type + "attributes only\t\t768\t0\n");
    const auto files = Export(Put(name, TestPackers()[row].pack(Part(screen))), {});
    EXPECT_EQ(FirstDifference(files.at("pic.bmp"), OracleBitmapFile(screen)), "") << type;
  }
  const Bytes original = ReadFileBytes(TestdataPath("packed/akanyuk_mbf_zx128__tv5.scr"));
  const Bytes packed = ReadFileBytes(TestdataPath("packed/akanyuk_mbf_zx128__tv5.scr.zx0"));
  ScreenBytes tv5;
  std::ranges::copy(original, tv5.begin());
  EXPECT_EQ(Export(Put("tv5.scr.zx0", packed), {}).at("tv5.bmp"), OracleBitmapFile(tv5));
  EXPECT_EQ(Cli({"list", Put("cut.zx0", std::span(packed).first(1000))}).err,
            "orlaspin-cli: " + input.File("cut.zx0") +
                ": not a packed screen: ZX0 stream broken at byte 1000: the data ends inside the "
                "stream.\n");
}

// A disk and a tape with a packed screen of each packer and screens at the start of longer
// blocks loaded at 16384; the other files stay what they are.
TEST_F(HiddenScreensTest, UnpackFindsScreensInDisksAndTapes) {
  TrdBuilder disk;
  std::vector<Bytes> tape;
  std::map<std::string, ScreenBytes> expected;
  const auto add = [&](const std::string& name, const Bytes& bytes, std::uint16_t start) {
    disk.AddFile(name, 'C', bytes, start);
    tape.push_back(HeaderBlock(3, name, static_cast<std::uint16_t>(bytes.size()), start));
    tape.push_back(LoadedBlock(0xFF, bytes));
  };
  for (std::size_t row = 0; row < TestPackers().size(); ++row) {
    const std::string name = "PACK" + std::to_string(row);
    expected[name] = ColourfulScreen(20 + row);
    add(name, TestPackers()[row].pack(Part(expected[name])), 32768);
  }
  expected["LOADER"] = ColourfulScreen(30);
  Bytes loader = Part(expected["LOADER"]);
  loader.resize(9000, 0xC9);
  add("LOADER", loader, 16384);
  expected["PIXELS"] = ColourfulScreen(31);
  std::fill(expected["PIXELS"].begin() + kPixelBytes, expected["PIXELS"].end(), 0x47);
  add("PIXELS", Part(expected["PIXELS"], kPixelBytes), 16384);
  add("OTHER", PseudoRandomBytes(32, 3000), 16384);
  disk.AddDiskInfo("HIDDEN");
  for (const std::string& image : {Put("a.trd", disk.Build()), Put("a.tap", BuildTap(tape))}) {
    EXPECT_TRUE(Export(image, {}).empty());
    const auto files = Export(image, {"--unpack"});
    ASSERT_EQ(files.size(), expected.size()) << image;
    for (const auto& [name, screen] : expected) {
      EXPECT_EQ(FirstDifference(files.at(name + ".bmp"), OracleBitmapFile(screen)), "") << name;
    }
    const std::string listing = Cli({"list", "--unpack", image}).out;
    EXPECT_NE(listing.find("\tMegaLZ -> standard\t32768\t"), std::string::npos) << listing;
    EXPECT_NE(listing.find("\tat 16384 -> pixels only\t16384\t6144\t"), std::string::npos);
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
    return std::map<std::string, Bytes>{{"s.sna", BuildSna128(banks, 0x10, 1)},
                                        {"s.z80", BuildZ80Version2Or3(54, 4, 0x10, 1, z80)},
                                        {"s.szx", BuildSzx(2, SzxSpecRegs{1, 0x10}, szx)}};
  };
  for (const auto& [name, bytes] : snapshots()) {
    EXPECT_EQ(Export(Put(name, bytes), {}).size(), 1u) << name;
    const auto files = Export(Put(name, bytes), {"--all-screens"});
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
