#include "containers/udi_image.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "archive_builders.h"
#include "disk_builders.h"
#include "disk_samples.h"
#include "oracle.h"
#include "screens.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

DiskRecord SampleDisk() { return TrDosDisk(SampleTrDosImage(), kSampleCylinders, kSampleHeads); }

std::vector<std::uint8_t> RealUdi() { return ReadFileBytes(TestdataPath("udi/success.udi")); }

// Where bytes first occur in a built UDI.
std::size_t FindBytes(const std::vector<std::uint8_t>& udi, std::span<const std::uint8_t> data) {
  const auto found = std::search(udi.begin(), udi.end(), data.begin(), data.end());
  return static_cast<std::size_t>(found - udi.begin());
}

TEST(UdiImage, ReadsTheTrDosCatalogueFromRawTracksAfterAnExtendedHeader) {
  const std::vector<std::uint8_t> extended = {'e', 'x', 't', 'r', 'a', 0xFF, 0x00, 'T'};
  const auto udi = BuildUdi(SampleDisk(), {extended, false});
  ASSERT_TRUE(HasUdiSignature(udi));
  const Collection collection = ReadUdiImage(udi);
  EXPECT_EQ(collection.kind, ImageKind::Udi);
  ExpectSampleCatalogue(collection, udi);
  EXPECT_EQ(FirstDifference(collection.unpacked, SampleTrDosImage()), "");
}

TEST(UdiImage, ReadsZlibCompressedTracks) {
  const auto udi = BuildUdi(SampleDisk(), {{}, true});
  EXPECT_LT(udi.size(), 6 * 6250u);
  ExpectSampleCatalogue(ReadUdiImage(udi), udi);
}

TEST(UdiImage, ReadsTheRealDiskWithItsChecksumAndEverySectorRight) {
  const auto udi = RealUdi();
  const Collection collection = ReadUdiImage(udi);
  // No warning: the checksum and every ID and data CRC of its 160 compressed tracks are right.
  EXPECT_TRUE(collection.warnings.empty()) << WarningText(collection.warnings.front());
  ASSERT_EQ(collection.files.size(), 1u);
  EXPECT_EQ(collection.files[0].name, "success ");
  EXPECT_EQ(collection.files[0].extension, 'B');
  // 80 cylinders of 2 sides.
  EXPECT_EQ(collection.unpacked.size(), 160u * 4096);
  // The disk information sector names the disk.
  const std::string label(collection.unpacked.begin() + 8 * 256 + 0xF5,
                          collection.unpacked.begin() + 8 * 256 + 0xFD);
  EXPECT_EQ(label, "Success ");
}

TEST(UdiImage, TheChecksumIsTheFormatsOwnCrc32Variant) {
  const auto udi = RealUdi();
  const std::size_t size = udi.size() - 4;
  const std::uint32_t stored = U32At(udi, size);
  EXPECT_EQ(UdiChecksum(std::span(udi).first(size)), stored);
  EXPECT_EQ(ExpectedUdiChecksum(std::span(udi).first(size)), stored);
  // Not zlib's CRC-32.
  EXPECT_NE(crc32(0, udi.data(), static_cast<uInt>(size)), stored);
  for (const std::vector<std::uint8_t>& bytes :
       {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0x00},
        std::vector<std::uint8_t>{0xFF, 0x80}, std::vector<std::uint8_t>(1000, 0xA5)}) {
    EXPECT_EQ(UdiChecksum(bytes), ExpectedUdiChecksum(bytes));
  }
}

TEST(UdiImage, AWrongChecksumOrACutFileIsAWarning) {
  auto udi = BuildUdi(SampleDisk());
  const std::uint32_t right = U32At(udi, udi.size() - 4);
  udi[udi.size() - 4] ^= 0x01;
  Collection collection = ReadUdiImage(udi);
  ASSERT_EQ(collection.warnings.size(), 1u);
  EXPECT_EQ(collection.warnings[0],
            (Warning{Problem::UdiWrongChecksum, {}, Details(right ^ 1, right)}));
  EXPECT_EQ(collection.files.size(), 3u);

  udi.resize(udi.size() - 4 - 3000);  // the checksum and half of the last track
  collection = ReadUdiImage(udi);
  EXPECT_EQ(
      WarningsOf(collection, Problem::UdiCutShort),
      (std::vector<Warning>{{Problem::UdiCutShort, {}, Details(udi.size(), udi.size() + 3004)}}));
  EXPECT_EQ(WarningsOf(collection, Problem::UdiTracksEndEarly),
            (std::vector<Warning>{{Problem::UdiTracksEndEarly, "track 5"}}));
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[2]), *SampleTrDosFiles()[2].screen);
}

TEST(UdiImage, ADataCrcErrorIsDamageAndAnIdCrcErrorLosesTheSector) {
  DiskRecord disk = SampleDisk();
  disk.Sector(1, 0, 1).crcError = true;  // track 2 sector 1: the first screen's 17th sector
  auto udi = BuildUdi(disk);
  // Spoil the ID of the real screen's first sector (track 2 sector 14): its CRC no longer fits.
  const std::vector<std::uint8_t> id = {0xFE, 1, 0, 14, 1};
  const std::size_t idAt = FindBytes(udi, id);
  ASSERT_LT(idAt, udi.size());
  udi[idAt + 1] = 9;
  const auto resealed = [&udi] {
    auto bytes = udi;
    const std::size_t size = bytes.size() - 4;
    const std::uint32_t crc = ExpectedUdiChecksum(std::span(bytes).first(size));
    for (int i = 0; i < 4; ++i) bytes[size + i] = static_cast<std::uint8_t>(crc >> (8 * i));
    return bytes;
  }();
  const Collection collection = ReadUdiImage(resealed);
  ASSERT_EQ(collection.warnings.size(), 2u);
  EXPECT_EQ(collection.warnings[0],
            (Warning{Problem::SectorsDamaged, "file \"FIRST   \"", Details(1, 27)}));
  EXPECT_EQ(collection.warnings[1],
            (Warning{Problem::SectorsMissing, "file \"REAL    \"", Details(1, 27)}));
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), ColourfulScreen(1));
  ScreenBytes expected = *SampleTrDosFiles()[2].screen;
  std::fill_n(expected.begin(), 256, 0);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[2]), expected);
}

TEST(UdiImage, AnIdWithoutDataIsAMissingSector) {
  DiskRecord disk = SampleDisk();
  disk.Sector(2, 0, 2).data.clear();  // track 4 sector 2: the real screen's 21st
  const Collection collection = ReadUdiImage(BuildUdi(disk));
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::SectorsMissing, "file \"REAL    \"", Details(1, 27)}}));
}

// Where a track's record begins in a UDI of compressed tracks without an extended header.
std::size_t CompressedTrackAt(const std::vector<std::uint8_t>& udi, std::size_t track) {
  std::size_t at = 16;
  for (std::size_t t = 0; t < track; ++t) at += 6 + U16At(udi, at + 1) + 1;
  return at;
}

TEST(UdiImage, ADamagedCompressedTrackIsSkippedWithAWarning) {
  auto udi = BuildUdi(SampleDisk(), {{}, true});
  // Track 3 holds the real screen's sectors 4 to 19.
  udi[CompressedTrackAt(udi, 3) + 6 + 20] ^= 0xFF;
  const std::size_t size = udi.size() - 4;
  const std::uint32_t crc = ExpectedUdiChecksum(std::span(udi).first(size));
  for (int i = 0; i < 4; ++i) udi[size + i] = static_cast<std::uint8_t>(crc >> (8 * i));
  const Collection collection = ReadUdiImage(udi);
  EXPECT_EQ(
      collection.warnings,
      (std::vector<Warning>{{Problem::UdiTrackDataDamaged, "track 3"},
                            {Problem::SectorsMissing, "file \"REAL    \"", Details(16, 27)}}));
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), ColourfulScreen(1));
}

TEST(UdiImage, ACompressedImageOrAnotherFileIsNoUdiThatCanBeRead) {
  auto udi = BuildUdi(SampleDisk());
  auto compressed = udi;
  std::copy_n("udi!", 4, compressed.begin());
  EXPECT_TRUE(HasUdiSignature(compressed));
  EXPECT_EQ(FormatErrorOf([&] { ReadUdiImage(compressed); }),
            "not a UDI image that can be read: \"udi!\" marks a compressed image, and no "
            "compression was ever defined for it");
  auto other = udi;
  other[3] = '?';
  EXPECT_FALSE(HasUdiSignature(other));
  EXPECT_EQ(FormatErrorOf([&] { ReadUdiImage(other); }),
            "not a UDI disk image: it does not begin with \"UDI!\"");
  EXPECT_EQ(FormatErrorOf([&] { ReadUdiImage(std::span(udi).first(15)); }),
            "not a complete UDI disk image: its 16-byte header is cut short");
}

}  // namespace
}  // namespace orlaspin::testing
