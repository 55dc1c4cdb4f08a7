#include "screens/screen.h"

#include <cstring>

namespace orlaspin {

void DecodeScreen(const ScreenBytes& screen, const Palette& palette, std::span<Colour> picture) {
  Colour* const pixels = picture.data();
  for (std::size_t cell = 0; cell < kScreenBytes - kPixelBytes; ++cell) {
    const std::uint8_t attribute = screen[kPixelBytes + cell];
    const unsigned bright = (attribute & 0x40) ? 8 : 0;
    const Colour ink = palette[(attribute & 7) + bright];
    const Colour paper = palette[((attribute >> 3) & 7) + bright];
    // Two pixels at a time, chosen by two bits (the left one the higher): half the stores.
    const Colour pairs[4][2] = {{paper, paper}, {paper, ink}, {ink, paper}, {ink, ink}};

    // The cell's first pixel byte: bits 0-4 the column, 5-7 the character row within the third,
    // 11-12 the third; each further line of the cell is 256 bytes on.
    const std::size_t column = cell & 31;
    const std::size_t row = cell >> 5;
    const std::size_t first = ((row >> 3) << 11) | ((row & 7) << 5) | column;
    for (std::size_t line = 0; line < 8; ++line) {
      const std::uint8_t bits = screen[first + (line << 8)];
      Colour* out = pixels + (row * 8 + line) * kScreenWidth + column * 8;
      for (const std::uint8_t left : {7, 5, 3, 1}) {
        const int pair = TestBit(bits, left) * 2 + TestBit(bits, left - 1);
        std::memcpy(out, pairs[pair], sizeof pairs[pair]);
        out += 2;
      }
    }
  }
}

}  // namespace orlaspin
