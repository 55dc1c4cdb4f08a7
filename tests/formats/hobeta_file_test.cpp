#include "containers/hobeta_file.h"

#include <gtest/gtest.h>

#include "archive_builders.h"

namespace orlaspin::testing {
namespace {

TEST(HobetaFile, HoldsOneFileAfterTheSeventeenByteHeader) {
  const ScreenBytes screen = RealScreen("salvakantero_RedPlanet_ZX__gfx_loading.scr");
  const auto hobeta = BuildHobeta(ScreenFile("redplan", screen));
  ASSERT_EQ(hobeta.size(), 17u + 27 * 256);
  EXPECT_TRUE(HasHobetaHeader(hobeta));

  const Collection collection = ReadHobetaFile(hobeta);
  EXPECT_EQ(collection.kind, ImageKind::HobetaFile);
  EXPECT_TRUE(collection.warnings.empty());
  ASSERT_EQ(collection.files.size(), 1u);
  const CollectionFile& file = collection.files[0];
  EXPECT_EQ(file.name, "redplan ");
  EXPECT_EQ(file.extension, 'C');
  EXPECT_EQ(file.start, 16384);
  EXPECT_EQ(file.length, 6912u);
  EXPECT_EQ(file.offset, 17u);
  EXPECT_TRUE(file.isScreen);
  EXPECT_EQ(ScreenData(hobeta, file), screen);
}

TEST(HobetaFile, ChecksumIsTheWeightedSumOfTheFirstFifteenBytes) {
  // "AB" filled with spaces, 'C', start 0x8000, length 6912 (0x1B00), full length 27 x 256.
  std::vector<std::uint8_t> header = {'A', 'B',  ' ',  ' ',  ' ',  ' ',  ' ', ' ',
                                      'C', 0x00, 0x80, 0x00, 0x1B, 0x00, 0x1B};
  const unsigned sum = 65 + 66 + 6 * 32 + 67 + 0x80 + 0x1B + 0x1B;
  EXPECT_EQ(HobetaChecksum(header), (105 + 257 * sum) % 65536);
  EXPECT_EQ(HobetaChecksum(header), ExpectedHobetaChecksum(header));

  // A sum large enough to wrap past 65536.
  std::vector<std::uint8_t> full(15, 0xFF);
  EXPECT_EQ(HobetaChecksum(full), (105 + 257 * 15 * 255) % 65536);
}

TEST(HobetaFile, AWrongChecksumIsAWarningNotAnError) {
  auto hobeta = BuildHobeta(ScreenFile("pic", RealScreen("mojontwins_MK2__gfx_title.scr")));
  hobeta[16] ^= 0x10;
  EXPECT_FALSE(HasHobetaHeader(hobeta));
  const Collection collection = ReadHobetaFile(hobeta);
  ASSERT_EQ(collection.warnings.size(), 1u);
  EXPECT_EQ(collection.warnings[0].problem, Problem::HobetaWrongChecksum);
  ASSERT_EQ(collection.files.size(), 1u);
  EXPECT_TRUE(collection.files[0].isScreen);
}

TEST(HobetaFile, TheSectorCountIsTheHighByteOfTheFullLength) {
  ArchivedFile file = {"prog", 'B', 0, std::vector<std::uint8_t>(1000, 7), {}, {}};
  const auto hobeta = BuildHobeta(file);
  EXPECT_EQ(hobeta[13], 0);
  EXPECT_EQ(hobeta[14], 4);
  const Collection collection = ReadHobetaFile(hobeta);
  EXPECT_EQ(collection.files[0].length, 1000u);
  EXPECT_FALSE(collection.files[0].isScreen);
  EXPECT_TRUE(collection.warnings.empty());
}

TEST(HobetaFile, DataShorterThanItsLengthWarnsAndReadsAsZero) {
  const ScreenBytes screen = RealScreen("UzixLS_zx-midiplayer__title.scr");
  auto hobeta = BuildHobeta(ScreenFile("title", screen));
  hobeta.resize(17 + 6000);
  const Collection collection = ReadHobetaFile(hobeta);
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::HobetaCutShort, {}, Details(6000, 6912)}}));
  ScreenBytes want{};
  std::copy_n(screen.begin(), 6000, want.begin());
  EXPECT_EQ(ScreenData(hobeta, collection.files[0]), want);
}

TEST(HobetaFile, AFileShorterThanTheHeaderIsNoHobetaFile) {
  const auto hobeta = BuildHobeta(ScreenFile("x", ScreenBytes{}));
  const std::vector<std::uint8_t> cut(hobeta.begin(), hobeta.begin() + 16);
  EXPECT_FALSE(HasHobetaHeader(cut));
  EXPECT_THROW(ReadHobetaFile(cut), ImageFormatError);
  const std::vector<std::uint8_t> headerOnly(hobeta.begin(), hobeta.begin() + 17);
  EXPECT_TRUE(HasHobetaHeader(headerOnly));
}

}  // namespace
}  // namespace orlaspin::testing
