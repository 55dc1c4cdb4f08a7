// The preview raster as a Windows bitmap file: 32 bits per pixel, bottom-up, uncompressed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "screens/screen.h"

namespace orlaspin {

class FileSystem;

inline constexpr std::size_t kBitmapHeadersSize = 14 + 40;
inline constexpr std::size_t kBitmapPixelBytes = 256 * 192 * 4;
inline constexpr std::size_t kBitmapFileSize = kBitmapHeadersSize + kBitmapPixelBytes;  // 196,662

// The whole file: file header, info header, then the rows from the bottom one up.
std::vector<std::uint8_t> EncodeBitmap(const PreviewRaster& raster);

// The same layout for a picture of any size: width x height pixels, row by row from the top left.
std::vector<std::uint8_t> EncodeBitmap(std::span<const Colour> pixels, int width, int height);

enum class SaveResult { Written, NameTaken, NoPicture };

// Writes the raster to a new file at path, which gets its name only once complete (WriteNewFile).
// Does nothing when raster is null (no screen decoded yet). Writes nothing when a file of that
// name already exists. Raises the file-creation error when the file cannot be made, and
// "Stream write error" when a write falls short, removing the incomplete file.
SaveResult SaveBitmapFile(const PreviewRaster* raster, FileSystem& files, const std::string& path);

}  // namespace orlaspin
