#include "oracle.h"

#include "encoders/bitmap_file.h"
#include "screens.h"

namespace orlaspin::testing {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, static_cast<std::uint16_t>(value));
  Put16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

Rgb OraclePixel(const ScreenBytes& screen, int x, int y) {
  const std::uint8_t attribute = screen[AttributeIndex(x / 8, y / 8)];
  const int bright = (attribute & 0x40) ? 8 : 0;
  const int colour = PixelBit(screen, x, y) ? (attribute & 7) : ((attribute >> 3) & 7);
  return kExpectedPalette[colour + bright];
}

std::string DifferenceFromOracle(const Picture& picture, const ScreenBytes& screen) {
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      const std::uint32_t want = ColourValue(OraclePixel(screen, x, y));
      const std::uint32_t got = picture.pixels[y * picture.width + x];
      if (got != want) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
               std::to_string(got) + ", expected " + std::to_string(want);
      }
    }
  }
  return {};
}

Picture WhitePicture() { return {256, 192, std::vector<Colour>(256 * 192, kWhite)}; }

std::vector<std::uint8_t> BitmapOf(const Picture& picture) {
  return EncodeBitmap(picture.pixels, picture.width, picture.height);
}

std::vector<std::uint8_t> OracleBitmapFile(const ScreenBytes& screen) {
  std::vector<std::uint8_t> file = {'B', 'M'};
  Put32(file, 196662);
  Put16(file, 0);   // reserved
  Put16(file, 0);   // reserved
  Put32(file, 54);  // pixel offset
  Put32(file, 40);
  Put32(file, 256);
  Put32(file, 192);
  Put16(file, 1);   // planes
  Put16(file, 32);  // bits per pixel
  Put32(file, 0);   // uncompressed
  Put32(file, 196608);
  for (int i = 0; i < 4; ++i) Put32(file, 0);  // resolutions, colours used, important colours
  for (int y = 191; y >= 0; --y) {
    for (int x = 0; x < 256; ++x) {
      const Rgb c = OraclePixel(screen, x, y);
      file.insert(file.end(), {c.b, c.g, c.r, 0});
    }
  }
  return file;
}

std::string FirstDifference(std::span<const std::uint8_t> got, std::span<const std::uint8_t> want) {
  if (got.size() != want.size()) {
    return "size " + std::to_string(got.size()) + ", expected " + std::to_string(want.size());
  }
  for (std::size_t i = 0; i < got.size(); ++i) {
    if (got[i] != want[i]) {
      return "byte " + std::to_string(i) + " is " + std::to_string(got[i]) + ", expected " +
             std::to_string(want[i]);
    }
  }
  return {};
}

}  // namespace orlaspin::testing
