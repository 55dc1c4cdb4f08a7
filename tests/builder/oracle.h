// What a decoded screen and its bitmap file must be, worked out from the layouts alone: the
// colour table as the program's documentation lists it, pixel by pixel, byte by byte.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "screens/screen.h"
#include "screens/screen_frames.h"

namespace orlaspin::testing {

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

// Normal colours 0-7, then their bright forms.
inline constexpr std::array<Rgb, 16> kExpectedPalette = {{
    {0, 0, 0},
    {0, 0, 192},
    {192, 0, 0},
    {192, 0, 192},
    {0, 180, 0},
    {0, 192, 192},
    {192, 192, 0},
    {192, 192, 192},
    {0, 0, 0},
    {0, 0, 232},
    {232, 0, 0},
    {232, 0, 232},
    {0, 212, 0},
    {0, 236, 232},
    {216, 220, 0},
    {232, 236, 232},
}};

// The platform's 32-bit form: red in the lowest byte, then green, then blue.
constexpr std::uint32_t ColourValue(Rgb c) {
  return std::uint32_t{c.r} | (std::uint32_t{c.g} << 8) | (std::uint32_t{c.b} << 16);
}

// The colour of pixel (x, y): ink where its bit is set, paper where not, bright from bit 6.
Rgb OraclePixel(const ScreenBytes& screen, int x, int y);

// "" when a 256 x 192 picture shows screen exactly, else where and how it first differs.
std::string DifferenceFromOracle(const Picture& picture, const ScreenBytes& screen);

// A 256 x 192 picture all white, and the bitmap file of a picture.
Picture WhitePicture();
std::vector<std::uint8_t> BitmapOf(const Picture& picture);

// The 196,662 bytes of the screen's bitmap file.
std::vector<std::uint8_t> OracleBitmapFile(const ScreenBytes& screen);

// "" when the two byte strings are equal, else the first differing offset or the sizes.
std::string FirstDifference(std::span<const std::uint8_t> got, std::span<const std::uint8_t> want);

}  // namespace orlaspin::testing
