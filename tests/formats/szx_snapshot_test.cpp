#include "containers/szx_snapshot.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "listed_screens.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

using Screens = std::vector<ListedScreen>;

std::vector<SzxPage> Pages(std::initializer_list<std::uint8_t> numbers, bool compressed) {
  const auto banks = DistinctBanks();
  std::vector<SzxPage> pages;
  for (const std::uint8_t number : numbers) pages.push_back({number, banks[number], compressed});
  return pages;
}

ScreenBytes BankScreen(unsigned bank) { return ColourfulScreen(100 + bank); }

TEST(SzxSnapshot, ShowsPage5OrOn128KMachinesPage7WhenPort7ffdSaysSo) {
  struct Case {
    std::uint8_t machine;
    bool pages7ffd;
  };
  const Case cases[] = {{0, false}, {1, false}, {2, true},   {3, true},  {4, true},  {5, true},
                        {6, true},  {7, true},  {8, false},  {9, false}, {10, true}, {12, false},
                        {13, true}, {14, true}, {15, false}, {16, true}};
  for (const bool compressed : {false, true}) {
    const auto pages = Pages({0, 2, 7, 5, 1}, compressed);
    for (const Case& c : cases) {
      for (const std::uint8_t port : {0x00, 0x08, 0x1F}) {
        SCOPED_TRACE(std::to_string(c.machine) + " " + std::to_string(port) + " " +
                     std::to_string(compressed));
        const Bytes szx = BuildSzx(c.machine, SzxSpecRegs{0xF4, port}, pages);
        const Collection collection = ReadSzxSnapshot(szx, "s");
        EXPECT_EQ(collection.kind, ImageKind::Szx);
        EXPECT_TRUE(collection.warnings.empty());
        EXPECT_EQ(ListedScreens(collection, szx),
                  (Screens{{"s", BankScreen(c.pages7ffd && (port & 8) ? 7 : 5)}}));
        ASSERT_EQ(collection.files.size(), 1u);
        EXPECT_EQ(collection.files[0].border, 4);
        EXPECT_EQ(collection.files[0].type, "snapshot");
        EXPECT_EQ(collection.unpacked.empty(), !compressed);
      }
    }
  }
}

TEST(SzxSnapshot, WithoutSpecRegsThereIsNoBorderAndTheNormalScreen) {
  const auto pages = Pages({5, 7}, false);
  const Bytes szx = BuildSzx(2, std::nullopt, pages);
  const Collection collection = ReadSzxSnapshot(szx, "s");
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_EQ(ListedScreens(collection, szx), (Screens{{"s", BankScreen(5)}}));
  EXPECT_FALSE(collection.files[0].border);
  // Header 8, Z80R 8 + 37, the RAMP chunk's header and the page's flags and number.
  EXPECT_EQ(collection.files[0].offset, 8u + 45 + 8 + 3);
}

TEST(SzxSnapshot, DamageIsAWarning) {
  const auto pages = Pages({5}, true);
  const Bytes good = BuildSzx(1, SzxSpecRegs{1, 0}, pages);

  Bytes corrupt = good;
  corrupt[8 + 45 + 16 + 8 + 3 + 20] ^= 0xFF;  // inside the page's zlib stream
  const Collection damaged = ReadSzxSnapshot(corrupt, "s");
  EXPECT_EQ(damaged.warnings.front(), "RAM page 5 does not unpack to 16384 bytes");
  ASSERT_EQ(damaged.files.size(), 1u);

  const Collection noPage =
      ReadSzxSnapshot(BuildSzx(1, SzxSpecRegs{1, 0}, Pages({0, 2}, false)), "s");
  EXPECT_EQ(noPage.warnings,
            (std::vector<std::string>{"the snapshot holds no RAM page 5, where its screen is"}));
  EXPECT_TRUE(noPage.files.empty());

  const Bytes raw = BuildSzx(1, std::nullopt, Pages({5}, false));
  const Bytes cut(raw.begin(), raw.begin() + 8 + 45 + 8 + 3 + 4000);
  const Collection cutShort = ReadSzxSnapshot(cut, "s");
  EXPECT_EQ(
      cutShort.warnings,
      (std::vector<std::string>{"the snapshot is cut short in chunk 2",
                                "the snapshot is cut short: its screen has 4000 of 6912 bytes"}));
  EXPECT_EQ(ListedScreens(cutShort, cut), (Screens{{"s", CutScreen(BankScreen(5), 4000)}}));

  const Bytes headerCut(raw.begin(), raw.begin() + 8 + 45 + 5);
  EXPECT_EQ(ReadSzxSnapshot(headerCut, "s").warnings.front(),
            "the snapshot is cut short in the header of chunk 2");

  EXPECT_THROW(ReadSzxSnapshot(Bytes{'Z', 'X', 'S', 'T', 1}, "s"), ImageFormatError);
  EXPECT_THROW(ReadSzxSnapshot(Bytes{'Z', 'X', 'S', 'X', 1, 4, 1, 0}, "s"), ImageFormatError);
}

TEST(SzxSnapshot, RealSnapshotsWithRawAndZlibPages) {
  const Bytes random = ReadFileBytes(TestdataPath("snap/random.szx"));
  const Collection collection = ReadSzxSnapshot(random, "random");
  EXPECT_TRUE(collection.warnings.empty());
  ASSERT_EQ(collection.files.size(), 1u);
  // Its page 5 is stored raw in the RAMP chunk at 207: chunk header, flags, page number.
  EXPECT_EQ(collection.files[0].offset, 207u + 8 + 3);
  EXPECT_EQ(collection.files[0].border, 7);
  EXPECT_TRUE(collection.unpacked.empty());

  const Bytes empty = ReadFileBytes(TestdataPath("snap/empty.szx"));
  const Collection blank = ReadSzxSnapshot(empty, "empty");
  EXPECT_TRUE(blank.warnings.empty());
  EXPECT_EQ(ListedScreens(blank, empty), (Screens{{"empty", ScreenBytes{}}}));
  EXPECT_EQ(blank.files[0].border, 0);
}

}  // namespace
}  // namespace orlaspin::testing
