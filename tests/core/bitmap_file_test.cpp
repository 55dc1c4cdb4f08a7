#include "encoders/bitmap_file.h"

#include <gtest/gtest.h>

#include "export/collection_export.h"
#include "io/errors.h"
#include "fake_file_system.h"
#include "oracle.h"
#include "screens.h"
#include "test_files.h"

namespace orlaspin {
namespace {

using testing::FirstDifference;

std::uint32_t U32At(const std::vector<std::uint8_t>& file, std::size_t at) {
  return file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) |
         (std::uint32_t{file[at + 3]} << 24);
}

std::vector<std::uint8_t> DecodedBitmap(const ScreenBytes& screen) {
  return testing::BitmapOf(ScreenPicture(screen, kZxPaletteColours));
}

TEST(BitmapLayout, HeadersCarryTheDocumentedFields) {
  const std::vector<std::uint8_t> file = testing::BitmapOf(testing::WhitePicture());
  ASSERT_EQ(file.size(), 196662u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(U32At(file, 2), 196662u);
  EXPECT_EQ(U32At(file, 6), 0u);  // both reserved words
  EXPECT_EQ(U32At(file, 10), 54u);
  EXPECT_EQ(U32At(file, 14), 40u);
  EXPECT_EQ(U32At(file, 18), 256u);
  EXPECT_EQ(U32At(file, 22), 192u);
  EXPECT_EQ(U32At(file, 26), 1u | (32u << 16));  // planes 1, then 32 bits per pixel
  EXPECT_EQ(U32At(file, 30), 0u);
  EXPECT_EQ(U32At(file, 34), 196608u);
  for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(U32At(file, at), 0u) << at;
}

TEST(BitmapLayout, RowsRunBottomUpInBlueGreenRedZeroOrder) {
  Picture picture = testing::WhitePicture();
  picture.pixels[0] = 0x112233;          // top left
  picture.pixels[255] = 0x445566;        // top right
  picture.pixels[191 * 256] = 0x778899;  // bottom left
  picture.pixels[190 * 256 + 1] = 0xAABBCC;
  const std::vector<std::uint8_t> file = testing::BitmapOf(picture);
  const auto pixelAt = [&](std::size_t at) {
    return std::vector<std::uint8_t>(file.begin() + at, file.begin() + at + 4);
  };
  EXPECT_EQ(pixelAt(195638), (std::vector<std::uint8_t>{0x11, 0x22, 0x33, 0}));
  EXPECT_EQ(pixelAt(195638 + 255 * 4), (std::vector<std::uint8_t>{0x44, 0x55, 0x66, 0}));
  EXPECT_EQ(pixelAt(54), (std::vector<std::uint8_t>{0x77, 0x88, 0x99, 0}));
  EXPECT_EQ(pixelAt(54 + 1024 + 4), (std::vector<std::uint8_t>{0xAA, 0xBB, 0xCC, 0}));
}

TEST(BitmapLayout, MatchesTheOracleForDecodedScreens) {
  for (std::uint32_t seed : {3u, 4u}) {
    const ScreenBytes screen = testing::ColourfulScreen(seed);
    EXPECT_EQ(FirstDifference(DecodedBitmap(screen), testing::OracleBitmapFile(screen)), "")
        << seed;
  }
  ScreenBytes red{};
  std::fill(red.begin(), red.begin() + kPixelBytes, std::uint8_t{0xFF});
  std::fill(red.begin() + kPixelBytes, red.end(), std::uint8_t{0x3A});
  const std::vector<std::uint8_t> file = DecodedBitmap(red);
  for (std::size_t at = 54; at < file.size(); at += 4) {
    ASSERT_EQ(U32At(file, at), 0x00C00000u) << at;  // bytes 00 00 C0 00
  }
}

TEST(BitmapLayout, AnEnlargedScreenHasABlockOfItsColourForEveryPixel) {
  const ScreenBytes screen = testing::ColourfulScreen(7);
  const Picture picture = ScreenPicture(screen, kZxPaletteColours);
  std::vector<std::uint8_t> file = {1, 2, 3};  // bytes of an earlier file are replaced
  for (const int scale : {3, 1, 2}) {
    EncodeBitmap(picture.pixels, 256, 192, scale, file);
    const std::uint32_t width = 256u * scale, height = 192u * scale;
    ASSERT_EQ(file.size(), 54 + width * height * 4) << scale;
    EXPECT_EQ(U32At(file, 2), file.size());
    EXPECT_EQ(U32At(file, 18), width);
    EXPECT_EQ(U32At(file, 22), height);
    EXPECT_EQ(U32At(file, 34), width * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
      for (std::uint32_t x = 0; x < width; ++x) {
        const std::size_t at = 54 + ((height - 1 - y) * width + x) * 4;
        const testing::Rgb want = testing::OraclePixel(screen, x / scale, y / scale);
        ASSERT_EQ(U32At(file, at), std::uint32_t{want.b} | (want.g << 8) | (want.r << 16))
            << x << ", " << y << " at scale " << scale;
      }
    }
  }
}

TEST(BitmapParts, AreTheTwoHeadersThenThePixels) {
  const std::vector<std::uint8_t> file = DecodedBitmap(testing::ColourfulScreen(9));
  const auto parts = BitmapParts(file);
  EXPECT_EQ(parts[0].data(), file.data());
  EXPECT_EQ(parts[0].size(), 14u);
  EXPECT_EQ(parts[1].data(), file.data() + 14);
  EXPECT_EQ(parts[1].size(), 40u);
  EXPECT_EQ(parts[2].data(), file.data() + 54);
  EXPECT_EQ(parts[2].size(), kBitmapPixelBytes);
}

// A bitmap saved in its parts: a write that falls short, wherever in the file, or a failing
// close, and the half file goes.
TEST(BitmapSaveShortWrite, RaisesStreamWriteErrorAndRemovesTheFile) {
  const std::vector<std::uint8_t> bitmap = testing::BitmapOf(testing::WhitePicture());
  const auto parts = BitmapParts(bitmap);
  for (const std::size_t capacity :
       {std::size_t{0}, std::size_t{14}, std::size_t{60}, std::size_t{196661}}) {
    testing::FakeFileSystem files;
    files.faults.writeCapacity = capacity;
    try {
      SaveUnderFreeName(files, "", "a", kBitmapExtension, parts, false);
      FAIL() << "no error at capacity " << capacity;
    } catch (const Error& error) {
      EXPECT_EQ(error.Message(), "Stream write error");
    }
    EXPECT_TRUE(files.files.empty()) << capacity;
  }
  testing::FakeFileSystem files;
  files.faults.writeCloseFails = true;
  EXPECT_THROW(SaveUnderFreeName(files, "", "a", kBitmapExtension, parts, false), Error);
  EXPECT_TRUE(files.files.empty());
}

}  // namespace
}  // namespace orlaspin
