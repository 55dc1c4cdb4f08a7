#include "screens/border_screen.h"

#include <algorithm>

#include "screens/attribute_picture.h"

namespace orlaspin {

namespace {

constexpr int kCanvasWidth = 384;
constexpr int kCanvasHeight = 304;
constexpr int kScreenLeft = 64;
constexpr int kScreenTop = 64;
constexpr int kScreenBottom = kScreenTop + kScreenHeight;
constexpr std::size_t kFullLineBytes = kCanvasWidth / 16;
constexpr std::size_t kSideLineBytes = 2 * kScreenLeft / 16;
constexpr std::size_t kAttributeTableBytes = 768;

// inner placed at (left, top) of a width x height picture whose other pixels are borderAt(x, y).
template <typename BorderAt>
Picture Framed(const Picture& inner, int left, int top, int width, int height, BorderAt borderAt) {
  Picture framed{width, height, std::vector<Colour>(static_cast<std::size_t>(width) * height)};
  auto out = framed.pixels.begin();
  const auto borderRun = [&](int y, int from, int to) {
    for (int x = from; x < to; ++x) *out++ = borderAt(x, y);
  };
  for (int y = 0; y < height; ++y) {
    if (y < top || y >= top + inner.height) {
      borderRun(y, 0, width);
      continue;
    }
    borderRun(y, 0, left);
    const auto row = inner.pixels.begin() + static_cast<std::ptrdiff_t>(y - top) * inner.width;
    out = std::copy(row, row + inner.width, out);
    borderRun(y, left + inner.width, width);
  }
  return framed;
}

// The colour (0-7) of border pixel (x, y) of the 384 x 304 picture.
std::uint8_t BorderColour(std::span<const std::uint8_t> border, int x, int y) {
  std::size_t at;
  if (y < kScreenTop) {
    at = static_cast<std::size_t>(y) * kFullLineBytes + static_cast<std::size_t>(x >> 4);
  } else if (y < kScreenBottom) {
    const int column = x < kScreenLeft ? x >> 4 : 4 + ((x - kScreenLeft - kScreenWidth) >> 4);
    at = kScreenTop * kFullLineBytes + static_cast<std::size_t>(y - kScreenTop) * kSideLineBytes +
         static_cast<std::size_t>(column);
  } else {
    at = kScreenTop * kFullLineBytes + kScreenHeight * kSideLineBytes +
         static_cast<std::size_t>(y - kScreenBottom) * kFullLineBytes +
         static_cast<std::size_t>(x >> 4);
  }
  return (x & 8) ? (border[at] >> 3) & 7 : border[at] & 7;
}

ScreenPictures InBorder(ScreenPictures screen, std::span<const std::uint8_t> border,
                        const Palette& palette) {
  for (Picture& frame : screen.frames) {
    frame = Framed(frame, kScreenLeft, kScreenTop, kCanvasWidth, kCanvasHeight,
                   [&](int x, int y) { return palette[BorderColour(border, x, y)]; });
  }
  return screen;
}

}  // namespace

Picture Bordered(const Picture& picture, Colour colour) {
  const int left = picture.width / 8;
  const int top = picture.height / 8;
  return Framed(picture, left, top, picture.width + 2 * left, picture.height + 2 * top,
                [colour](int, int) { return colour; });
}

ScreenPictures BorderScreenPictures(std::span<const std::uint8_t> bytes,
                                    const ScreenOptions& options) {
  const Palette& palette = options.palette.colours;
  return InBorder(AttributeFrames(InterleavedScreen(bytes, kPixelBytes, 8), palette, options.flash),
                  bytes.subspan(kScreenBytes), palette);
}

ScreenPictures BorderMulticolourPictures(std::span<const std::uint8_t> bytes,
                                         const ScreenOptions& options) {
  const AttributePicture picture = LaidOut(
      kScreenWidth, kScreenHeight, [&](int x, int y) { return InkBit(bytes, LineOffset(y), x); },
      [&](int x, int y) {
        const std::size_t table = (y & 4) ? kAttributeTableBytes : 0;
        return bytes[kPixelBytes + table + static_cast<std::size_t>(y >> 3) * kAttributeRowBytes +
                     static_cast<std::size_t>(x >> 3)];
      });
  const Palette& palette = options.palette.colours;
  return InBorder(AttributeFrames(picture, palette, options.flash),
                  bytes.subspan(kPixelBytes + 2 * kAttributeTableBytes), palette);
}

}  // namespace orlaspin
