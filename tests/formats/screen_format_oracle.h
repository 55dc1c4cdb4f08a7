// What every screen format shows, pixel by pixel, worked out from the formats' layouts alone:
// where a pixel's bit and its attribute sit in the file, and what colour that makes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "oracle.h"
#include "screens.h"
#include "screens/palettes.h"
#include "screens/screen_frames.h"

namespace orlaspin::testing {

using Bytes = std::vector<std::uint8_t>;
using RgbPalette = std::array<Rgb, 16>;

// zx-image's srgb colours: black, blue, red, magenta, green, cyan, yellow, white at CD, then
// bright at FF.
inline constexpr RgbPalette kSrgbColours = {{
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0xCD},
    {0xCD, 0x00, 0x00},
    {0xCD, 0x00, 0xCD},
    {0x00, 0xCD, 0x00},
    {0x00, 0xCD, 0xCD},
    {0xCD, 0xCD, 0x00},
    {0xCD, 0xCD, 0xCD},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0xFF},
    {0xFF, 0x00, 0x00},
    {0xFF, 0x00, 0xFF},
    {0x00, 0xFF, 0x00},
    {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0x00},
    {0xFF, 0xFF, 0xFF},
}};

// A palette for the decoders with these colours and no level table of its own.
ScreenPalette PaletteOf(const RgbPalette& colours);

// What a pixel shows: its ink bit and the attribute that colours it.
struct PixelCell {
  bool ink;
  std::uint8_t attribute;
};

bool BitOf(std::uint8_t byte, int x);  // pixel x's bit of its byte, the leftmost in bit 7
// The byte of pixel (x, y) in the standard screen's order, counted from the file's start.
std::size_t InterleavedByte(int x, int y);

PixelCell StandardCell(const Bytes& bytes, int x, int y, std::size_t base = 0);
PixelCell TimexHiColourCell(const Bytes& bytes, int x, int y);
PixelCell MltCell(const Bytes& bytes, int x, int y);
PixelCell McCell(const Bytes& bytes, int x, int y);
PixelCell IflCell(const Bytes& bytes, int x, int y);
PixelCell Mc4Cell(const Bytes& bytes, int x, int y);
PixelCell Bmc4Cell(const Bytes& bytes, int x, int y);
PixelCell AttributesOnlyCell(const Bytes& bytes, int x, int y);
PixelCell PixelsOnlyCell(const Bytes& bytes, int x, int y);

// The colour (0-15) a cell shows; in the flash phase a FLASH attribute swaps ink and paper.
int CellColour(PixelCell cell, bool flashPhase = false);

// The colour of a ULA+ palette byte GGGRRRBB by the ULAplus levels.
Rgb UlaPlusRgb(std::uint8_t grb);
// Table (FLASH, BRIGHT), ink 0-7 or paper 8-15, of the palette whose 64 bytes start at base.
Rgb UlaPlusCellColour(const Bytes& bytes, std::size_t base, PixelCell cell);

// The colour of a gigascreen pixel of colours a and b (0-15) by a level table zz, zn, nn, nb,
// bb, zb (each channel off, normal or bright on each screen), each channel then weighted.
struct LevelTable {
  std::uint8_t zz, zn, nn, nb, bb, zb;
  std::array<int, 3> weights = {255, 255, 255};
};
Rgb GigascreenRgb(const LevelTable& levels, int a, int b);

// The colour (0-7) of border pixel (x, y) of a border screen whose border bytes start at base.
int BorderColour(const Bytes& bytes, std::size_t base, int x, int y);

using ExpectedPixel = std::function<Rgb(int x, int y)>;
Rgb RgbOf(Colour colour);

// "" when picture is width x height and every pixel is expected(x, y), else the first
// difference.
std::string DifferenceFrom(const Picture& picture, int width, int height,
                           const ExpectedPixel& expected);

}  // namespace orlaspin::testing
