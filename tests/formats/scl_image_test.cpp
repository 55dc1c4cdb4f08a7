#include "containers/scl_image.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "screens.h"

namespace orlaspin::testing {
namespace {

std::vector<ArchivedFile> ThreeFiles() {
  return {ScreenFile("NINJAJAR", RealScreen("mojontwins_MK2__gfx_title.scr")),
          {"loader", 'B', 10, std::vector<std::uint8_t>(300, 0xAA), {}, {}},
          ScreenFile("desolate", RealScreen("nzeemin_desolate__loading.scr"))};
}

TEST(SclArchive, ListsEveryFileWithItsHeaderAndTheOffsetOfItsSectors) {
  const auto files = ThreeFiles();
  const auto scl = BuildScl(files);
  const Collection collection = ReadSclArchive(scl);

  EXPECT_EQ(collection.kind, ImageKind::SclArchive);
  EXPECT_TRUE(collection.warnings.empty());
  ASSERT_EQ(collection.files.size(), 3u);
  // Headers take 9 + 3 x 14 bytes; the files take 27, 2 and 27 sectors.
  const std::uint64_t offsets[] = {51, 51 + 27 * 256, 51 + 29 * 256};
  for (std::size_t i = 0; i < files.size(); ++i) {
    const CollectionFile& file = collection.files[i];
    EXPECT_EQ(file.name, files[i].name + std::string(8 - files[i].name.size(), ' '));
    EXPECT_EQ(file.extension, files[i].extension);
    EXPECT_EQ(file.start, files[i].start);
    EXPECT_EQ(file.length, files[i].data.size());
    EXPECT_EQ(file.offset, offsets[i]);
    EXPECT_FALSE(file.nameIsFileName);
  }
  EXPECT_TRUE(collection.files[0].isScreen);
  EXPECT_FALSE(collection.files[1].isScreen);
  EXPECT_TRUE(collection.files[2].isScreen);
}

TEST(SclArchive, ScreensReadBackAsTheRealScreensPutIn) {
  const auto files = ThreeFiles();
  const auto scl = BuildScl(files);
  const Collection collection = ReadSclArchive(scl);
  EXPECT_EQ(ScreenData(scl, collection.files[0]), RealScreen("mojontwins_MK2__gfx_title.scr"));
  EXPECT_EQ(ScreenData(scl, collection.files[2]), RealScreen("nzeemin_desolate__loading.scr"));
}

TEST(SclArchive, AScreenIsAFileOfLength6912WhateverItsTypeAndSectors) {
  std::vector<ArchivedFile> files = {
      {"odd", 'X', 0, std::vector<std::uint8_t>(6912, 1), {}, std::uint8_t{30}},
      {"short", 'C', 0, std::vector<std::uint8_t>(6911, 1), {}, {}},
      {"long", 'C', 0, std::vector<std::uint8_t>(6913, 1), {}, {}},
      {"liar", 'C', 0, std::vector<std::uint8_t>(256, 1), std::uint16_t{6912}, {}},
  };
  const Collection collection = ReadSclArchive(BuildScl(files));
  ASSERT_EQ(collection.files.size(), 4u);
  EXPECT_TRUE(collection.files[0].isScreen);
  EXPECT_FALSE(collection.files[1].isScreen);
  EXPECT_FALSE(collection.files[2].isScreen);
  EXPECT_TRUE(collection.files[3].isScreen);
  EXPECT_EQ(collection.files[1].offset, collection.files[0].offset + 30 * 256);
}

TEST(SclArchive, NamesEndAtAZeroByteAndKeepAllEightBytesOtherwise) {
  std::vector<ArchivedFile> files = {
      {std::string("AB\0CD", 5), 'C', 0, {1}, {}, {}},
      {"12345678", 'C', 0, {1}, {}, {}},
      {std::string("\0XYZ", 4), 'C', 0, {1}, {}, {}},
  };
  const Collection collection = ReadSclArchive(BuildScl(files));
  ASSERT_EQ(collection.files.size(), 3u);
  EXPECT_EQ(collection.files[0].name, "AB");
  EXPECT_EQ(collection.files[1].name, "12345678");
  // An SCL has no end mark: an empty name is still a file.
  EXPECT_EQ(collection.files[2].name, "");
}

TEST(SclArchive, AWrongChecksumIsAWarningAndTheFilesAreStillRead) {
  auto scl = BuildScl(ThreeFiles());
  const std::size_t last = scl.size() - 4;
  const std::uint32_t right = scl[last] | (scl[last + 1] << 8) | (scl[last + 2] << 16) |
                              (std::uint32_t{scl[last + 3]} << 24);
  scl[last] ^= 0x01;
  const Collection collection = ReadSclArchive(scl);
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::SclWrongChecksum, {}, Details(right ^ 1, right)}}));
  EXPECT_EQ(collection.files.size(), 3u);
}

TEST(SclArchive, AChangedDataByteBreaksTheChecksum) {
  auto scl = BuildScl(ThreeFiles());
  scl[100] ^= 0x40;
  EXPECT_EQ(ReadSclArchive(scl).warnings.size(), 1u);
}

TEST(SclArchive, ACutArchiveWarnsAndItsMissingBytesReadAsZero) {
  const auto files = ThreeFiles();
  auto scl = BuildScl(files);
  const std::size_t fullSize = scl.size();
  scl.resize(51 + 29 * 256 + 1000);  // 1000 bytes of the last screen are left
  const Collection collection = ReadSclArchive(scl);
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::SclCutShort, {}, Details(scl.size(), fullSize)}}));
  ASSERT_EQ(collection.files.size(), 3u);
  const ScreenBytes got = ScreenData(scl, collection.files[2]);
  ScreenBytes want{};
  std::copy_n(files[2].data.begin(), 1000, want.begin());
  EXPECT_EQ(got, want);
}

TEST(SclArchive, AnEmptyArchiveHasNoFiles) {
  const Collection collection = ReadSclArchive(BuildScl({}));
  EXPECT_TRUE(collection.files.empty());
  EXPECT_TRUE(collection.warnings.empty());
}

TEST(SclArchive, WithoutSignatureOrWholeHeadersItIsNoArchive) {
  auto scl = BuildScl(ThreeFiles());
  EXPECT_TRUE(HasSclSignature(scl));
  auto unsigned_ = scl;
  unsigned_[0] = 's';
  EXPECT_FALSE(HasSclSignature(unsigned_));
  EXPECT_THROW(ReadSclArchive(unsigned_), ImageFormatError);

  const std::vector<std::uint8_t> signatureOnly(scl.begin(), scl.begin() + 8);
  EXPECT_THROW(ReadSclArchive(signatureOnly), ImageFormatError);
  // Three headers need 51 bytes.
  const std::vector<std::uint8_t> cutHeaders(scl.begin(), scl.begin() + 50);
  try {
    ReadSclArchive(cutHeaders);
    ADD_FAILURE() << "no error";
  } catch (const ImageFormatError& error) {
    EXPECT_NE(error.Message().find("SCL"), std::string::npos) << error.Message();
  }
  EXPECT_FALSE(HasSclSignature(std::vector<std::uint8_t>{'S', 'I', 'N'}));
}

}  // namespace
}  // namespace orlaspin::testing
