#include "containers/fdi_image.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "disk_builders.h"
#include "disk_samples.h"
#include "oracle.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

DiskRecord SampleDisk() { return TrDosDisk(SampleTrDosImage(), kSampleCylinders, kSampleHeads); }

// The sector of the linear image at byte offset `at`: track t = cylinder x 2 + side.
SectorRecord& SectorAt(DiskRecord& disk, std::uint64_t at) {
  const std::size_t track = at / 4096;
  return disk.Sector(track / disk.heads, track % disk.heads,
                     static_cast<std::uint8_t>(at % 4096 / 256 + 1));
}

TEST(FdiImage, ReadsTheTrDosCatalogueWithSectorsPlacedByTheirIds) {
  const auto fdi = BuildFdi(SampleDisk());
  ASSERT_TRUE(HasFdiSignature(fdi));
  const Collection collection = ReadFdiImage(fdi);
  EXPECT_EQ(collection.kind, ImageKind::Fdi);
  ExpectSampleCatalogue(collection, fdi);
  // The interleaved sectors come back in TR-DOS's order: the linear image whole.
  EXPECT_EQ(FirstDifference(collection.unpacked, SampleTrDosImage()), "");
}

TEST(FdiImage, TracksAreCylindersOnASingleSidedDisk) {
  const auto linear = SampleTrDosImage();
  const Collection collection = ReadFdiImage(BuildFdi(TrDosDisk(linear, 6, 1)));
  ExpectSampleCatalogue(collection, linear);
}

TEST(FdiImage, ThePlaceOfATrackComesFromTheFileNotFromItsSectorIds) {
  DiskRecord disk = SampleDisk();
  // Copy protections write other cylinder and side numbers into the IDs.
  for (TrackRecord& track : disk.tracks) {
    for (SectorRecord& sector : track) {
      sector.cylinder = 77;
      sector.head = 1;
    }
  }
  ExpectSampleCatalogue(ReadFdiImage(BuildFdi(disk)), {});
}

TEST(FdiImage, OnlySectorsOf256BytesNumbered1To16AreTrDosSectors) {
  DiskRecord disk = SampleDisk();
  // Extra sectors that would land on the first screen's sectors if they were taken.
  disk.Track(0, 1).push_back({0, 1, 0, 1, std::vector<std::uint8_t>(256, 0xAA), false});
  disk.Track(0, 1).push_back({0, 1, 17, 1, std::vector<std::uint8_t>(256, 0xBB), false});
  disk.Track(0, 1).push_back({0, 1, 1, 2, std::vector<std::uint8_t>(512, 0xCC), false});
  ExpectSampleCatalogue(ReadFdiImage(BuildFdi(disk)), {});
}

TEST(FdiImage, ASectorRecordedTwiceKeepsItsFirstGoodCopy) {
  DiskRecord disk = SampleDisk();
  SectorRecord& first = SectorAt(disk, 16 * 256);
  const SectorRecord good = first;
  first.crcError = true;
  first.data.assign(256, 0x55);
  TrackRecord& track = disk.Track(0, 1);
  track.push_back(good);
  track.push_back({0, 1, good.id, 1, std::vector<std::uint8_t>(256, 0x66), false});
  ExpectSampleCatalogue(ReadFdiImage(BuildFdi(disk)), {});
}

TEST(FdiImage, ASectorWithACrcErrorIsReadAsRecordedWithAWarning) {
  DiskRecord disk = SampleDisk();
  SectorRecord& sector = SectorAt(disk, 16 * 256 + 5 * 256);  // the first screen's 6th sector
  sector.crcError = true;
  const Collection collection = ReadFdiImage(BuildFdi(disk));
  ASSERT_EQ(collection.warnings.size(), 1u);
  EXPECT_EQ(collection.warnings[0],
            (Warning{Problem::SectorsDamaged, "file \"FIRST   \"", Details(1, 27)}));
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), ColourfulScreen(1));
}

TEST(FdiImage, MissingSectorsReadAsZerosWithAWarningForTheFilesTheyBelongTo) {
  DiskRecord disk = SampleDisk();
  const std::uint64_t lost = 45 * 256 + 3 * 256;     // the real screen's 4th sector
  const std::uint64_t noData = 45 * 256 + 26 * 256;  // its last sector: an ID without data
  SectorAt(disk, noData).data.clear();
  TrackRecord& track = disk.Track(lost / 4096 / 2, lost / 4096 % 2);
  std::erase_if(track, [&](const SectorRecord& s) { return s.id == lost % 4096 / 256 + 1; });

  const Collection collection = ReadFdiImage(BuildFdi(disk));
  ASSERT_EQ(collection.warnings.size(), 1u);
  EXPECT_EQ(collection.warnings[0],
            (Warning{Problem::SectorsMissing, "file \"REAL    \"", Details(2, 27)}));
  ScreenBytes expected = *SampleTrDosFiles()[2].screen;
  std::fill_n(expected.begin() + 3 * 256, 256, 0);
  std::fill(expected.begin() + 26 * 256, expected.end(), 0);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[2]), expected);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), ColourfulScreen(1));
}

TEST(FdiImage, AFileCutShortWarnsAndKeepsTheScreensBeforeTheCut) {
  auto fdi = BuildFdi(SampleDisk());
  // The data ends with track 5's sectors; cut them and 9.5 sectors of track 4, whose sectors lie
  // in the order 1, 9, 2, 10, 3, 11, 4, ...: 1-3, 9-11 and half of 4 are left.
  fdi.resize(fdi.size() - 16 * 256 - 9 * 256 - 128);
  const Collection collection = ReadFdiImage(fdi);
  EXPECT_EQ(WarningsOf(collection, Problem::FdiSectorsCutShort),
            (std::vector<Warning>{{Problem::FdiSectorsCutShort, {}, Details(26)}}));
  ASSERT_EQ(collection.files.size(), 3u);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), ColourfulScreen(1));
  // The real screen ends with track 4's sectors 1-8: 4 is cut in half, 5-8 are gone.
  EXPECT_EQ(WarningsOf(collection, Problem::SectorsMissing),
            (std::vector<Warning>{{Problem::SectorsMissing, "file \"REAL    \"", Details(4, 27)}}));
  EXPECT_EQ(WarningsOf(collection, Problem::SectorsDamaged),
            (std::vector<Warning>{{Problem::SectorsDamaged, "file \"REAL    \"", Details(1, 27)}}));
  ScreenBytes expected = *SampleTrDosFiles()[2].screen;
  std::fill(expected.begin() + 22 * 256 + 128, expected.end(), 0);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[2]), expected);
}

TEST(FdiImage, TrackHeadersCutShortLoseTheDisk) {
  auto fdi = BuildFdi(SampleDisk());
  fdi.resize(14 + 7 + 16 * 7 + 3);  // track 0's header and 3 bytes of track 1's, no data
  EXPECT_EQ(FormatErrorOf([&] { ReadFdiImage(fdi); }).substr(0, 19), "not a TR-DOS disk: ");
}

TEST(FdiImage, ADiskOfAnotherSystemSaysSoInsteadOfListingNoise) {
  const auto base = ReadFileBytes(TestdataPath("fdi/BASE.FDI"));
  ASSERT_TRUE(HasFdiSignature(base));
  EXPECT_EQ(FormatErrorOf([&] { ReadFdiImage(base); }),
            "not a TR-DOS disk: track 0 has no 256-byte sector 9, where TR-DOS keeps its disk "
            "information");

  DiskRecord disk = SampleDisk();
  disk.Sector(0, 0, 9).data[0xE7] = 0x00;
  EXPECT_EQ(FormatErrorOf([&] { ReadFdiImage(BuildFdi(disk)); }),
            "not a TR-DOS disk: track 0 sector 9 lacks TR-DOS's disk identifier");
}

TEST(FdiImage, WithoutSignatureOrWholeHeaderItIsNoFdi) {
  const auto fdi = BuildFdi(SampleDisk());
  auto other = fdi;
  other[2] = 'X';
  EXPECT_FALSE(HasFdiSignature(other));
  EXPECT_EQ(FormatErrorOf([&] { ReadFdiImage(other); }),
            "not an FDI disk image: it does not begin with \"FDI\"");
  const std::vector<std::uint8_t> header(fdi.begin(), fdi.begin() + 13);
  EXPECT_TRUE(HasFdiSignature(header));
  EXPECT_EQ(FormatErrorOf([&] { ReadFdiImage(header); }),
            "not a complete FDI disk image: its 14-byte header is cut short");
}

}  // namespace
}  // namespace orlaspin::testing
