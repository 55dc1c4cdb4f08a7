#include "screens/multiartist.h"

#include <string_view>

#include "screens/attribute_picture.h"
#include "screens/file_header.h"
#include "screens/gigascreen.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "MGH";
constexpr std::size_t kVersionAt = 3;
constexpr std::size_t kCellHeightAt = 4;
constexpr std::size_t kPixelsAt = 256;
constexpr std::size_t kAttributesAt = kPixelsAt + 2 * kPixelBytes;
// Cells of one line: columns 8-23 have their own attribute a line, the outer ones one a cell.
constexpr std::size_t kInnerLineBytes = 16;
constexpr std::size_t kInnerBytes = kInnerLineBytes * kScreenHeight;
constexpr std::size_t kOuterBytes = 16 * (kScreenHeight / 8);

std::size_t AttributeBytes(int cellHeight) {
  return cellHeight == 1
             ? kInnerBytes + kOuterBytes
             : kAttributeRowBytes * static_cast<std::size_t>(kScreenHeight / cellHeight);
}

std::size_t FileSize(int cellHeight) { return kAttributesAt + 2 * AttributeBytes(cellHeight); }

// The attribute of pixel (x, y) of screen (0 or 1).
std::uint8_t AttributeAt(std::span<const std::uint8_t> bytes, int cellHeight, int screen, int x,
                         int y) {
  const auto column = static_cast<std::size_t>(x >> 3);
  if (cellHeight != 1) {
    const std::size_t table = kAttributesAt + screen * AttributeBytes(cellHeight);
    return bytes[table + static_cast<std::size_t>(y / cellHeight) * kAttributeRowBytes + column];
  }
  if (column >= 8 && column < 24) {
    const std::size_t inner = kAttributesAt + screen * kInnerBytes;
    return bytes[inner + static_cast<std::size_t>(y) * kInnerLineBytes + column - 8];
  }
  const std::size_t outer = kAttributesAt + 2 * kInnerBytes + screen * kOuterBytes;
  return bytes[outer + static_cast<std::size_t>(y >> 3) * 16 + (column < 8 ? column : column - 16)];
}

AttributePicture ScreenOf(std::span<const std::uint8_t> bytes, int screen) {
  const int cellHeight = bytes[kCellHeightAt];
  const std::size_t pixels = kPixelsAt + screen * kPixelBytes;
  return LaidOut(
      kScreenWidth, kScreenHeight,
      [&](int x, int y) { return InkBit(bytes, pixels + LineOffset(y), x); },
      [&](int x, int y) { return AttributeAt(bytes, cellHeight, screen, x, y); });
}

}  // namespace

std::string MultiArtistHeaderFault(std::span<const std::uint8_t> bytes) {
  const std::string no = "not a MultiArtist file: ";
  const std::string start =
      HeaderStartFault(bytes, "a MultiArtist file", kPixelsAt, kSignature, "\"MGH\"");
  if (!start.empty()) return start;
  if (bytes[kVersionAt] != 1) {
    return no + "its version is " + std::to_string(bytes[kVersionAt]) + ", not 1";
  }
  const int cellHeight = bytes[kCellHeightAt];
  if (cellHeight != 1 && cellHeight != 2 && cellHeight != 4 && cellHeight != 8) {
    return no + "its cells are " + std::to_string(cellHeight) + " lines high, not 1, 2, 4 or 8";
  }
  if (bytes.size() != FileSize(cellHeight)) {
    return no + "cells of " + std::to_string(cellHeight) + " lines make a file of " +
           std::to_string(FileSize(cellHeight)) + " bytes; it holds " +
           std::to_string(bytes.size());
  }
  return {};
}

ScreenPictures MultiArtistPictures(std::span<const std::uint8_t> bytes,
                                   const ScreenOptions& options) {
  return GigascreenFrames(ScreenOf(bytes, 0), ScreenOf(bytes, 1), options);
}

}  // namespace orlaspin
