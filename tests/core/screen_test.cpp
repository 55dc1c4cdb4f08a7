#include "screens/screen.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "oracle.h"
#include "screens.h"
#include "test_files.h"

namespace orlaspin {
namespace {

using testing::ColourValue;
using testing::Rgb;

Picture Decoded(const ScreenBytes& screen) { return ScreenPicture(screen, kZxPaletteColours); }

Rgb RgbAt(const Picture& raster, int x, int y) {
  const Colour c = raster.pixels[y * raster.width + x];
  return {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
          static_cast<std::uint8_t>(c >> 16)};
}

// Counts the pixels of the cell at (column, row) that have colour c.
int CellPixelsOf(const Picture& raster, int column, int row, Rgb c) {
  int count = 0;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) count += RgbAt(raster, column * 8 + x, row * 8 + y) == c;
  }
  return count;
}

TEST(TestBit, GivesTheBitAsZeroOrOne) {
  EXPECT_EQ(TestBit(0x80, 7), 1);
  EXPECT_EQ(TestBit(0x80, 6), 0);
  EXPECT_EQ(TestBit(0x01, 0), 1);
  EXPECT_EQ(TestBit(0xFE, 0), 0);
  EXPECT_EQ(TestBit(0x10, 4), 1);
}

TEST(Palette, HoldsTheProgramsNonUniformLevelsRedInTheLowestByte) {
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(kZxPaletteColours[i], ColourValue(testing::kExpectedPalette[i])) << i;
  EXPECT_EQ(kZxPaletteColours[2], 0x0000C0u);   // red
  EXPECT_EQ(kZxPaletteColours[12], 0x00D400u);  // bright green, 212
  EXPECT_EQ(kZxPaletteColours[14], 0x00DCD8u);  // bright yellow, 216 220 0
}

// Where the documentation says byte k lands: (k, line, first x).
struct Placement {
  std::size_t k;
  int y;
  int x;
};

TEST(Interleave, PutsEachPixelByteOnItsLine) {
  const Placement placements[] = {{0, 0, 0},        {31, 0, 248},    {32, 8, 0},
                                  {256, 1, 0},      {2047, 63, 248}, {2048, 64, 0},
                                  {4095, 127, 248}, {4096, 128, 0},  {6143, 191, 248},
                                  {1000, 59, 64},   {5000, 163, 64}};
  for (const Placement& p : placements) {
    ScreenBytes screen{};
    screen[p.k] = 0x81;  // the leftmost and rightmost pixel of the byte
    std::fill(screen.begin() + kPixelBytes, screen.end(),
              std::uint8_t{0x07});  // white ink, black paper
    const Picture raster = Decoded(screen);
    std::set<std::pair<int, int>> ink;
    for (int y = 0; y < 192; ++y) {
      for (int x = 0; x < 256; ++x) {
        if (raster.pixels[y * raster.width + x] != kZxPaletteColours[0]) ink.insert({x, y});
      }
    }
    EXPECT_EQ(ink, (std::set<std::pair<int, int>>{{p.x, p.y}, {p.x + 7, p.y}})) << "k = " << p.k;
  }
}

TEST(Attributes, ColourTheirCellWithInkAndPaper) {
  ScreenBytes screen{};
  screen[0] = 0x80;
  screen[kPixelBytes] = 0x38;  // paper white, ink black
  const Picture raster = Decoded(screen);
  EXPECT_EQ(RgbAt(raster, 0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(CellPixelsOf(raster, 0, 0, {192, 192, 192}), 63);
}

TEST(Attributes, FlashIsIgnored) {
  ScreenBytes plain = testing::ColourfulScreen(7);
  ScreenBytes flashing = plain;
  for (std::size_t i = kPixelBytes; i < kScreenBytes; ++i) {
    plain[i] &= 0x7F;
    flashing[i] |= 0x80;
  }
  plain[kPixelBytes] = 0x38;
  flashing[kPixelBytes] = 0xB8;
  const Picture a = Decoded(plain);
  const Picture b = Decoded(flashing);
  EXPECT_EQ(a.pixels, b.pixels);
}

TEST(Attributes, BrightTakesBothColoursFromTheBrightHalf) {
  struct Case {
    std::uint8_t attribute;
    Rgb ink;
    Rgb paper;
  };
  const Case cases[] = {{0x47, {232, 236, 232}, {0, 0, 0}},   {0x44, {0, 212, 0}, {0, 0, 0}},
                        {0x04, {0, 180, 0}, {0, 0, 0}},       {0x00, {0, 0, 0}, {0, 0, 0}},
                        {0x6D, {0, 236, 232}, {0, 236, 232}}, {0x71, {0, 0, 232}, {216, 220, 0}},
                        {0x13, {192, 0, 192}, {192, 0, 0}}};
  for (const Case& c : cases) {
    ScreenBytes screen{};
    // Column 5, row 7 of the cells: a pattern with ink and paper on every line.
    for (int y = 56; y < 64; ++y) {
      for (int x = 40; x < 48; ++x) testing::SetPixelBit(screen, x, y, (x + y) % 3 == 0);
    }
    screen[testing::AttributeIndex(5, 7)] = c.attribute;
    const Picture raster = Decoded(screen);
    for (int y = 56; y < 64; ++y) {
      for (int x = 40; x < 48; ++x) {
        EXPECT_EQ(RgbAt(raster, x, y), (x + y) % 3 == 0 ? c.ink : c.paper)
            << "attribute " << int{c.attribute} << " at " << x << ", " << y;
      }
    }
  }
}

TEST(DecodeScreen, AllInkInRedOnWhiteIsWhollyRed) {
  ScreenBytes screen{};
  std::fill(screen.begin(), screen.begin() + kPixelBytes, std::uint8_t{0xFF});
  std::fill(screen.begin() + kPixelBytes, screen.end(), std::uint8_t{0x3A});
  const Picture raster = Decoded(screen);
  for (const Colour c : raster.pixels) ASSERT_EQ(c, 0x0000C0u);
}

TEST(DecodeScreen, MatchesTheOracleOnColourfulScreens) {
  for (std::uint32_t seed : {1u, 2u, 3u, 1234567u}) {
    const ScreenBytes screen = testing::ColourfulScreen(seed);
    EXPECT_EQ(testing::DifferenceFromOracle(Decoded(screen), screen), "") << "seed " << seed;
  }
}

TEST(DecodeScreen, MatchesTheOracleOnRealScreens) {
  for (const char* name :
       {"nzeemin_desolate__loading.scr", "mojontwins_MK2__gfx_title.scr",
        "salvakantero_RedPlanet_ZX__gfx_loading.scr", "UzixLS_zx-midiplayer__title.scr"}) {
    const auto bytes = testing::ReadFileBytes(std::string(ORLASPIN_TESTDATA) + "/scr/" + name);
    ASSERT_EQ(bytes.size(), kScreenBytes) << name;
    ScreenBytes screen;
    std::copy(bytes.begin(), bytes.end(), screen.begin());
    EXPECT_EQ(testing::DifferenceFromOracle(Decoded(screen), screen), "") << name;
  }
}

}  // namespace
}  // namespace orlaspin
