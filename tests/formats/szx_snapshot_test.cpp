#include "containers/szx_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

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
  EXPECT_EQ(damaged.warnings.front(), (Warning{Problem::SzxScreenPageShort, {}, Details(5)}));
  ASSERT_EQ(damaged.files.size(), 1u);

  const Collection noPage =
      ReadSzxSnapshot(BuildSzx(1, SzxSpecRegs{1, 0}, Pages({0, 2}, false)), "s");
  EXPECT_EQ(noPage.warnings,
            (std::vector<Warning>{{Problem::SzxScreenPageMissing, {}, Details(5)}}));
  EXPECT_TRUE(noPage.files.empty());

  const Bytes raw = BuildSzx(1, std::nullopt, Pages({5}, false));
  const Bytes cut(raw.begin(), raw.begin() + 8 + 45 + 8 + 3 + 4000);
  const Collection cutShort = ReadSzxSnapshot(cut, "s");
  EXPECT_EQ(cutShort.warnings,
            (std::vector<Warning>{{Problem::SnapshotCutShort, "chunk 2"},
                                  {Problem::SnapshotScreenCutShort, {}, Details(4000, 6912)}}));
  EXPECT_EQ(ListedScreens(cutShort, cut), (Screens{{"s", CutScreen(BankScreen(5), 4000)}}));

  const Bytes headerCut(raw.begin(), raw.begin() + 8 + 45 + 5);
  EXPECT_EQ(ReadSzxSnapshot(headerCut, "s").warnings.front(),
            (Warning{Problem::SnapshotCutShort, "the header of chunk 2"}));

  EXPECT_THROW(ReadSzxSnapshot(Bytes{'Z', 'X', 'S', 'T', 1}, "s"), ImageFormatError);
  EXPECT_THROW(ReadSzxSnapshot(Bytes{'Z', 'X', 'S', 'X', 1, 4, 1, 0}, "s"), ImageFormatError);
}

// ---- Timex screen modes and the ULA+ palette ----

// The bytes a Timex mode shows from a page: the pixels at its start, the attributes or the second
// pixel screen 0x2000 into it.
Bytes TimexHalves(const Bytes& page) {
  Bytes bytes(2 * 6144);
  std::copy_n(page.begin(), 6144, bytes.begin());
  std::copy_n(page.begin() + 0x2000, 6144, bytes.begin() + 6144);
  return bytes;
}

Bytes PaletteBytes() {
  Bytes palette(64);
  for (std::size_t i = 0; i < palette.size(); ++i)
    palette[i] = static_cast<std::uint8_t>(i * 37 + 5);
  return palette;
}

SzxChunk Scld(std::uint8_t mode) { return {{'S', 'C', 'L', 'D'}, {0x80, mode}}; }

SzxChunk Pltt(std::uint8_t flags, std::size_t size = 66) {
  Bytes body = {flags, 0x3F};
  const Bytes palette = PaletteBytes();
  body.insert(body.end(), palette.begin(), palette.end());
  body.resize(size, 0x11);
  return {{'P', 'L', 'T', 'T'}, body};
}

struct Listed {
  ScreenFormat format;
  Bytes bytes;  // the screen file's
};

Listed ListedFile(const Bytes& szx) {
  const Collection collection = ReadSzxSnapshot(szx, "s");
  EXPECT_TRUE(collection.warnings.empty());
  if (collection.files.size() != 1) throw std::runtime_error("not one file");
  const CollectionFile& file = collection.files[0];
  EXPECT_EQ(file.type, "snapshot");
  EXPECT_EQ(file.border, 4);
  return {file.screenFormat, ScreenFileData(FileBytes(collection, szx), file)};
}

TEST(SzxSnapshot, ScldsTimexModeShowsHiColourOrHiResAndOtherModesTheStandardScreen) {
  const Bytes page = DistinctBanks()[5];
  const Bytes standard(page.begin(), page.begin() + 6912);
  for (const bool compressed : {false, true}) {
    SCOPED_TRACE(compressed);
    const std::vector<SzxPage> pages = {{5, page, compressed}};
    const auto szx = [&](std::uint8_t mode) {
      const SzxChunk scld[] = {Scld(mode)};
      return BuildSzx(8, SzxSpecRegs{4, 0}, pages, scld);
    };
    // Bits 0-2 alone choose the mode; bits 3-5 are the hi-res colours.
    for (const std::uint8_t mode : {0x02, 0x7A}) {
      const Listed hiColour = ListedFile(szx(mode));
      EXPECT_EQ(hiColour.format, ScreenFormat::TimexHiColour);
      EXPECT_EQ(hiColour.bytes, TimexHalves(page));
    }
    for (const std::uint8_t mode : {0x06, 0x3E}) {
      Bytes expected = TimexHalves(page);
      expected.push_back(mode);
      const Listed hiRes = ListedFile(szx(mode));
      EXPECT_EQ(hiRes.format, ScreenFormat::TimexHiRes);
      EXPECT_EQ(hiRes.bytes, expected);
    }
    for (const std::uint8_t mode : {0x00, 0x01, 0x04, 0x38}) {
      const Listed plain = ListedFile(szx(mode));
      EXPECT_EQ(plain.format, ScreenFormat::Standard) << int{mode};
      EXPECT_EQ(plain.bytes, standard);
    }
  }
}

TEST(SzxSnapshot, AnEnabledPlttPaletteMakesAUlaPlusScreen) {
  const Bytes page = DistinctBanks()[5];
  const Bytes palette = PaletteBytes();
  const std::vector<SzxPage> pages = {{5, page, true}};
  Bytes ulaPlus(page.begin(), page.begin() + 6912);
  ulaPlus.insert(ulaPlus.end(), palette.begin(), palette.end());
  for (const std::size_t size : {66, 67}) {
    const SzxChunk chunks[] = {Pltt(0x01, size)};
    const Listed listed = ListedFile(BuildSzx(1, SzxSpecRegs{4, 0}, pages, chunks));
    EXPECT_EQ(listed.format, ScreenFormat::UlaPlus);
    EXPECT_EQ(listed.bytes, ulaPlus);
  }
  // Turned off, or too short to hold the palette: the standard screen.
  for (const SzxChunk& pltt : {Pltt(0x00), Pltt(0x01, 65)}) {
    const SzxChunk chunks[] = {pltt};
    const Listed listed = ListedFile(BuildSzx(1, SzxSpecRegs{4, 0}, pages, chunks));
    EXPECT_EQ(listed.format, ScreenFormat::Standard);
    EXPECT_EQ(listed.bytes, Bytes(page.begin(), page.begin() + 6912));
  }
  // Hi-colour with the palette after it.
  const SzxChunk both[] = {Pltt(0x01), Scld(0x02)};
  Bytes expected = TimexHalves(page);
  expected.insert(expected.end(), palette.begin(), palette.end());
  const Listed hiColour = ListedFile(BuildSzx(8, SzxSpecRegs{4, 0}, pages, both));
  EXPECT_EQ(hiColour.format, ScreenFormat::TimexHiColourUlaPlus);
  EXPECT_EQ(hiColour.bytes, expected);
}

TEST(SzxSnapshot, AHiColourPageCutShortIsAWarningAndEndsInZeros) {
  const Bytes page = DistinctBanks()[5];
  const SzxChunk scld[] = {Scld(0x02)};
  const std::vector<SzxPage> pages = {{5, page, false}};
  const Bytes whole = BuildSzx(8, SzxSpecRegs{4, 0}, pages, scld);
  // Up to 10000 bytes of the page: the pixels and part of the attributes.
  const Bytes cut(whole.begin(), whole.end() - 8 - 5 - (16384 - 10000));
  const Collection collection = ReadSzxSnapshot(cut, "s");
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::SnapshotCutShort, "chunk 4"},
                                  {Problem::SnapshotScreenCutShort, {}, Details(10000, 14336)}}));
  ASSERT_EQ(collection.files.size(), 1u);
  Bytes expected = TimexHalves(page);
  std::fill(expected.begin() + 6144 + (10000 - 0x2000), expected.end(), 0);
  EXPECT_EQ(ScreenFileData(FileBytes(collection, cut), collection.files[0]), expected);
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
