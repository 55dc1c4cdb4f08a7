#include "screens/zx_evolution_sxg.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "screens/file_header.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "\x7FSXG";
constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kPackingAt = 6;
constexpr std::size_t kColoursAt = 7;
constexpr std::uint8_t kSixteenColours = 1;
constexpr std::uint8_t kTwoHundredFiftySixColours = 2;
constexpr std::size_t kLargestSide = 4096;

struct SxgLayout {
  std::size_t width;
  std::size_t height;
  bool sixteenColours;
  std::size_t paletteAt;
  std::size_t pixelsAt;
  std::size_t pixelBytes;
};

SxgLayout LayoutOf(std::span<const std::uint8_t> bytes) {
  SxgLayout layout{
      WordAt(bytes, 8),       WordAt(bytes, 10),      bytes[kColoursAt] == kSixteenColours,
      14 + WordAt(bytes, 12), 16 + WordAt(bytes, 14), 0};
  layout.pixelBytes = layout.width * layout.height / (layout.sixteenColours ? 2 : 1);
  return layout;
}

std::uint8_t Level24To8(unsigned level) {
  return static_cast<std::uint8_t>(std::min(255u, level * 255 / 24));
}

Colour SxgColour(unsigned word) {
  const unsigned r = (word >> 10) & 31;
  const unsigned g = (word >> 5) & 31;
  const unsigned b = word & 31;
  if (word & 0x8000) return MakeColour(r * 8, g * 8, b * 8);
  return MakeColour(Level24To8(r), Level24To8(g), Level24To8(b));
}

}  // namespace

std::string SxgHeaderFault(std::span<const std::uint8_t> bytes) {
  const std::string no = "not an .sxg picture: ";
  const std::string start =
      HeaderStartFault(bytes, "an .sxg picture", kHeaderBytes, kSignature, "7F \"SXG\"");
  if (!start.empty()) return start;
  if (bytes[kPackingAt] != 0) {
    return no + "it is packed (" + std::to_string(bytes[kPackingAt]) + "), not 0";
  }
  if (bytes[kColoursAt] != kSixteenColours && bytes[kColoursAt] != kTwoHundredFiftySixColours) {
    return no + "its colour type is " + std::to_string(bytes[kColoursAt]) + ", not 1 or 2";
  }
  const SxgLayout layout = LayoutOf(bytes);
  if (layout.width == 0 || layout.height == 0 || layout.width > kLargestSide ||
      layout.height > kLargestSide || (layout.sixteenColours && layout.width % 2 != 0)) {
    return no + "it is " + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
           " pixels, not 1 to 4096 each way (an even width for 16 colours)";
  }
  if (layout.pixelsAt < layout.paletteAt || bytes.size() != layout.pixelsAt + layout.pixelBytes) {
    return no + std::to_string(layout.width) + " x " + std::to_string(layout.height) +
           " pixels from offset " + std::to_string(layout.pixelsAt) + " make a file of " +
           std::to_string(layout.pixelsAt + layout.pixelBytes) + " bytes; it holds " +
           std::to_string(bytes.size());
  }
  return {};
}

ScreenPictures SxgPictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  const SxgLayout layout = LayoutOf(bytes);
  std::vector<Colour> palette(256, kBlack);
  const std::size_t entries = std::min<std::size_t>(256, (layout.pixelsAt - layout.paletteAt) / 2);
  for (std::size_t i = 0; i < entries; ++i) {
    palette[i] = SxgColour(WordAt(bytes, layout.paletteAt + 2 * i));
  }
  Picture picture{static_cast<int>(layout.width), static_cast<int>(layout.height), {}};
  picture.pixels.reserve(layout.width * layout.height);
  const std::span<const std::uint8_t> pixels = bytes.subspan(layout.pixelsAt);
  for (std::size_t i = 0; i < layout.width * layout.height; ++i) {
    const std::uint8_t index =
        layout.sixteenColours ? (i % 2 == 0 ? pixels[i / 2] >> 4 : pixels[i / 2] & 15) : pixels[i];
    picture.pixels.push_back(palette[index]);
  }
  return {{picture}, 0};
}

}  // namespace orlaspin
