#include "screen_format_oracle.h"

#include <sstream>

namespace orlaspin::testing {

ScreenPalette PaletteOf(const RgbPalette& colours) {
  ScreenPalette palette{"test", {}, std::nullopt};
  for (std::size_t i = 0; i < colours.size(); ++i) palette.colours[i] = ColourValue(colours[i]);
  return palette;
}

bool BitOf(std::uint8_t byte, int x) { return (byte & (0x80 >> (x % 8))) != 0; }

std::size_t InterleavedByte(int x, int y) {
  const int third = y / 64;
  const int characterRow = (y / 8) % 8;
  const int lineInCell = y % 8;
  return static_cast<std::size_t>(third * 2048 + lineInCell * 256 + characterRow * 32 + x / 8);
}

PixelCell StandardCell(const Bytes& bytes, int x, int y, std::size_t base) {
  return {BitOf(bytes[base + InterleavedByte(x, y)], x),
          bytes[base + 6144 + static_cast<std::size_t>((y / 8) * 32 + x / 8)]};
}

PixelCell TimexHiColourCell(const Bytes& bytes, int x, int y) {
  return {BitOf(bytes[InterleavedByte(x, y)], x), bytes[6144 + InterleavedByte(x, y)]};
}

PixelCell MltCell(const Bytes& bytes, int x, int y) {
  return {BitOf(bytes[InterleavedByte(x, y)], x),
          bytes[6144 + static_cast<std::size_t>(y * 32 + x / 8)]};
}

PixelCell McCell(const Bytes& bytes, int x, int y) {
  const auto at = static_cast<std::size_t>(y * 32 + x / 8);
  return {BitOf(bytes[at], x), bytes[6144 + at]};
}

PixelCell IflCell(const Bytes& bytes, int x, int y) {
  return {BitOf(bytes[InterleavedByte(x, y)], x),
          bytes[6144 + static_cast<std::size_t>((y / 2) * 32 + x / 8)]};
}

PixelCell Mc4Cell(const Bytes& bytes, int x, int y) {
  return {BitOf(bytes[InterleavedByte(x, y)], x),
          bytes[6144 + static_cast<std::size_t>((y / 4) * 32 + x / 8)]};
}

PixelCell Bmc4Cell(const Bytes& bytes, int x, int y) {
  const std::size_t table = y % 8 < 4 ? 6144 : 6144 + 768;
  return {BitOf(bytes[InterleavedByte(x, y)], x),
          bytes[table + static_cast<std::size_t>((y / 8) * 32 + x / 8)]};
}

PixelCell AttributesOnlyCell(const Bytes& bytes, int x, int y) {
  return {(x + y) % 2 == 1, bytes[static_cast<std::size_t>((y / 8) * 32 + x / 8)]};
}

PixelCell PixelsOnlyCell(const Bytes& bytes, int x, int y) {
  return {BitOf(bytes[InterleavedByte(x, y)], x), 0x47};
}

int CellColour(PixelCell cell, bool flashPhase) {
  const bool flashing = flashPhase && (cell.attribute & 0x80);
  const bool ink = cell.ink != flashing;
  const int bright = (cell.attribute & 0x40) ? 8 : 0;
  return bright + (ink ? cell.attribute & 7 : (cell.attribute >> 3) & 7);
}

Rgb UlaPlusRgb(std::uint8_t grb) {
  static constexpr std::uint8_t kThreeBits[8] = {0x00, 0x24, 0x49, 0x6D, 0x92, 0xB6, 0xDB, 0xFF};
  static constexpr std::uint8_t kTwoBits[4] = {0x00, 0x6D, 0xB6, 0xFF};
  return {kThreeBits[(grb / 4) % 8], kThreeBits[grb / 32], kTwoBits[grb % 4]};
}

Rgb UlaPlusCellColour(const Bytes& bytes, std::size_t base, PixelCell cell) {
  const int flash = (cell.attribute & 0x80) ? 1 : 0;
  const int bright = (cell.attribute & 0x40) ? 1 : 0;
  const int entry = cell.ink ? cell.attribute % 8 : 8 + (cell.attribute / 8) % 8;
  return UlaPlusRgb(bytes[base + static_cast<std::size_t>((flash * 2 + bright) * 16 + entry)]);
}

Rgb GigascreenRgb(const LevelTable& levels, int a, int b) {
  // 0 off, 1 normal, 2 bright; the table is symmetric.
  const auto level = [](int colour, int bit) {
    if ((colour & bit) == 0) return 0;
    return colour >= 8 ? 2 : 1;
  };
  const std::uint8_t byPair[3][3] = {{levels.zz, levels.zn, levels.zb},
                                     {levels.zn, levels.nn, levels.nb},
                                     {levels.zb, levels.nb, levels.bb}};
  const int bits[3] = {2, 4, 1};  // red, green, blue of a colour number
  std::uint8_t rgb[3];
  for (int c = 0; c < 3; ++c) {
    const int value = byPair[level(a, bits[c])][level(b, bits[c])];
    rgb[c] = static_cast<std::uint8_t>((value * levels.weights[c] * 2 + 255) / 510);
  }
  return {rgb[0], rgb[1], rgb[2]};
}

int BorderColour(const Bytes& bytes, std::size_t base, int x, int y) {
  std::size_t at;
  if (y < 64) {
    at = base + static_cast<std::size_t>(y * 24 + x / 16);
  } else if (y < 256) {
    const int column = x < 64 ? x / 16 : 4 + (x - 320) / 16;
    at = base + 1536 + static_cast<std::size_t>((y - 64) * 8 + column);
  } else {
    at = base + 3072 + static_cast<std::size_t>((y - 256) * 24 + x / 16);
  }
  return x % 16 < 8 ? bytes[at] & 7 : (bytes[at] >> 3) & 7;
}

Rgb RgbOf(Colour colour) { return {RedOf(colour), GreenOf(colour), BlueOf(colour)}; }

std::string DifferenceFrom(const Picture& picture, int width, int height,
                           const ExpectedPixel& expected) {
  std::ostringstream difference;
  if (picture.width != width || picture.height != height) {
    difference << "the picture is " << picture.width << " x " << picture.height << ", not " << width
               << " x " << height;
    return difference.str();
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb got = RgbOf(picture.pixels[static_cast<std::size_t>(y) * width + x]);
      const Rgb want = expected(x, y);
      if (got != want) {
        difference << "(" << x << ", " << y << ") is " << int{got.r} << "," << int{got.g} << ","
                   << int{got.b} << ", not " << int{want.r} << "," << int{want.g} << ","
                   << int{want.b};
        return difference.str();
      }
    }
  }
  return "";
}

}  // namespace orlaspin::testing
