// Drawing Spectrum screens in code: pixels by (x, y) and attributes by cell, placed by the
// screen's layout, and asymmetric colourful screens that show any swap or shift at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::testing {

// The byte holding pixel (x, y): y's bits 6-7 pick the third, bits 0-2 the line within the
// character cell (256 bytes apart) and bits 3-5 the character row (32 bytes apart).
constexpr std::size_t PixelByteIndex(int x, int y) {
  return static_cast<std::size_t>(((y >> 6) << 11) | ((y & 7) << 8) | (((y >> 3) & 7) << 5) |
                                  (x >> 3));
}

constexpr std::size_t AttributeIndex(int column, int row) {
  return kPixelBytes + static_cast<std::size_t>(row * 32 + column);
}

inline bool PixelBit(const ScreenBytes& screen, int x, int y) {
  return (screen[PixelByteIndex(x, y)] >> (7 - (x & 7))) & 1;
}

inline void SetPixelBit(ScreenBytes& screen, int x, int y, bool ink) {
  const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
  std::uint8_t& byte = screen[PixelByteIndex(x, y)];
  byte = static_cast<std::uint8_t>(ink ? (byte | mask) : (byte & ~mask));
}

// size bytes of a pseudo-random sequence: the same for the same seed, different for others.
std::vector<std::uint8_t> PseudoRandomBytes(std::uint32_t seed, std::size_t size);

// Every byte, pixels and attributes (bright and flash included), from a pseudo-random sequence.
ScreenBytes ColourfulScreen(std::uint32_t seed);

}  // namespace orlaspin::testing
