#include "containers/z80_snapshot.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "listed_screens.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

using Screens = std::vector<ListedScreen>;

// The pages of a 128K machine: page n holds bank n - 3.
std::vector<Z80Page> Pages128(bool compressed) {
  const auto banks = DistinctBanks();
  std::vector<Z80Page> pages;
  for (std::uint8_t bank = 0; bank < 8; ++bank) {
    pages.push_back({static_cast<std::uint8_t>(bank + 3), banks[bank], compressed});
  }
  return pages;
}

ScreenBytes BankScreen(unsigned bank) { return ColourfulScreen(100 + bank); }

TEST(Z80Snapshot, Version1ShowsTheStartOfItsMemoryCompressedOrNot) {
  const ScreenBytes screen = RunsScreen(1);
  for (const bool compressed : {true, false}) {
    SCOPED_TRACE(compressed);
    const Bytes z80 = BuildZ80Version1(Ram48(screen), 6, compressed);
    const Collection collection = ReadZ80Snapshot(z80, "jet");
    EXPECT_EQ(collection.kind, ImageKind::Z80);
    EXPECT_TRUE(collection.warnings.empty()) << WarningText(collection.warnings.front());
    EXPECT_EQ(ListedScreens(collection, z80), (Screens{{"jet", screen}}));
    ASSERT_EQ(collection.files.size(), 1u);
    EXPECT_EQ(collection.files[0].border, 6);
    EXPECT_EQ(collection.files[0].type, "snapshot");
    EXPECT_TRUE(collection.files[0].nameIsFileName);
    EXPECT_EQ(collection.unpacked.empty(), !compressed);
    if (!compressed) {
      EXPECT_EQ(collection.files[0].offset, 30u);
    }
  }
}

TEST(Z80Snapshot, AFlagsByteOf255IsReadAs1) {
  const ScreenBytes screen = ColourfulScreen(2);
  Bytes z80 = BuildZ80Version1(Ram48(screen), 0, false);
  z80[12] = 0xFF;  // would say compressed, border 7
  const Collection collection = ReadZ80Snapshot(z80, "s");
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_EQ(ListedScreens(collection, z80), (Screens{{"s", screen}}));
  EXPECT_EQ(collection.files[0].border, 0);
}

TEST(Z80Snapshot, TheScreensPageFollowsTheMachineAndPort7ffd) {
  struct Case {
    std::uint16_t extra;
    std::uint8_t hardware;
    bool pages7ffd;
  };
  // The hardware numbers 3 to 6 mean other machines in version 3 than in version 2.
  const Case cases[] = {
      {23, 0, false},  {23, 1, false},   {23, 3, true},  {23, 4, true},  {54, 0, false},
      {54, 3, false},  {54, 4, true},    {54, 5, true},  {54, 6, true},  {55, 7, true},
      {54, 8, true},   {54, 9, true},    {54, 10, true}, {54, 12, true}, {54, 13, true},
      {54, 14, false}, {54, 128, false}, {23, 2, false},
  };
  for (const bool compressed : {true, false}) {
    const std::vector<Z80Page> pages = Pages128(compressed);
    for (const Case& c : cases) {
      for (const std::uint8_t port : {0x00, 0x08, 0x17}) {
        SCOPED_TRACE(std::to_string(c.extra) + " " + std::to_string(c.hardware) + " " +
                     std::to_string(port) + " " + std::to_string(compressed));
        const Bytes z80 = BuildZ80Version2Or3(c.extra, c.hardware, port, 3, pages);
        const Collection collection = ReadZ80Snapshot(z80, "s");
        EXPECT_TRUE(collection.warnings.empty());
        const unsigned bank = c.pages7ffd && (port & 8) ? 7 : 5;
        EXPECT_EQ(ListedScreens(collection, z80), (Screens{{"s", BankScreen(bank)}}));
        EXPECT_EQ(collection.files[0].border, 3);
      }
    }
  }
}

TEST(Z80Snapshot, ATimexMachinesByte36ChoosesItsScreenMode) {
  struct Case {
    std::uint8_t hardware;
    std::uint8_t byte36;
    ScreenFormat format;
  };
  // 14, 15 and 128 are the Timex machines; elsewhere byte 36 says whether Interface 1 is paged.
  const Case cases[] = {
      {14, 0x02, ScreenFormat::TimexHiColour}, {15, 0x0A, ScreenFormat::TimexHiColour},
      {128, 0x06, ScreenFormat::TimexHiRes},   {14, 0x2E, ScreenFormat::TimexHiRes},
      {14, 0x00, ScreenFormat::Standard},      {15, 0x01, ScreenFormat::Standard},
      {0, 0x02, ScreenFormat::Standard},       {4, 0x06, ScreenFormat::Standard}};
  const Bytes page = PageWithScreen(RunsScreen(9));
  for (const bool compressed : {true, false}) {
    const Z80Page pages[] = {{4, Bytes(kPageSize, 0x44)}, {8, page, compressed}};
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.hardware) + " " + std::to_string(c.byte36));
      const Bytes z80 = BuildZ80Version2Or3(54, c.hardware, 0, 2, pages, c.byte36);
      const Collection collection = ReadZ80Snapshot(z80, "s");
      EXPECT_TRUE(collection.warnings.empty());
      ASSERT_EQ(collection.files.size(), 1u);
      const CollectionFile& file = collection.files[0];
      EXPECT_EQ(file.screenFormat, c.format);
      EXPECT_EQ(file.border, 2);
      // The pixels at the page's start; the attributes or the second screen 0x2000 into it.
      Bytes expected(page.begin(), page.begin() + 6912);
      if (c.format != ScreenFormat::Standard) {
        expected.resize(6144);
        expected.insert(expected.end(), page.begin() + 0x2000, page.begin() + 0x2000 + 6144);
      }
      if (c.format == ScreenFormat::TimexHiRes) expected.push_back(c.byte36);
      EXPECT_EQ(ScreenFileData(FileBytes(collection, z80), file), expected);
      EXPECT_EQ(file.length, expected.size());
    }
  }
}

TEST(Z80Snapshot, A48KSnapshotsScreenIsPage8) {
  const ScreenBytes screen = RunsScreen(3);
  const Z80Page pages[] = {
      {4, Bytes(kPageSize, 0x44)}, {5, Bytes(kPageSize, 0xED)}, {8, PageWithScreen(screen), false}};
  const Bytes z80 = BuildZ80Version2Or3(54, 0, 0, 1, pages);
  const Collection collection = ReadZ80Snapshot(z80, "s");
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_TRUE(collection.unpacked.empty());
  EXPECT_EQ(ListedScreens(collection, z80), (Screens{{"s", screen}}));
  // The header, the extra header, pages 4 and 5 (64 runs of 255 and one of 64 each), the page
  // header.
  EXPECT_EQ(collection.files[0].offset, 30u + 2 + 54 + 2 * (3 + 65 * 4) + 3);
}

TEST(Z80Snapshot, DamageIsAWarningAndTheScreenIsKeptWhereItCanBe) {
  const ScreenBytes screen = ColourfulScreen(4);
  const Z80Page pages[] = {{4, Bytes(kPageSize, 1)}, {8, PageWithScreen(screen)}};
  const Bytes whole = BuildZ80Version2Or3(23, 0, 0, 0, pages);

  const Z80Page withoutScreen[] = {{4, Bytes(kPageSize, 1)}, {5, Bytes(kPageSize, 1)}};
  const Collection noScreen = ReadZ80Snapshot(BuildZ80Version2Or3(23, 0, 0, 0, withoutScreen), "s");
  EXPECT_EQ(noScreen.warnings,
            (std::vector<Warning>{{Problem::Z80ScreenPageMissing, {}, Details(8)}}));
  EXPECT_TRUE(noScreen.files.empty());

  const Bytes cut(whole.begin(), whole.end() - 10000);
  const Collection collection = ReadZ80Snapshot(cut, "s");
  ASSERT_GE(collection.warnings.size(), 1u);
  EXPECT_EQ(collection.warnings[0], (Warning{Problem::SnapshotCutShort, "page 8"}));
  ASSERT_EQ(collection.files.size(), 1u);
  const ScreenBytes shown = ScreenData(FileBytes(collection, cut), collection.files[0]);
  // What unpacked before the cut is the screen's beginning.
  EXPECT_EQ(shown[0], screen[0]);
  EXPECT_EQ(shown[1000], screen[1000]);

  const Bytes headerOnly(whole.begin(), whole.begin() + 30 + 2 + 23 + 2);
  EXPECT_EQ(ReadZ80Snapshot(headerOnly, "s").warnings,
            (std::vector<Warning>{{Problem::SnapshotCutShort, "a page header"},
                                  {Problem::Z80ScreenPageMissing, {}, Details(8)}}));

  // A compressed page that unpacks to less than 16 KB.
  Bytes shortPage = BuildZ80Version2Or3(23, 0, 0, 0, std::vector<Z80Page>{{8, Bytes(6912, 9)}});
  const Collection small = ReadZ80Snapshot(shortPage, "s");
  EXPECT_EQ(small.warnings,
            (std::vector<Warning>{{Problem::Z80PageUnpackedSize, "page 8", Details(6912)}}));
  ScreenBytes nines;
  nines.fill(9);
  EXPECT_EQ(ListedScreens(small, shortPage), (Screens{{"s", nines}}));
}

TEST(Z80Snapshot, HeadersOfNoVersionAreRefused) {
  Bytes badExtra = BuildZ80Version2Or3(23, 0, 0, 0, {});
  badExtra[30] = 24;
  EXPECT_THROW(ReadZ80Snapshot(badExtra, "s"), ImageFormatError);
  EXPECT_THROW(ReadZ80Snapshot(Bytes(29, 0), "s"), ImageFormatError);
  const Bytes v3 = BuildZ80Version2Or3(54, 0, 0, 0, {});
  EXPECT_THROW(ReadZ80Snapshot(Bytes(v3.begin(), v3.begin() + 31), "s"), ImageFormatError);
  EXPECT_THROW(ReadZ80Snapshot(Bytes(v3.begin(), v3.end() - 1), "s"), ImageFormatError);
  // Version 1 with its memory missing: a warning, a blank screen.
  const Bytes v1 = BuildZ80Version1(Bytes(0), 0, true);
  const Collection collection = ReadZ80Snapshot(v1, "s");
  EXPECT_EQ(collection.warnings.size(), 2u);
  EXPECT_EQ(ListedScreens(collection, v1), (Screens{{"s", ScreenBytes{}}}));
}

TEST(Z80Snapshot, RealSnapshotsOfVersion3) {
  for (const char* name : {"snap/empty.z80", "snap/plus3.z80"}) {
    SCOPED_TRACE(name);
    const Bytes z80 = ReadFileBytes(TestdataPath(name));
    const Collection collection = ReadZ80Snapshot(z80, "s");
    EXPECT_TRUE(collection.warnings.empty());
    // An empty machine: a blank screen, black border.
    EXPECT_EQ(ListedScreens(collection, z80), (Screens{{"s", ScreenBytes{}}}));
    EXPECT_EQ(collection.files[0].border, 0);
  }
}

}  // namespace
}  // namespace orlaspin::testing
