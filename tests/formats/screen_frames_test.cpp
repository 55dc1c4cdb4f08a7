#include "screens/screen_frames.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "oracle.h"
#include "screens.h"

namespace orlaspin::testing {
namespace {

// The colour the Spectrum shows at (x, y) in the flash phase: where the cell's attribute has
// bit 7, ink and paper change places.
Rgb OracleFlashPixel(const ScreenBytes& screen, int x, int y) {
  const std::uint8_t attribute = screen[AttributeIndex(x / 8, y / 8)];
  const int base = (attribute & 0x40) ? 8 : 0;
  bool ink = PixelBit(screen, x, y);
  if (attribute & 0x80) ink = !ink;
  return kExpectedPalette[base + (ink ? attribute & 7 : (attribute >> 3) & 7)];
}

Rgb RgbOf(Colour colour) { return {RedOf(colour), GreenOf(colour), BlueOf(colour)}; }

// "" when picture is the screen enlarged scale times, pixel for pixel, else the first difference.
template <typename Oracle>
std::string DifferenceFromScaled(const Picture& picture, const ScreenBytes& screen, int scale,
                                 Oracle oracle) {
  if (picture.width != 256 * scale || picture.height != 192 * scale) return "wrong size";
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (RgbOf(picture.pixels[y * picture.width + x]) != oracle(screen, x / scale, y / scale)) {
        return "differs at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
      }
    }
  }
  return "";
}

TEST(ScaledPicture, EveryPixelBecomesABlockOfItsColour) {
  const ScreenBytes screen = ColourfulScreen(7);
  const Picture picture = ScreenPicture(screen, kZxPaletteColours);
  for (const int scale : {1, 2, 3, 8}) {
    EXPECT_EQ(DifferenceFromScaled(ScaledPicture(picture, scale), screen, scale, OraclePixel), "")
        << "scale " << scale;
  }
}

TEST(FlashPhase, SwapsInkAndPaperOfFlashingCellsOnly) {
  ScreenBytes screen{};
  screen[AttributeIndex(0, 0)] = 0xB9;    // flash, paper 7, ink 1
  screen[AttributeIndex(1, 0)] = 0x39;    // the same without flash
  screen[AttributeIndex(2, 0)] = 0xD6;    // flash and bright, paper 2, ink 6
  screen[AttributeIndex(31, 23)] = 0x80;  // flash, black on black
  const ScreenBytes phase = FlashPhase(screen);
  EXPECT_EQ(phase[AttributeIndex(0, 0)], 0x8F);  // paper 1, ink 7
  EXPECT_EQ(phase[AttributeIndex(1, 0)], 0x39);
  EXPECT_EQ(phase[AttributeIndex(2, 0)], 0xF2);  // paper 6, ink 2, bright and flash kept
  EXPECT_EQ(phase[AttributeIndex(31, 23)], 0x80);
  EXPECT_TRUE(std::equal(screen.begin(), screen.begin() + kPixelBytes, phase.begin()));
}

TEST(FlashPhase, ShowsEveryPixelAsTheFlashOracleSays) {
  for (const char* name : kRealScreenNames) {
    ScreenBytes screen = RealScreen(name);
    // Real screens seldom flash: set FLASH on a diagonal band of cells.
    for (int row = 0; row < 24; ++row) {
      for (int column = row; column < row + 6 && column < 32; ++column) {
        screen[AttributeIndex(column, row)] |= 0x80;
      }
    }
    EXPECT_EQ(DifferenceFromScaled(ScreenPicture(FlashPhase(screen), kZxPaletteColours), screen, 1,
                                   OracleFlashPixel),
              "")
        << name;
  }
}

TEST(ScreenFrames, TwoFramesOnlyWhenFlashIsAskedForAndPresent) {
  ScreenBytes plain = RealScreen("mojontwins_MK2__gfx_title.scr");
  EXPECT_FALSE(HasFlash(plain));
  EXPECT_EQ(ScreenFrames(plain, kZxPaletteColours, true).size(), 1u);

  ScreenBytes flashing = plain;
  flashing[AttributeIndex(31, 23)] |= 0x80;
  EXPECT_TRUE(HasFlash(flashing));
  EXPECT_EQ(ScreenFrames(flashing, kZxPaletteColours, false).size(), 1u);
  const auto frames = ScreenFrames(flashing, kZxPaletteColours, true);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(DifferenceFromScaled(frames[0], flashing, 1, OraclePixel), "");
  EXPECT_EQ(DifferenceFromScaled(frames[1], flashing, 1, OracleFlashPixel), "");
}

}  // namespace
}  // namespace orlaspin::testing
