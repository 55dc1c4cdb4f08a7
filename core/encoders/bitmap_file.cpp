#include "encoders/bitmap_file.h"

#include <algorithm>
#include <cstring>

#include "screens/screen_frames.h"

namespace orlaspin {

namespace {

std::uint8_t* PutU16LE(std::uint8_t* out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
  return out + 2;
}

std::uint8_t* PutU32LE(std::uint8_t* out, std::uint32_t value) {
  return PutU16LE(PutU16LE(out, static_cast<std::uint16_t>(value)),
                  static_cast<std::uint16_t>(value >> 16));
}

// A pixel as the file stores it, read as a little-endian word: blue, green, red, then 0.
constexpr std::uint32_t BitmapPixel(Colour colour) {
  return std::uint32_t{BlueOf(colour)} | (std::uint32_t{GreenOf(colour)} << 8) |
         (std::uint32_t{RedOf(colour)} << 16);
}

void PutHeaders(std::uint8_t* out, int width, int height, std::uint32_t pixelBytes) {
  // File header.
  *out++ = 'B';
  *out++ = 'M';
  out = PutU32LE(out, static_cast<std::uint32_t>(kBitmapHeadersSize) + pixelBytes);
  out = PutU16LE(out, 0);
  out = PutU16LE(out, 0);
  out = PutU32LE(out, kBitmapHeadersSize);

  // Info header.
  out = PutU32LE(out, 40);
  out = PutU32LE(out, static_cast<std::uint32_t>(width));
  out = PutU32LE(out, static_cast<std::uint32_t>(height));  // positive: rows stored bottom-up
  out = PutU16LE(out, 1);                                   // planes
  out = PutU16LE(out, 32);                                  // bits per pixel
  out = PutU32LE(out, 0);                                   // no compression
  out = PutU32LE(out, pixelBytes);
  out = PutU32LE(out, 0);  // horizontal resolution
  out = PutU32LE(out, 0);  // vertical resolution
  out = PutU32LE(out, 0);  // colours used
  PutU32LE(out, 0);        // important colours
}

}  // namespace

std::vector<std::uint8_t> EncodeBitmap(std::span<const Colour> pixels, int width, int height) {
  std::vector<std::uint8_t> file;
  EncodeBitmap(pixels, width, height, 1, file);
  return file;
}

void EncodeBitmap(std::span<const Colour> pixels, int width, int height, int scale,
                  std::vector<std::uint8_t>& file) {
  const std::size_t rowPixels = static_cast<std::size_t>(width) * scale;
  const std::size_t rowBytes = rowPixels * 4;
  const std::size_t rows = static_cast<std::size_t>(height) * scale;
  file.resize(kBitmapHeadersSize + rowBytes * rows);
  PutHeaders(file.data(), static_cast<int>(rowPixels), static_cast<int>(rows),
             static_cast<std::uint32_t>(rowBytes * rows));

  std::vector<std::uint32_t> row(rowPixels);
  std::uint8_t* out = file.data() + kBitmapHeadersSize;
  for (int y = height - 1; y >= 0; --y) {
    ScaleRow(pixels.subspan(static_cast<std::size_t>(y) * width, width), scale, row.data(),
             BitmapPixel);
    for (int copy = 0; copy < scale; ++copy, out += rowBytes) {
      std::memcpy(out, row.data(), rowBytes);
    }
  }
}

std::array<std::span<const std::uint8_t>, 3> BitmapParts(std::span<const std::uint8_t> bitmap) {
  return {bitmap.first(14), bitmap.subspan(14, 40), bitmap.subspan(kBitmapHeadersSize)};
}

}  // namespace orlaspin
