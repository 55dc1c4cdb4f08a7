#include "containers/td0_image.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "archive_builders.h"
#include "disk_builders.h"
#include "disk_samples.h"
#include "oracle.h"
#include "screens.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

DiskRecord SampleDisk() { return TrDosDisk(SampleTrDosImage(), kSampleCylinders, kSampleHeads); }

// Where the 6-byte header of a sector begins in a built TD0: found by its ID and flags.
std::size_t SectorHeaderAt(const std::vector<std::uint8_t>& td0, std::uint8_t cylinder,
                           std::uint8_t head, std::uint8_t id, std::uint8_t flags = 0) {
  const std::vector<std::uint8_t> header = {cylinder, head, id, 1, flags};
  const auto found = std::search(td0.begin(), td0.end(), header.begin(), header.end());
  if (found == td0.end()) throw std::runtime_error("no such sector header");
  return static_cast<std::size_t>(found - td0.begin());
}

TEST(Td0Image, ReadsTheRealDiskWhereEverySectorMatchesItsCrc) {
  const auto td0 = ReadFileBytes(TestdataPath("td0/40.TD0"));
  ASSERT_TRUE(HasTd0Signature(td0));
  const Collection collection = ReadTd0Image(td0);
  EXPECT_EQ(collection.kind, ImageKind::Td0);
  // No warning: the header, comment and track CRCs are right, and each sector's data as decoded
  // (stored raw, as patterns or run-length coded) has the CRC Teledisk took of it. Two made-up
  // sector headers with size code 247 carry no data.
  EXPECT_TRUE(collection.warnings.empty()) << WarningText(collection.warnings.front());
  const std::vector<std::string> names = {
      "boot    ", "WC_INTRO", "ILLUSION", "DATA3   ", "DATA4   ", "DATA6   ", "DATA7   ",
      "VIBRATE!", "vaginal ", "EYEACHE-", "aga.am  ", "MMDdemo ", "1DDKIT  ", "PARADISE",
      "PARADISc", "TIGER   ", "CHAOS+  ", "CHAOS   ", "LIKEMYA ", "DNK-1   ", "KSA INS "};
  ASSERT_EQ(collection.files.size(), names.size());
  std::vector<std::string> screens;
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(collection.files[i].name, names[i]);
    if (collection.files[i].isScreen) screens.push_back(collection.files[i].name);
  }
  EXPECT_EQ(screens, (std::vector<std::string>{"TIGER   ", "CHAOS+  ", "CHAOS   "}));
  // TIGER starts at track 140, sector 6 (in TR-DOS's count from 0).
  EXPECT_EQ(collection.files[15].offset, (140u * 16 + 6) * 256);
  EXPECT_EQ(collection.files[15].start, 16384);
}

TEST(Td0Image, ReadsSectorsStoredRawAsPatternsAndRunLengthCoded) {
  const auto td0 = BuildTd0(SampleDisk(), {"a comment\0line two", false});
  ASSERT_TRUE(HasTd0Signature(td0));
  const Collection collection = ReadTd0Image(td0);
  EXPECT_EQ(collection.kind, ImageKind::Td0);
  ExpectSampleCatalogue(collection, td0);
  EXPECT_EQ(FirstDifference(collection.unpacked, SampleTrDosImage()), "");
  // Zero sectors pack into a few bytes whatever the method.
  EXPECT_LT(td0.size(), 96u * 256);
}

TEST(Td0Image, TracksAreCylindersOnASingleSidedDisk) {
  const auto linear = SampleTrDosImage();
  ExpectSampleCatalogue(ReadTd0Image(BuildTd0(TrDosDisk(linear, 6, 1))), linear);
}

TEST(Td0Image, SectorsWithoutDataOrWithErrorsAreWarnedOfAndTheRestIsRead) {
  DiskRecord disk = SampleDisk();
  disk.Sector(1, 0, 3).data.clear();      // track 2: the first screen's 19th sector
  disk.Sector(1, 0, 15).crcError = true;  // the real screen's 2nd
  // A header Teledisk made up for stray data: size code 247 and no data block after it.
  TrackRecord& track = disk.Track(1, 0);
  track.insert(track.begin() + 3, {164, 66, 247, 247, {}, false});
  const Collection collection = ReadTd0Image(BuildTd0(disk));
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::SectorsMissing, "file \"FIRST   \"", Details(1, 27)},
                                  {Problem::SectorsDamaged, "file \"REAL    \"", Details(1, 27)}}));
  ScreenBytes first = ColourfulScreen(1);
  std::fill_n(first.begin() + 18 * 256, 256, 0);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), first);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[2]), *SampleTrDosFiles()[2].screen);
}

TEST(Td0Image, WrongCrcsAreWarnings) {
  auto td0 = BuildTd0(SampleDisk(), {"comment", false});
  td0[12 + 10] ^= 0x20;                                      // the comment's first letter
  const std::size_t sector = SectorHeaderAt(td0, 1, 0, 16);  // the real screen's 3rd
  td0[sector + 5] ^= 0x01;                                   // its data's CRC byte
  const Collection collection = ReadTd0Image(td0);
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::Td0WrongCommentCrc},
                                  {Problem::SectorsDamaged, "file \"REAL    \"", Details(1, 27)}}));

  auto header = BuildTd0(SampleDisk());
  header[8] = 1;  // a changed header byte no longer matches the header's CRC
  EXPECT_FALSE(HasTd0Signature(header));
  const Collection read = ReadTd0Image(header);
  ASSERT_EQ(read.warnings.size(), 1u);
  EXPECT_EQ(read.warnings[0].problem, Problem::Td0WrongHeaderCrc);
  EXPECT_EQ(read.files.size(), 3u);
}

TEST(Td0Image, AWrongTrackHeaderCrcAndAnUnknownMethodAreWarnings) {
  auto td0 = BuildTd0(SampleDisk());
  // Track 5 (cylinder 2, side 1) holds no file: its header is 4 bytes before its first sector's.
  td0[SectorHeaderAt(td0, 2, 1, 1) - 1] ^= 0xFF;
  // The data block of the first screen's 1st sector: W size, then the method byte.
  td0[SectorHeaderAt(td0, 0, 1, 1) + 6 + 2] = 7;
  const Collection collection = ReadTd0Image(td0);
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::Td0WrongTrackHeaderCrcs, {}, Details(1)},
                                  {Problem::Td0UnknownMethods, {}, Details(1)},
                                  {Problem::SectorsMissing, "file \"FIRST   \"", Details(1, 27)}}));
}

TEST(Td0Image, AnImageCutShortKeepsTheScreensBeforeTheCut) {
  auto td0 = BuildTd0(SampleDisk());
  // Cut inside the header of track 3's sector 14. Its sectors come in the order 1, 9, 2, 10, 3,
  // 11, 4, 12, 5, 13, 6, 14: 7, 8 and 14-16 are lost, and track 4 whole. The real screen lies on
  // track 2 (14-16), 3 (all) and 4 (1-8): 5 + 8 of its sectors are missing.
  td0.resize(SectorHeaderAt(td0, 1, 1, 14) + 3);
  const Collection collection = ReadTd0Image(td0);
  EXPECT_EQ(
      collection.warnings,
      (std::vector<Warning>{{Problem::Td0CutShort, {}, Details(3)},
                            {Problem::SectorsMissing, "file \"REAL    \"", Details(13, 27)}}));
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), ColourfulScreen(1));
}

TEST(Td0Image, AdvancedCompressionAndOtherFilesAreRefusedClearly) {
  const auto td0 = BuildTd0(SampleDisk(), {"", true});
  EXPECT_TRUE(HasTd0Signature(td0));
  EXPECT_EQ(FormatErrorOf([&] { ReadTd0Image(td0); }),
            "not a TD0 image that can be read: it uses Teledisk's advanced compression (\"td\"), "
            "which this program does not decode");
  auto other = BuildTd0(SampleDisk());
  other[1] = 'X';
  EXPECT_FALSE(HasTd0Signature(other));
  EXPECT_EQ(FormatErrorOf([&] { ReadTd0Image(other); }),
            "not a TD0 disk image: it does not begin with \"TD\"");
  EXPECT_EQ(FormatErrorOf([&] { ReadTd0Image(std::span(td0).first(11)); }).substr(0, 22),
            "not a TD0 image that c");
  const auto plain = BuildTd0(SampleDisk());
  EXPECT_EQ(FormatErrorOf([&] { ReadTd0Image(std::span(plain).first(11)); }),
            "not a complete TD0 disk image: its 12-byte header is cut short");
}

}  // namespace
}  // namespace orlaspin::testing
