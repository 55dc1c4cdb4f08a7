#include "screens/gigascreen.h"

namespace orlaspin {

namespace {

Picture Blended(const AttributePicture& first, const AttributePicture& second,
                const ScreenPalette& palette) {
  const GigascreenColours mixed = MixedColours(palette);
  Picture blended{first.width, first.height, std::vector<Colour>(first.ink.size())};
  for (std::size_t i = 0; i < first.ink.size(); ++i) {
    const int a = ColourIndex(first.attributes[i], first.ink[i] != 0);
    const int b = ColourIndex(second.attributes[i], second.ink[i] != 0);
    blended.pixels[i] = mixed[a * 16 + b];
  }
  return blended;
}

}  // namespace

ScreenPictures GigascreenFrames(const AttributePicture& first, const AttributePicture& second,
                                const ScreenOptions& options) {
  if (options.gigascreen == GigascreenView::Blend) {
    return {{Blended(first, second, options.palette)}, 0};
  }
  const AttributeColours colours = PaletteColours(options.palette.colours, false);
  return {{Paint(first, colours), Paint(second, colours)}, kFlickerFrameMilliseconds};
}

ScreenPictures GigascreenPictures(std::span<const std::uint8_t> bytes,
                                  const ScreenOptions& options) {
  return GigascreenFrames(InterleavedScreen(bytes, kPixelBytes, 8),
                          InterleavedScreen(bytes.subspan(kScreenBytes), kPixelBytes, 8), options);
}

}  // namespace orlaspin
