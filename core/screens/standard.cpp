#include "screens/standard.h"

#include <algorithm>

#include "screens/attribute_picture.h"

namespace orlaspin {

namespace {

// Ink 7 and paper 0, bright.
constexpr std::uint8_t kBrightWhiteOnBlack = 0x47;

}  // namespace

ScreenPictures StandardPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  ScreenBytes screen;
  std::copy_n(bytes.begin(), kScreenBytes, screen.begin());
  ScreenPictures pictures{ScreenFrames(screen, options.palette.colours, options.flash), 0};
  if (pictures.frames.size() > 1) pictures.frameMilliseconds = kFlashPhaseMilliseconds;
  return pictures;
}

ScreenPictures PixelsOnlyPictures(std::span<const std::uint8_t> bytes,
                                  const ScreenOptions& options) {
  ScreenBytes screen;
  std::copy_n(bytes.begin(), kPixelBytes, screen.begin());
  std::fill(screen.begin() + kPixelBytes, screen.end(), kBrightWhiteOnBlack);
  return StandardPictures(screen, options);
}

ScreenPictures AttributesOnlyPictures(std::span<const std::uint8_t> bytes,
                                      const ScreenOptions& options) {
  const AttributePicture picture = LaidOut(
      kScreenWidth, kScreenHeight, [](int x, int y) { return ((x + y) & 1) != 0; },
      [&](int x, int y) {
        return bytes[static_cast<std::size_t>(y >> 3) * kAttributeRowBytes +
                     static_cast<std::size_t>(x >> 3)];
      });
  return AttributeFrames(picture, options.palette.colours, options.flash);
}

}  // namespace orlaspin
