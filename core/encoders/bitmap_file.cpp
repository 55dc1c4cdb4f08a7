#include "encoders/bitmap_file.h"

namespace orlaspin {

namespace {

void PutU16LE(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32LE(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16LE(out, static_cast<std::uint16_t>(value));
  PutU16LE(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

std::vector<std::uint8_t> EncodeBitmap(std::span<const Colour> pixels, int width, int height) {
  const auto pixelBytes = static_cast<std::uint32_t>(pixels.size() * 4);
  std::vector<std::uint8_t> file;
  file.reserve(kBitmapHeadersSize + pixelBytes);

  // File header.
  file.push_back('B');
  file.push_back('M');
  PutU32LE(file, static_cast<std::uint32_t>(kBitmapHeadersSize) + pixelBytes);
  PutU16LE(file, 0);
  PutU16LE(file, 0);
  PutU32LE(file, kBitmapHeadersSize);

  // Info header.
  PutU32LE(file, 40);
  PutU32LE(file, static_cast<std::uint32_t>(width));
  PutU32LE(file, static_cast<std::uint32_t>(height));  // positive: rows stored bottom-up
  PutU16LE(file, 1);                                   // planes
  PutU16LE(file, 32);                                  // bits per pixel
  PutU32LE(file, 0);                                   // no compression
  PutU32LE(file, pixelBytes);
  PutU32LE(file, 0);  // horizontal resolution
  PutU32LE(file, 0);  // vertical resolution
  PutU32LE(file, 0);  // colours used
  PutU32LE(file, 0);  // important colours

  for (int y = height - 1; y >= 0; --y) {
    for (const Colour colour : pixels.subspan(static_cast<std::size_t>(y) * width, width)) {
      file.insert(file.end(), {BlueOf(colour), GreenOf(colour), RedOf(colour), 0});
    }
  }
  return file;
}

std::array<std::span<const std::uint8_t>, 3> BitmapParts(std::span<const std::uint8_t> bitmap) {
  return {bitmap.first(14), bitmap.subspan(14, 40), bitmap.subspan(kBitmapHeadersSize)};
}

}  // namespace orlaspin
