#include "screens/multicolour.h"

#include "screens/attribute_picture.h"

namespace orlaspin {

ScreenPictures InterleavedMulticolourPictures(std::span<const std::uint8_t> bytes, int linesPerRow,
                                              const ScreenOptions& options) {
  return AttributeFrames(InterleavedScreen(bytes, kPixelBytes, linesPerRow),
                         options.palette.colours, options.flash);
}

ScreenPictures LinearMulticolourPictures(std::span<const std::uint8_t> bytes,
                                         const ScreenOptions& options) {
  const auto lineStart = [](int y) { return static_cast<std::size_t>(y) * kAttributeRowBytes; };
  const AttributePicture picture = LaidOut(
      kScreenWidth, kScreenHeight, [&](int x, int y) { return InkBit(bytes, lineStart(y), x); },
      [&](int x, int y) {
        return bytes[kPixelBytes + lineStart(y) + static_cast<std::size_t>(x >> 3)];
      });
  return AttributeFrames(picture, options.palette.colours, options.flash);
}

}  // namespace orlaspin
