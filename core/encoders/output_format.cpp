#include "encoders/output_format.h"

#include <algorithm>
#include <cctype>

#include "encoders/bitmap_file.h"
#include "encoders/png_file.h"

namespace orlaspin {

namespace {

void BitmapOf(const ScreenPictures& pictures, int scale, std::vector<std::uint8_t>& file) {
  const Picture& picture = pictures.frames.front();
  EncodeBitmap(picture.pixels, picture.width, picture.height, scale, file);
}

void PngOf(const ScreenPictures& pictures, int scale, std::vector<std::uint8_t>& file) {
  EncodePng(pictures.frames, DelaysOf(pictures), scale, file);
}

// The window writes a bitmap as its file header, its info header and its pixels.
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

const OutputFormatRow* OutputFormatOfPath(std::string_view path) {
  const auto endsIn = [path](std::string_view extension) {
    if (path.size() < extension.size()) return false;
    const std::string_view tail = path.substr(path.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char c, char lower) {
      return std::tolower(static_cast<unsigned char>(c)) == lower;
    });
  };
  const auto row = std::ranges::find_if(
      kRows, [&](const OutputFormatRow& candidate) { return endsIn(candidate.extension); });
  return row == std::end(kRows) ? nullptr : &*row;
}

}  // namespace orlaspin
