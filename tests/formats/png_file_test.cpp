#include "encoders/png_file.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "oracle.h"
#include "png_reader.h"
#include "screens.h"

namespace orlaspin::testing {
namespace {

Picture ScreenPicture(const ScreenBytes& screen, int scale) {
  return ScaledPicture(orlaspin::ScreenPicture(screen, kZxPaletteColours), scale);
}

std::vector<Rgb> OraclePixels(const ScreenBytes& screen, int scale) {
  std::vector<Rgb> pixels;
  for (int y = 0; y < 192 * scale; ++y) {
    for (int x = 0; x < 256 * scale; ++x)
      pixels.push_back(OraclePixel(screen, x / scale, y / scale));
  }
  return pixels;
}

// The first pixel where two pictures differ, or "".
std::string FirstPixelDifference(const std::vector<Rgb>& got, const std::vector<Rgb>& want) {
  if (got.size() != want.size()) return "sizes differ";
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got[i] != want[i]) return "pixel " + std::to_string(i) + " differs";
  }
  return "";
}

TEST(Png, AStillScreenIsAFourBitPaletteImageOfTheScreensPixels) {
  for (const char* name : kRealScreenNames) {
    const ScreenBytes screen = RealScreen(name);
    const Picture picture = ScreenPicture(screen, 1);
    const DecodedPng png = DecodePng(EncodePng(std::span(&picture, 1), 320));
    EXPECT_EQ(png.ChunkTypes(), (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"})) << name;
    EXPECT_EQ(png.width, 256u);
    EXPECT_EQ(png.height, 192u);
    EXPECT_EQ(png.colourType, 3);
    EXPECT_EQ(png.bitDepth, 4);
    EXPECT_LE(png.palette.size(), 16u);
    EXPECT_FALSE(png.animated);
    ASSERT_EQ(png.frames.size(), 1u);
    EXPECT_EQ(FirstPixelDifference(png.frames[0], OraclePixels(screen, 1)), "") << name;
  }
}

TEST(Png, ScaledPicturesKeepTheirPixels) {
  const ScreenBytes screen = ColourfulScreen(11);
  for (const int scale : {2, 3, 8}) {
    const Picture picture = ScreenPicture(screen, scale);
    const DecodedPng png = DecodePng(EncodePng(std::span(&picture, 1), 320));
    EXPECT_EQ(png.width, 256u * scale);
    EXPECT_EQ(png.height, 192u * scale);
    ASSERT_EQ(png.frames.size(), 1u);
    EXPECT_EQ(FirstPixelDifference(png.frames[0], OraclePixels(screen, scale)), "") << scale;
  }
}

TEST(Png, TwoFramesMakeALoopingAnimationOf320MillisecondFrames) {
  ScreenBytes screen = RealScreen("UzixLS_zx-midiplayer__title.scr");
  for (int column = 0; column < 32; column += 2) screen[AttributeIndex(column, 5)] |= 0x80;
  std::vector<Picture> frames = ScreenFrames(screen, kZxPaletteColours, true);
  ASSERT_EQ(frames.size(), 2u);
  for (Picture& frame : frames) frame = ScaledPicture(frame, 2);
  const DecodedPng png = DecodePng(EncodePng(frames, 320));

  EXPECT_EQ(png.ChunkTypes(), (std::vector<std::string>{"IHDR", "acTL", "PLTE", "fcTL", "IDAT",
                                                        "fcTL", "fdAT", "IEND"}));
  EXPECT_TRUE(png.animated);
  EXPECT_EQ(png.frameCount, 2u);
  EXPECT_EQ(png.plays, 0u);
  ASSERT_EQ(png.frameControls.size(), 2u);
  // One sequence over fcTL and fdAT: 0, then 1 and 2.
  EXPECT_EQ(png.frameControls[0].sequence, 0u);
  EXPECT_EQ(png.frameControls[1].sequence, 1u);
  EXPECT_EQ(png.dataSequences, (std::vector<std::uint32_t>{2}));
  for (const PngFrameControl& control : png.frameControls) {
    EXPECT_EQ(control.width, 512u);
    EXPECT_EQ(control.height, 384u);
    EXPECT_EQ(control.x, 0u);
    EXPECT_EQ(control.y, 0u);
    EXPECT_EQ(1000.0 * control.delayNumerator / control.delayDenominator, 320.0);
    EXPECT_EQ(control.dispose, 0);
    EXPECT_EQ(control.blend, 0);
  }
  ASSERT_EQ(png.frames.size(), 2u);
  EXPECT_EQ(FirstPixelDifference(png.frames[0], OraclePixels(screen, 2)), "");
  // The second frame is the first with the flashing cells' ink and paper swapped.
  std::vector<Rgb> want = OraclePixels(screen, 2);
  for (int y = 5 * 16; y < 6 * 16; ++y) {
    for (int x = 0; x < 512; ++x) {
      const int column = x / 16;
      if (column % 2 != 0) continue;
      const std::uint8_t a = screen[AttributeIndex(column, 5)];
      const int base = (a & 0x40) ? 8 : 0;
      const bool ink = PixelBit(screen, x / 2, y / 2);
      want[y * 512 + x] = kExpectedPalette[base + (ink ? (a >> 3) & 7 : a & 7)];
    }
  }
  EXPECT_EQ(FirstPixelDifference(png.frames[1], want), "");
}

TEST(Png, PicturesOfManyColoursAreStoredAsRgb) {
  // The last row repeats the one above, as the rows of a scaled picture do.
  Picture picture{17, 3, {}};
  for (int i = 0; i < 17 * 3; ++i) {
    const int j = i < 34 ? i : i - 17;
    picture.pixels.push_back(
        MakeColour(static_cast<std::uint8_t>(j * 5), 7, static_cast<std::uint8_t>(255 - j)));
  }
  const DecodedPng png = DecodePng(EncodePng(std::span(&picture, 1), 320));
  EXPECT_EQ(png.colourType, 2);
  EXPECT_EQ(png.bitDepth, 8);
  EXPECT_EQ(png.ChunkTypes(), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  ASSERT_EQ(png.frames.size(), 1u);
  ASSERT_EQ(png.frames[0].size(), 51u);
  for (int i = 0; i < 51; ++i) {
    const int j = i < 34 ? i : i - 17;
    EXPECT_EQ(png.frames[0][i],
              (Rgb{static_cast<std::uint8_t>(j * 5), 7, static_cast<std::uint8_t>(255 - j)}));
  }
}

TEST(Png, AnOddWidthFillsTheLastByteOfEachRow) {
  // 3 x 2 pixels of 3 colours: each row is a filter byte and two bytes, the last half empty.
  const Colour red = MakeColour(200, 0, 0), green = MakeColour(0, 200, 0),
               blue = MakeColour(0, 0, 200);
  const Picture picture{3, 2, {red, green, blue, blue, red, red}};
  const DecodedPng png = DecodePng(EncodePng(std::span(&picture, 1), 320));
  EXPECT_EQ(png.bitDepth, 4);
  ASSERT_EQ(png.frames.size(), 1u);
  const Rgb r{200, 0, 0}, g{0, 200, 0}, b{0, 0, 200};
  EXPECT_EQ(png.frames[0], (std::vector<Rgb>{r, g, b, b, r, r}));
}

TEST(Png, SixteenColoursStillFitThePaletteAndSeventeenDoNot) {
  Picture sixteen{16, 1, {}};
  for (int i = 0; i < 16; ++i)
    sixteen.pixels.push_back(MakeColour(static_cast<std::uint8_t>(i), 0, 0));
  EXPECT_EQ(DecodePng(EncodePng(std::span(&sixteen, 1), 320)).colourType, 3);
  Picture seventeen = sixteen;
  seventeen.width = 17;
  seventeen.pixels.push_back(MakeColour(99, 0, 0));
  EXPECT_EQ(DecodePng(EncodePng(std::span(&seventeen, 1), 320)).colourType, 2);
}

}  // namespace
}  // namespace orlaspin::testing
