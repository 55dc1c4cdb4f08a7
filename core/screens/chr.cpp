#include "screens/chr.h"

#include <string>

#include "screens/attribute_picture.h"
#include "screens/gigascreen.h"

namespace orlaspin {

namespace {

constexpr std::size_t kHeaderBytes = 7;
constexpr std::size_t kMonochromeCell = 8;
constexpr std::size_t kColourCell = 9;
constexpr std::size_t kGigascreenCell = 18;
constexpr std::uint8_t kBrightWhiteOnBlack = 0x47;

std::string NotChr(const std::string& why) { return "not a chr$ file: " + why; }

bool HasSignature(std::span<const std::uint8_t> bytes) {
  constexpr char kSignature[] = "chr$";
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = static_cast<char>(bytes[i]);
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kSignature[i]) return false;
  }
  return true;
}

struct ChrHeader {
  int columns;
  int rows;
  std::size_t cellBytes;
};

ChrHeader HeaderOf(std::span<const std::uint8_t> bytes) { return {bytes[4], bytes[5], bytes[6]}; }

// The picture of the cells' part at offset within each cell (the second screen of a gigascreen
// at 9).
AttributePicture CellPicture(std::span<const std::uint8_t> bytes, const ChrHeader& header,
                             std::size_t offset) {
  const auto cellStart = [&](int x, int y) {
    const std::size_t cell =
        static_cast<std::size_t>(y >> 3) * header.columns + static_cast<std::size_t>(x >> 3);
    return kHeaderBytes + cell * header.cellBytes + offset;
  };
  return LaidOut(
      header.columns * 8, header.rows * 8,
      [&](int x, int y) { return (bytes[cellStart(x, y) + (y & 7)] >> (7 - (x & 7))) & 1; },
      [&](int x, int y) {
        return header.cellBytes == kMonochromeCell ? kBrightWhiteOnBlack
                                                   : bytes[cellStart(x, y) + 8];
      });
}

}  // namespace

std::string ChrHeaderFault(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderBytes) return NotChr("it is shorter than the 7-byte header");
  if (!HasSignature(bytes)) return NotChr("it does not begin with \"chr$\"");
  const ChrHeader header = HeaderOf(bytes);
  if (header.cellBytes != kMonochromeCell && header.cellBytes != kColourCell &&
      header.cellBytes != kGigascreenCell) {
    return NotChr("its cells are " + std::to_string(header.cellBytes) +
                  " bytes each, not 8, 9 or 18");
  }
  if (header.columns == 0 || header.rows == 0) return NotChr("it holds no character cells");
  const std::size_t cells = static_cast<std::size_t>(header.columns) * header.rows;
  const std::size_t expected = kHeaderBytes + cells * header.cellBytes;
  if (bytes.size() != expected) {
    return NotChr(std::to_string(header.columns) + " x " + std::to_string(header.rows) +
                  " cells of " + std::to_string(header.cellBytes) + " bytes make a file of " +
                  std::to_string(expected) + " bytes; it holds " + std::to_string(bytes.size()));
  }
  return {};
}

ScreenPictures ChrPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  const ChrHeader header = HeaderOf(bytes);
  if (header.cellBytes == kGigascreenCell) {
    return GigascreenFrames(CellPicture(bytes, header, 0), CellPicture(bytes, header, kColourCell),
                            options);
  }
  return AttributeFrames(CellPicture(bytes, header, 0), options.palette.colours, options.flash);
}

}  // namespace orlaspin
