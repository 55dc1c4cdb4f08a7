// The ZX Spectrum screen: 6144 bytes of interleaved pixels, then 768 attribute bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace orlaspin {

inline constexpr std::size_t kScreenBytes = 6912;
inline constexpr std::size_t kPixelBytes = 6144;

using ScreenBytes = std::array<std::uint8_t, kScreenBytes>;

// A colour as the platform stores it: red in the lowest byte, then green, then blue, top byte 0.
using Colour = std::uint32_t;
constexpr Colour MakeColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return Colour{r} | (Colour{g} << 8) | (Colour{b} << 16);
}
constexpr std::uint8_t RedOf(Colour c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(Colour c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(Colour c) { return static_cast<std::uint8_t>(c >> 16); }

inline constexpr Colour kWhite = MakeColour(255, 255, 255);
inline constexpr Colour kBlack = MakeColour(0, 0, 0);

// 0-7 the normal colours, 8-15 their bright forms.
using Palette = std::array<Colour, 16>;

// The program's colours; the levels are deliberately not uniform.
inline constexpr Palette kZxPaletteColours = {
    MakeColour(0, 0, 0),       MakeColour(0, 0, 192),     MakeColour(192, 0, 0),
    MakeColour(192, 0, 192),   MakeColour(0, 180, 0),     MakeColour(0, 192, 192),
    MakeColour(192, 192, 0),   MakeColour(192, 192, 192), MakeColour(0, 0, 0),
    MakeColour(0, 0, 232),     MakeColour(232, 0, 0),     MakeColour(232, 0, 232),
    MakeColour(0, 212, 0),     MakeColour(0, 236, 232),   MakeColour(216, 220, 0),
    MakeColour(232, 236, 232),
};

// 1 when bit n (0-7) of value is set, else 0.
constexpr std::uint8_t TestBit(std::uint8_t value, std::uint8_t n) { return (value >> n) & 1u; }

inline constexpr int kScreenWidth = 256;
inline constexpr int kScreenHeight = 192;

// Paints a screen into pixels, kScreenWidth x kScreenHeight of them row by row from the top left,
// in the palette's colours: ink where a pixel bit is 1, paper where it is 0, bright from bit 6 of
// the attribute; flash (bit 7) is ignored.
void DecodeScreen(const ScreenBytes& screen, const Palette& palette, std::span<Colour> pixels);

// The same into 256 x 192 pixels, row by row from the top left.
void DecodeScreen(const ScreenBytes& screen, const Palette& palette, std::span<Colour> pixels);

}  // namespace orlaspin
