#include "png_reader.h"

#include <zlib.h>

#include <cstdlib>
#include <stdexcept>

namespace orlaspin::testing {

namespace {

std::uint32_t U32BE(std::span<const std::uint8_t> bytes, std::size_t at) {
  return (std::uint32_t{bytes[at]} << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) |
         bytes[at + 3];
}

std::uint16_t U16BE(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void Require(bool condition, const std::string& what) {
  if (!condition) throw std::runtime_error(what);
}

std::vector<PngChunk> ReadChunks(std::span<const std::uint8_t> file) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Require(
      file.size() >= 8 && std::equal(std::begin(kSignature), std::end(kSignature), file.begin()),
      "no PNG signature");
  std::vector<PngChunk> chunks;
  std::size_t at = 8;
  while (at < file.size()) {
    Require(at + 12 <= file.size(), "chunk header cut short");
    const std::uint32_t length = U32BE(file, at);
    Require(at + 12 + length <= file.size(), "chunk data cut short");
    const auto typeAndData = file.subspan(at + 4, 4 + length);
    const std::uint32_t crc = U32BE(file, at + 8 + length);
    Require(crc == crc32(0, typeAndData.data(), static_cast<uInt>(typeAndData.size())),
            "bad CRC in chunk " + std::string(typeAndData.begin(), typeAndData.begin() + 4));
    chunks.push_back({std::string(typeAndData.begin(), typeAndData.begin() + 4),
                      std::vector<std::uint8_t>(typeAndData.begin() + 4, typeAndData.end())});
    at += 12 + length;
  }
  Require(!chunks.empty() && chunks.back().type == "IEND", "no IEND at the end");
  return chunks;
}

std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& packed, std::size_t size) {
  std::vector<std::uint8_t> raw(size + 1);
  uLongf got = static_cast<uLongf>(raw.size());
  Require(uncompress(raw.data(), &got, packed.data(), static_cast<uLong>(packed.size())) == Z_OK,
          "the image data does not inflate");
  Require(got == size, "inflated " + std::to_string(got) + " bytes, want " + std::to_string(size));
  raw.resize(size);
  return raw;
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

std::vector<Rgb> DecodeFrame(const DecodedPng& png, const std::vector<std::uint8_t>& packed,
                             std::uint32_t width, std::uint32_t height) {
  const std::size_t bitsPerPixel = png.colourType == 2 ? 3 * png.bitDepth : png.bitDepth;
  const std::size_t stride = (width * bitsPerPixel + 7) / 8;
  const std::size_t bpp = std::max<std::size_t>(1, bitsPerPixel / 8);
  const std::vector<std::uint8_t> raw = Inflate(packed, (stride + 1) * height);

  std::vector<std::uint8_t> previous(stride, 0), line(stride);
  std::vector<Rgb> pixels;
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t filter = raw[y * (stride + 1)];
    Require(filter <= 4, "unknown filter type");
    for (std::size_t i = 0; i < stride; ++i) {
      const int x = raw[y * (stride + 1) + 1 + i];
      const int a = i >= bpp ? line[i - bpp] : 0;
      const int b = previous[i];
      const int c = i >= bpp ? previous[i - bpp] : 0;
      const int predictors[] = {0, a, b, (a + b) / 2, Paeth(a, b, c)};
      line[i] = static_cast<std::uint8_t>(x + predictors[filter]);
    }
    for (std::uint32_t x = 0; x < width; ++x) {
      if (png.colourType == 2) {
        pixels.push_back({line[3 * x], line[3 * x + 1], line[3 * x + 2]});
        continue;
      }
      const std::size_t bit = x * png.bitDepth;
      const unsigned index =
          (line[bit / 8] >> (8 - png.bitDepth - bit % 8)) & ((1u << png.bitDepth) - 1);
      Require(index < png.palette.size(), "palette index out of range");
      pixels.push_back(png.palette[index]);
    }
    previous = line;
  }
  return pixels;
}

}  // namespace

std::vector<std::string> DecodedPng::ChunkTypes() const {
  std::vector<std::string> types;
  for (const PngChunk& chunk : chunks) types.push_back(chunk.type);
  return types;
}

DecodedPng DecodePng(std::span<const std::uint8_t> file) {
  DecodedPng png;
  png.chunks = ReadChunks(file);
  Require(png.chunks.front().type == "IHDR" && png.chunks.front().data.size() == 13,
          "IHDR is not first");
  const auto& header = png.chunks.front().data;
  png.width = U32BE(header, 0);
  png.height = U32BE(header, 4);
  png.bitDepth = header[8];
  png.colourType = header[9];
  Require(header[10] == 0 && header[11] == 0 && header[12] == 0, "odd compression or interlace");
  Require((png.colourType == 2 && png.bitDepth == 8) ||
              (png.colourType == 3 && (png.bitDepth == 4 || png.bitDepth == 8)),
          "a colour type and depth this reader does not know");

  std::vector<std::uint8_t> imageData, frameData;
  bool seenImageData = false;
  for (const PngChunk& chunk : png.chunks) {
    const auto& data = chunk.data;
    if (chunk.type == "PLTE") {
      Require(!seenImageData && data.size() % 3 == 0, "bad PLTE");
      for (std::size_t i = 0; i < data.size(); i += 3)
        png.palette.push_back({data[i], data[i + 1], data[i + 2]});
    } else if (chunk.type == "acTL") {
      Require(!seenImageData && data.size() == 8, "acTL after the image data or of a bad size");
      png.animated = true;
      png.frameCount = U32BE(data, 0);
      png.plays = U32BE(data, 4);
    } else if (chunk.type == "fcTL") {
      Require(data.size() == 26, "bad fcTL");
      png.frameControls.push_back({U32BE(data, 0), U32BE(data, 4), U32BE(data, 8), U32BE(data, 12),
                                   U32BE(data, 16), U16BE(data, 20), U16BE(data, 22), data[24],
                                   data[25]});
      if (!frameData.empty()) {
        png.frames.push_back(DecodeFrame(png, frameData, png.width, png.height));
        frameData.clear();
      }
    } else if (chunk.type == "IDAT") {
      seenImageData = true;
      imageData.insert(imageData.end(), data.begin(), data.end());
    } else if (chunk.type == "fdAT") {
      Require(seenImageData && data.size() > 4, "fdAT before IDAT");
      png.dataSequences.push_back(U32BE(data, 0));
      frameData.insert(frameData.end(), data.begin() + 4, data.end());
    }
  }
  Require(seenImageData, "no IDAT");
  Require(png.colourType != 3 || !png.palette.empty(), "a palette image without PLTE");
  png.frames.insert(png.frames.begin(), DecodeFrame(png, imageData, png.width, png.height));
  if (!frameData.empty()) png.frames.push_back(DecodeFrame(png, frameData, png.width, png.height));
  return png;
}

}  // namespace orlaspin::testing
