// Pictures coloured the Spectrum's way, whatever a file's layout: every pixel shows the ink or the
// paper of the attribute byte that colours it. The decoders of the screen formats lay their bytes
// out as such a picture and paint it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "screens/screen.h"
#include "screens/screen_frames.h"

namespace orlaspin {

inline constexpr std::size_t kAttributeRowBytes = 32;

struct AttributePicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> ink;         // per pixel, row by row: 1 ink, 0 paper
  std::vector<std::uint8_t> attributes;  // per pixel: the attribute that colours it
};

// A picture whose pixel (x, y) shows ink when inkAt(x, y) is true, in the colours of the
// attribute attributeAt(x, y).
template <typename InkAt, typename AttributeAt>
AttributePicture LaidOut(int width, int height, InkAt inkAt, AttributeAt attributeAt) {
  const std::size_t count = static_cast<std::size_t>(width) * height;
  AttributePicture picture{width, height, std::vector<std::uint8_t>(count),
                           std::vector<std::uint8_t>(count)};
  std::size_t i = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x, ++i) {
      picture.ink[i] = inkAt(x, y) ? 1 : 0;
      picture.attributes[i] = attributeAt(x, y);
    }
  }
  return picture;
}

// Where the standard screen keeps pixel line y (0-191): bits 6-7 pick the third (2048 bytes
// each), bits 0-2 the line in the character cell (256 bytes apart), bits 3-5 the character row
// (32 bytes apart).
constexpr std::size_t LineOffset(int y) {
  return static_cast<std::size_t>(((y & 0xC0) << 5) | ((y & 7) << 8) | ((y & 0x38) << 2));
}

// True when pixel x of the line of pixel bytes starting at lineStart is ink (the leftmost pixel
// of a byte in its bit 7).
inline bool InkBit(std::span<const std::uint8_t> bytes, std::size_t lineStart, int x) {
  return (bytes[lineStart + static_cast<std::size_t>(x >> 3)] >> (7 - (x & 7))) & 1;
}

// The 256 x 192 pixels of the standard screen at the start of bytes, coloured by rows of 32
// attributes from attributesAt on, one row for every linesPerRow pixel lines: 8 in the standard
// screen, 4, 2 or 1 in multicolour screens.
AttributePicture InterleavedScreen(std::span<const std::uint8_t> bytes, std::size_t attributesAt,
                                   int linesPerRow);

// The colour (0-15) an attribute gives its ink or its paper: bits 0-2 the ink, 3-5 the paper,
// bit 6 adds 8 (bright).
constexpr std::uint8_t ColourIndex(std::uint8_t attribute, bool ink) {
  const int colour = ink ? attribute & 7 : (attribute >> 3) & 7;
  return static_cast<std::uint8_t>(colour + ((attribute & 0x40) ? 8 : 0));
}

struct InkPaper {
  Colour ink;
  Colour paper;
};
// The ink and paper of every attribute byte.
using AttributeColours = std::array<InkPaper, 256>;

// Each attribute's colours in the palette; in the flash phase the cells with FLASH (bit 7) swap
// their ink and paper.
AttributeColours PaletteColours(const Palette& palette, bool flashPhase);

Picture Paint(const AttributePicture& picture, const AttributeColours& colours);

// One picture, or with flash and a FLASH attribute present, both phases of the flash for
// kFlashPhaseMilliseconds each.
ScreenPictures AttributeFrames(const AttributePicture& picture, const Palette& palette, bool flash);

}  // namespace orlaspin
