#include "containers/dsk_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <tuple>

#include "archive_builders.h"
#include "containers/plus3dos_disk.h"
#include "disk_builders.h"
#include "disk_samples.h"
#include "screens.h"

namespace orlaspin::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 13 + i / 256);
  return bytes;
}

Bytes ScreenVector(const ScreenBytes& screen) { return {screen.begin(), screen.end()}; }

std::vector<Plus3File> MixedFiles() {
  return {
      Plus3Screen("PICTURE", ColourfulScreen(7)),
      {"LOADER", "", std::uint8_t{0}, 10, Pattern(500, 1), 0},
      {"BIG", "BIN", std::uint8_t{3}, 32768, Pattern(40000, 2), 0},
      {"RAW", "SCR", std::nullopt, 0, ScreenVector(RealScreen("mojontwins_MK2__gfx_title.scr")), 0},
      {"ODD", "SCR", std::uint8_t{3}, 16384, Pattern(6911, 3), 0},
      {"NUMBERS", "DAT", std::uint8_t{1}, 0, Pattern(300, 4), 0},
      {"TEXT", "DAT", std::uint8_t{2}, 0, Pattern(20, 5), 0},
      {"EMPTY", "", std::nullopt, 0, {}, 0}};
}

std::string ListedName(const Plus3File& file) {
  std::string name = file.name, extension = file.extension;
  for (char& c : name) c = static_cast<char>(c & 0x7F);
  for (char& c : extension) c = static_cast<char>(c & 0x7F);
  return extension.empty() ? name : name + "." + extension;
}

// The collection lists the files in order, each file's bytes one after the other in whole
// records, the data after a header's 128 bytes. Files before `from` are not checked.
void ExpectFiles(const Collection& collection, std::span<const Plus3File> files,
                 std::size_t from = 0) {
  const char* const types[] = {"Program", "Number array", "Character array", "Bytes"};
  ASSERT_EQ(collection.files.size(), files.size());
  std::uint64_t at = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const Plus3File& file = files[i];
    const std::size_t header = file.headerType ? 128 : 0;
    if (i < from) {
      at += (header + file.data.size() + 127) / 128 * 128;
      continue;
    }
    const CollectionFile& listed = collection.files[i];
    SCOPED_TRACE(listed.name);
    EXPECT_EQ(listed.name, ListedName(file));
    EXPECT_EQ(listed.type, file.headerType ? types[*file.headerType] : "headerless");
    EXPECT_EQ(listed.length, file.data.size());
    EXPECT_EQ(listed.offset, at + header);
    EXPECT_EQ(listed.start,
              file.headerType ? std::optional<std::uint16_t>(file.param1) : std::nullopt);
    EXPECT_FALSE(listed.extension.has_value());
    EXPECT_EQ(listed.isScreen, file.headerType == 3 && file.data.size() == 6912);
    ASSERT_LE(listed.offset + listed.length, collection.unpacked.size());
    EXPECT_TRUE(
        std::equal(file.data.begin(), file.data.end(),
                   collection.unpacked.begin() + static_cast<std::ptrdiff_t>(listed.offset)));
    at += (header + file.data.size() + 127) / 128 * 128;
  }
}

TEST(DskImage, ListsThePlus3DosFilesOfStandardAndExtendedImages) {
  const auto files = MixedFiles();
  for (const bool extended : {false, true}) {
    SCOPED_TRACE(extended ? "extended" : "standard");
    const auto dsk = BuildDsk(Plus3Disk(files), extended);
    ASSERT_TRUE(HasDskSignature(dsk));
    const Collection collection = ReadDskImage(dsk);
    EXPECT_EQ(collection.kind, ImageKind::Dsk);
    EXPECT_TRUE(collection.warnings.empty()) << WarningText(collection.warnings.front());
    ExpectFiles(collection, files);
    EXPECT_EQ(ScreenData(FileBytes(collection, dsk), collection.files[0]), ColourfulScreen(7));
  }
}

TEST(DskImage, ABlankGeometryRecordSectorMeansThePlus3Format) {
  const auto files = MixedFiles();
  const Collection collection =
      ReadDskImage(BuildDsk(Plus3Disk(files, {.blankGeometryRecord = true}), false));
  EXPECT_TRUE(collection.warnings.empty());
  ExpectFiles(collection, files);
}

TEST(DskImage, ReadsOtherGeometriesFromTheGeometryRecord) {
  const auto files = MixedFiles();
  // 80 tracks on each side, alternating: 355 blocks of 2 KB, so 16-bit block numbers.
  const Plus3Format doubleSided{
      .sides = 2, .tracksPerSide = 80, .blockSize = 2048, .directoryBlocks = 4};
  // 177 blocks of 2 KB: 8-bit numbers, and a directory entry holds two 16 KB extents.
  const Plus3Format bigBlocks{.tracksPerSide = 80, .blockSize = 2048};
  for (const Plus3Format& format : {doubleSided, bigBlocks}) {
    const Collection collection = ReadDskImage(BuildDsk(Plus3Disk(files, format), true));
    EXPECT_TRUE(collection.warnings.empty()) << WarningText(collection.warnings.front());
    ExpectFiles(collection, files);
  }
}

TEST(DskImage, ReadsAnAmstradDataFormatDiskByItsSectorIds) {
  const auto files = MixedFiles();
  DiskRecord disk = Plus3Disk(files, {.reservedTracks = 0});
  for (TrackRecord& track : disk.tracks) {
    for (SectorRecord& sector : track) sector.id = static_cast<std::uint8_t>(sector.id + 0xC0);
  }
  const Collection collection = ReadDskImage(BuildDsk(disk, false));
  EXPECT_TRUE(collection.warnings.empty());
  ExpectFiles(collection, files);
}

TEST(DskImage, OnlyTheEntriesOfUsers0To15AreFilesAndAttributeBitsAreNoPartOfNames) {
  std::vector<Plus3File> files = {
      Plus3Screen("A", ColourfulScreen(1)),
      {"DELETED", "", std::uint8_t{3}, 0, Pattern(100, 1), 0xE5},
      {"LABEL", "", std::nullopt, 0, {}, 0x20},
      {"USER3", "BIN", std::uint8_t{3}, 5, Pattern(100, 2), 3},
      // Read-only, system and archive flags in bit 7 of the type's letters.
      {"FLAGGED", "\xC2\xC9\xCE", std::nullopt, 0, Pattern(200, 3), 0},
      {"SAME", "", std::nullopt, 0, Pattern(128, 4), 1},
      {"SAME", "", std::nullopt, 0, Pattern(256, 5), 2},
  };
  const Collection collection = ReadDskImage(BuildDsk(Plus3Disk(files), true));
  ASSERT_EQ(collection.files.size(), 5u);
  EXPECT_EQ(collection.files[0].name, "A.SCR");
  EXPECT_EQ(collection.files[1].name, "USER3.BIN");
  EXPECT_EQ(collection.files[2].name, "FLAGGED.BIN");
  // The same name in two user areas is two files.
  EXPECT_EQ(collection.files[3].name, "SAME");
  EXPECT_EQ(collection.files[3].length, 128u);
  EXPECT_EQ(collection.files[4].name, "SAME");
  EXPECT_EQ(collection.files[4].length, 256u);
}

TEST(DskImage, AHeaderWithAWrongChecksumOrSignatureIsNoHeader) {
  const Plus3File screen = Plus3Screen("PIC", ColourfulScreen(2));
  Bytes badSum = Plus3DosHeader(screen);
  badSum[127] ^= 1;
  Bytes badSoftEof = Plus3DosHeader(screen);
  badSoftEof[8] = 0;
  badSoftEof[127] = static_cast<std::uint8_t>(badSoftEof[127] - 0x1A);
  std::vector<Plus3File> files;
  for (Bytes header : {badSum, badSoftEof}) {
    header.insert(header.end(), screen.data.begin(), screen.data.end());
    files.push_back({"PIC" + std::to_string(files.size()), "SCR", std::nullopt, 0, header, 0});
  }
  const Collection collection = ReadDskImage(BuildDsk(Plus3Disk(files), false));
  ASSERT_EQ(collection.files.size(), 2u);
  for (const CollectionFile& file : collection.files) {
    EXPECT_EQ(file.type, "headerless");
    EXPECT_EQ(file.length, (128u + 6912 + 127) / 128 * 128);
    EXPECT_FALSE(file.isScreen);
  }
}

// Some tools write "TAPEFILE" where the BASIC header would be: the file is as long as the
// header's own length says, and whole.
TEST(DskImage, AHeaderWithoutABasicHeaderIsReadByItsFileLength) {
  const Plus3File data = {"TAPED", "", std::uint8_t{3}, 0, Pattern(532, 6), 0};
  Bytes content = Plus3DosHeader(data);
  std::copy_n("TAPEFILE", 8, content.begin() + 15);
  content[127] = static_cast<std::uint8_t>(std::accumulate(content.begin(), content.end() - 1, 0));
  content.insert(content.end(), data.data.begin(), data.data.end());
  const std::vector<Plus3File> files = {{"TAPED", "", std::nullopt, 0, content, 0}};
  const Collection collection = ReadDskImage(BuildDsk(Plus3Disk(files), false));
  EXPECT_TRUE(collection.warnings.empty());
  ASSERT_EQ(collection.files.size(), 1u);
  const CollectionFile& file = collection.files[0];
  EXPECT_EQ(std::tie(file.type, file.length, file.start, file.isScreen),
            std::make_tuple(std::string("headed"), 532u, std::optional<std::uint16_t>(), false));
  EXPECT_TRUE(std::equal(data.data.begin(), data.data.end(),
                         collection.unpacked.begin() + static_cast<std::ptrdiff_t>(file.offset)));
}

TEST(DskImage, MissingAndDamagedSectorsAndBlocksOutsideTheDiskAreWarnings) {
  const auto files = MixedFiles();
  DiskRecord disk = Plus3Disk(files);
  // Blocks 0-1 are the directory (track 1 sectors 1-4); the screen's 7 records take blocks 2-8:
  // track 1 sectors 5-9, track 2 sectors 1-9.
  std::erase_if(disk.Track(2, 0), [](const SectorRecord& s) { return s.id == 4; });
  disk.Sector(2, 0, 5).crcError = true;
  // LOADER's first directory entry is the second: its one block becomes 200, past block 174.
  disk.Sector(1, 0, 1).data[32 + 16] = 200;
  const Collection collection = ReadDskImage(BuildDsk(disk, true));
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::SectorsMissing, "file \"PICTURE.SCR\"", Details(1, 14)},
                                  {Problem::SectorsDamaged, "file \"PICTURE.SCR\"", Details(1, 14)},
                                  {Problem::SectorsMissing, "file \"LOADER\"", Details(2, 2)}}));
  // The screen's file begins with block 2, track 1 sector 5: track 2 sector 4 holds its bytes
  // 8 x 512 = 4096 to 4607, the data's from 4096 - 128.
  ScreenBytes expected = ColourfulScreen(7);
  std::fill_n(expected.begin() + 3968, 512, 0);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), expected);
  // LOADER's header is lost with its block: it is read as a headerless file of zeros.
  EXPECT_EQ(collection.files[1].type, "headerless");
  ExpectFiles(collection, files, 2);
}

TEST(DskImage, AFileShorterThanItsHeaderSaysIsReadWithZerosAndAWarning) {
  const Plus3File whole = Plus3Screen("CUT", ColourfulScreen(3));
  Bytes content = Plus3DosHeader(whole);
  content.insert(content.end(), whole.data.begin(), whole.data.begin() + 1000);
  const std::vector<Plus3File> files = {{"CUT", "SCR", std::nullopt, 0, content, 0},
                                        Plus3Screen("NEXT", ColourfulScreen(4))};
  const Collection collection = ReadDskImage(BuildDsk(Plus3Disk(files), false));
  ASSERT_EQ(collection.files.size(), 2u);
  // Its 9 records hold 1024 data bytes: the 1000 written and 24 bytes of 0x1A.
  EXPECT_EQ(collection.warnings, (std::vector<Warning>{{Problem::Plus3FileCutShort,
                                                        "file \"CUT.SCR\"", Details(1024, 6912)}}));
  EXPECT_TRUE(collection.files[0].isScreen);
  ScreenBytes expected{};
  std::copy_n(whole.data.begin(), 1000, expected.begin());
  std::fill_n(expected.begin() + 1000, 24, 0x1A);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[0]), expected);
  EXPECT_EQ(ScreenData(collection.unpacked, collection.files[1]), ColourfulScreen(4));
}

// Writes bytes over the directory of a disk of the given format, by its logical sectors.
void PutDirectoryBytes(DiskRecord& disk, const Plus3Format& format,
                       std::span<const std::uint8_t> bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += 512) {
    const std::size_t logical = at / 512;
    const std::size_t track = format.reservedTracks + logical / 9;
    SectorRecord& sector = disk.Sector(track / format.sides, track % format.sides,
                                       static_cast<std::uint8_t>(1 + logical % 9));
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                std::min<std::size_t>(512, bytes.size() - at), sector.data.begin());
  }
}

TEST(DskImage, ADirectoryListingTheSameBlocksOverAndOverStopsAtTheCap) {
  // Blocks of 16 KB: an entry of 16 blocks holds 256 KB; 16 directory blocks hold 8192 entries.
  const Plus3Format format{
      .sides = 2, .tracksPerSide = 80, .blockSize = 16384, .directoryBlocks = 16};
  DiskRecord disk = Plus3Disk({}, format);
  Bytes directory;
  for (int i = 0; i < 100; ++i) {
    // User 0, "FILEnn" with a blank type, extent 15 of 128 records, blocks 16-31.
    const std::string name = "FILE" + std::to_string(i / 10) + std::to_string(i % 10) + "     ";
    Bytes entry = {0};
    entry.insert(entry.end(), name.begin(), name.end());
    entry.insert(entry.end(), {15, 0, 0, 128});
    for (std::uint8_t block = 16; block < 32; ++block) entry.push_back(block);
    directory.insert(directory.end(), entry.begin(), entry.end());
  }
  PutDirectoryBytes(disk, format, directory);
  const Collection collection = ReadDskImage(BuildDsk(disk, false));
  // 16 MB hold 64 files of 256 KB.
  EXPECT_EQ(collection.files.size(), 64u);
  EXPECT_LE(collection.unpacked.size(), kLargestPlus3Files);
  EXPECT_EQ(WarningsOf(collection, Problem::Plus3TooManyFiles),
            (std::vector<Warning>{{Problem::Plus3TooManyFiles, {}, Details(16, 64)}}));
}

TEST(DskImage, ATrDosDiskInADskIsReadByItsCatalogue) {
  for (const bool extended : {false, true}) {
    const auto dsk =
        BuildDsk(TrDosDisk(SampleTrDosImage(), kSampleCylinders, kSampleHeads), extended);
    const Collection collection = ReadDskImage(dsk);
    EXPECT_EQ(collection.kind, ImageKind::Dsk);
    ExpectSampleCatalogue(collection, dsk);
  }
}

TEST(DskImage, AnUnformattedTrackOfAnExtendedImageIsSkipped) {
  DiskRecord disk = TrDosDisk(SampleTrDosImage(), kSampleCylinders, kSampleHeads);
  disk.tracks[5].clear();
  const auto dsk = BuildDsk(disk, true);
  EXPECT_EQ(dsk[0x34 + 5], 0);
  ExpectSampleCatalogue(ReadDskImage(dsk), dsk);
}

TEST(DskImage, NoDiskOrAnUnknownFileSystemIsRefused) {
  const auto dsk = BuildDsk(Plus3Disk(MixedFiles()), false);
  auto other = dsk;
  other[0] = 'N';
  EXPECT_FALSE(HasDskSignature(other));
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(other); }),
            "not a DSK disk image: it begins with neither \"MV - CPC\" nor \"EXTENDED CPC DSK "
            "File\"");
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(std::span(dsk).first(255)); }),
            "not a complete DSK disk image: its 256-byte disk information block is cut short");
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(std::span(dsk).first(256)); }),
            "not a +3DOS disk: the image has no track 0");

  DiskRecord disk = Plus3Disk(MixedFiles());
  disk.Sector(0, 0, 1).data[0] = 7;
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(BuildDsk(disk, false)); }),
            "not a +3DOS disk: its geometry record names format 7");
  disk.Sector(0, 0, 1).data[0] = 0;
  disk.Sector(0, 0, 1).data[1] = 2;
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(BuildDsk(disk, false)); }),
            "not a +3DOS disk: its sides follow one another, a layout this program does not read");
  disk.Sector(0, 0, 1).data[1] = 0;
  disk.Sector(0, 0, 1).data[7] = 0;
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(BuildDsk(disk, false)); }),
            "not a +3DOS disk: its geometry record gives no room for a directory and files");
  disk.Sector(0, 0, 1).data[7] = 2;
  disk.Sector(0, 0, 1).data[6] = 2;
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(BuildDsk(disk, false)); }),
            "not a +3DOS disk: its geometry record gives sectors of code 2 and blocks of code 2");
  std::erase_if(disk.Track(0, 0), [](const SectorRecord& s) { return s.id == 1; });
  EXPECT_EQ(FormatErrorOf([&] { ReadDskImage(BuildDsk(disk, true)); }),
            "not a +3DOS disk: track 0 has no sector 1 with the geometry record");
}

}  // namespace
}  // namespace orlaspin::testing
