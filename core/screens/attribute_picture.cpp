#include "screens/attribute_picture.h"

#include <algorithm>

namespace orlaspin {

namespace {

constexpr std::uint8_t kFlashBit = 0x80;

bool HasFlash(const AttributePicture& picture) {
  return std::any_of(picture.attributes.begin(), picture.attributes.end(),
                     [](std::uint8_t a) { return (a & kFlashBit) != 0; });
}

}  // namespace

AttributePicture InterleavedScreen(std::span<const std::uint8_t> bytes, std::size_t attributesAt,
                                   int linesPerRow) {
  return LaidOut(
      kScreenWidth, kScreenHeight, [&](int x, int y) { return InkBit(bytes, LineOffset(y), x); },
      [&](int x, int y) {
        return bytes[attributesAt + static_cast<std::size_t>(y / linesPerRow) * kAttributeRowBytes +
                     static_cast<std::size_t>(x >> 3)];
      });
}

AttributeColours PaletteColours(const Palette& palette, bool flashPhase) {
  AttributeColours colours{};
  for (int value = 0; value < 256; ++value) {
    const auto attribute = static_cast<std::uint8_t>(value);
    const bool swapped = flashPhase && (attribute & kFlashBit);
    colours[value] = {palette[ColourIndex(attribute, !swapped)],
                      palette[ColourIndex(attribute, swapped)]};
  }
  return colours;
}

Picture Paint(const AttributePicture& picture, const AttributeColours& colours) {
  Picture painted{picture.width, picture.height, std::vector<Colour>(picture.ink.size())};
  for (std::size_t i = 0; i < picture.ink.size(); ++i) {
    const InkPaper& cell = colours[picture.attributes[i]];
    painted.pixels[i] = picture.ink[i] ? cell.ink : cell.paper;
  }
  return painted;
}

ScreenPictures AttributeFrames(const AttributePicture& picture, const Palette& palette,
                               bool flash) {
  ScreenPictures pictures{{Paint(picture, PaletteColours(palette, false))}, 0};
  if (flash && HasFlash(picture)) {
    pictures.frames.push_back(Paint(picture, PaletteColours(palette, true)));
    pictures.frameMilliseconds = kFlashPhaseMilliseconds;
  }
  return pictures;
}

}  // namespace orlaspin
