#include "screens/next_layer2.h"

#include <vector>

#include "screens/next_palette.h"

namespace orlaspin {

namespace {

// The file's palette of count colours, else the one the options give or the Next's default.
std::vector<Colour> PaletteOf(std::span<const std::uint8_t> bytes, std::size_t count,
                              const ScreenOptions& options) {
  return NextColours(bytes, count, options.palette.next.value_or(DefaultNextPalette()));
}

// A width x height picture of the pixels' palette entries: indexAt(x, y), each line shown
// lineCopies times.
template <typename IndexAt>
ScreenPictures Indexed(int width, int height, int lineCopies, const std::vector<Colour>& palette,
                       IndexAt indexAt) {
  Picture picture{width, height * lineCopies, {}};
  picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < width; ++x) picture.pixels.push_back(palette[indexAt(x, y / lineCopies)]);
  }
  return {{picture}, 0};
}

ScreenPictures RowByRow(std::span<const std::uint8_t> pixels, const std::vector<Colour>& palette) {
  return Indexed(256, 192, 1, palette,
                 [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * 256 + x]; });
}

constexpr std::size_t kSmallPixels = 256 * 192;
constexpr std::size_t kLargePixels = 81920;

}  // namespace

ScreenPictures NxiPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  const std::size_t paletteBytes = bytes.size() - kSmallPixels;
  return RowByRow(bytes.subspan(paletteBytes), PaletteOf(bytes.first(paletteBytes), 256, options));
}

ScreenPictures Sl2Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  return RowByRow(bytes, PaletteOf(bytes.subspan(kSmallPixels), 256, options));
}

ScreenPictures Sl2WidePictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  return Indexed(320, 256, 1, PaletteOf(bytes.subspan(kLargePixels), 256, options),
                 [&](int x, int y) {
                   return bytes[static_cast<std::size_t>(x) * 256 + static_cast<std::size_t>(y)];
                 });
}

ScreenPictures SlrPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  return Indexed(256, 96, 2, PaletteOf({}, 256, options), [&](int x, int y) {
    return bytes[static_cast<std::size_t>(y) * 128 + static_cast<std::size_t>(x >> 1)];
  });
}

ScreenPictures Sl2HiResPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  return Indexed(640, 256, 2, PaletteOf(bytes.subspan(kLargePixels), 16, options),
                 [&](int x, int y) {
                   const std::uint8_t pair =
                       bytes[static_cast<std::size_t>(x >> 1) * 256 + static_cast<std::size_t>(y)];
                   return (x & 1) ? pair & 15 : pair >> 4;
                 });
}

}  // namespace orlaspin
