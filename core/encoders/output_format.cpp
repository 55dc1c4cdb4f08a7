#include "encoders/output_format.h"

#include <algorithm>

#include "encoders/bitmap_file.h"
#include "encoders/png_file.h"

namespace orlaspin {

namespace {

std::vector<std::uint8_t> BitmapOf(const ScreenPictures& pictures) {
  const Picture& picture = pictures.frames.front();
  return EncodeBitmap(picture.pixels, picture.width, picture.height);
}

std::vector<std::uint8_t> PngOf(const ScreenPictures& pictures) {
  return EncodePng(pictures.frames, DelaysOf(pictures));
}

// A bitmap goes out as its file header, its info header and its pixels, as the window writes it.
FileParts BitmapWrites(std::span<const std::uint8_t> file) {
  const auto parts = BitmapParts(file);
  return {parts.begin(), parts.end()};
}

FileParts OneWrite(std::span<const std::uint8_t> file) { return {file}; }

constexpr OutputFormatRow kRows[] = {
    {OutputFormat::Bmp, "bmp", kBitmapExtension, BitmapOf, BitmapWrites, false},
    {OutputFormat::Png, "png", kPngExtension, PngOf, OneWrite, true},
};

}  // namespace

std::span<const OutputFormatRow> OutputFormatRows() { return kRows; }

const OutputFormatRow& OutputFormatRowOf(OutputFormat format) {
  return kRows[static_cast<std::size_t>(format)];
}

const OutputFormatRow* FindOutputFormat(std::string_view name) {
  const auto row = std::ranges::find(kRows, name, &OutputFormatRow::name);
  return row == std::end(kRows) ? nullptr : &*row;
}

}  // namespace orlaspin
