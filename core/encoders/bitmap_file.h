// A picture as a Windows bitmap file: 32 bits per pixel, bottom-up, uncompressed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "screens/screen.h"

namespace orlaspin {

inline constexpr std::string_view kBitmapExtension = ".bmp";
inline constexpr std::size_t kBitmapHeadersSize = 14 + 40;
inline constexpr std::size_t kBitmapPixelBytes = 256 * 192 * 4;
inline constexpr std::size_t kBitmapFileSize = kBitmapHeadersSize + kBitmapPixelBytes;  // 196,662

// The whole file for a picture of width x height pixels, given row by row from the top left: file
// header, info header, then the rows from the bottom one up.
std::vector<std::uint8_t> EncodeBitmap(std::span<const Colour> pixels, int width, int height);

// The same for the picture enlarged scale (1-8) times each way, into file, whose bytes it
// replaces (its storage is kept for the next file).
void EncodeBitmap(std::span<const Colour> pixels, int width, int height, int scale,
                  std::vector<std::uint8_t>& file);

// The file in the parts it is written in, one write each: the file header, the info header and
// the pixels.
std::array<std::span<const std::uint8_t>, 3> BitmapParts(std::span<const std::uint8_t> bitmap);

}  // namespace orlaspin
