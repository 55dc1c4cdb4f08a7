#include "screens/timex.h"

#include "screens/attribute_picture.h"
#include "screens/ulaplus.h"

namespace orlaspin {

namespace {

constexpr std::size_t kHiColourBytes = 2 * kPixelBytes;
constexpr std::size_t kHiResColourAt = 2 * kPixelBytes;

}  // namespace

ScreenPictures TimexHiColourPictures(std::span<const std::uint8_t> bytes,
                                     const ScreenOptions& options) {
  const AttributePicture picture = LaidOut(
      kScreenWidth, kScreenHeight, [&](int x, int y) { return InkBit(bytes, LineOffset(y), x); },
      [&](int x, int y) {
        return bytes[kPixelBytes + LineOffset(y) + static_cast<std::size_t>(x >> 3)];
      });
  if (bytes.size() < kHiColourBytes + kUlaPlusPaletteBytes) {
    return AttributeFrames(picture, options.palette.colours, options.flash);
  }
  const auto palette = UlaPlusPaletteOf(bytes.subspan<kHiColourBytes, kUlaPlusPaletteBytes>());
  return {{Paint(picture, UlaPlusColours(palette))}, 0};
}

AttributePicture TimexHiResPicture(std::span<const std::uint8_t> bytes) {
  const unsigned ink = (bytes[kHiResColourAt] >> 3) & 7;
  const auto brightInkOnPaper = static_cast<std::uint8_t>(0x40 | ((7 - ink) << 3) | ink);
  return LaidOut(
      2 * kScreenWidth, 2 * kScreenHeight,
      [&](int x, int y) {
        // Bit 3 of x picks the screen; the column within it is x / 16.
        const std::size_t screen = ((x >> 3) & 1) * kPixelBytes;
        return InkBit(bytes, screen + LineOffset(y / 2), ((x >> 4) << 3) | (x & 7));
      },
      [&](int, int) { return brightInkOnPaper; });
}

ScreenPictures TimexHiResPictures(std::span<const std::uint8_t> bytes,
                                  const ScreenOptions& options) {
  return AttributeFrames(TimexHiResPicture(bytes), options.palette.colours, false);
}

}  // namespace orlaspin
