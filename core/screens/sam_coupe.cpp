#include "screens/sam_coupe.h"

#include "screens/attribute_picture.h"
#include "screens/colour_levels.h"

namespace orlaspin {

namespace {

constexpr std::size_t kLineBytes = 128;
constexpr std::size_t kModeBytes = kLineBytes * kScreenHeight;
constexpr std::uint8_t kSevenBits = 0x7F;

// The 16 CLUT entries at clutAt (fewer when the file holds fewer).
std::array<Colour, 16> ClutAt(std::span<const std::uint8_t> bytes, std::size_t clutAt) {
  std::array<Colour, 16> clut{};
  for (std::size_t i = 0; i < clut.size() && clutAt + i < bytes.size(); ++i) {
    clut[i] = SamColour(bytes[clutAt + i]);
  }
  return clut;
}

// Ink and paper of each attribute: entries colour + 8 x bright; FLASH is not shown.
AttributeColours ClutColours(const std::array<Colour, 16>& clut) {
  AttributeColours colours{};
  for (unsigned attribute = 0; attribute < 256; ++attribute) {
    const auto a = static_cast<std::uint8_t>(attribute);
    colours[attribute] = {clut[ColourIndex(a, true)], clut[ColourIndex(a, false)]};
  }
  return colours;
}

// A width x (192 x lineCopies) picture of colourAt(x, line).
template <typename ColourAt>
ScreenPictures Drawn(int width, int lineCopies, ColourAt colourAt) {
  Picture picture{width, kScreenHeight * lineCopies, {}};
  picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < width; ++x) picture.pixels.push_back(colourAt(x, y / lineCopies));
  }
  return {{picture}, 0};
}

}  // namespace

Colour SamColour(std::uint8_t clut) {
  const unsigned bright = (clut >> 3) & 1;
  const auto level = [&](unsigned lowBit) {
    return Level3To8(4 * ((clut >> (lowBit + 4)) & 1) + 2 * ((clut >> lowBit) & 1) + bright);
  };
  return MakeColour(level(1), level(2), level(0));
}

ScreenPictures SamMode1Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  return {
      {Paint(InterleavedScreen(bytes, kPixelBytes, 8), ClutColours(ClutAt(bytes, kScreenBytes)))},
      0};
}

ScreenPictures SamMode2Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  const AttributePicture picture = LaidOut(
      kScreenWidth, kScreenHeight,
      [&](int x, int y) { return InkBit(bytes, static_cast<std::size_t>(y) * 32, x); },
      [&](int x, int y) {
        return bytes[kPixelBytes + static_cast<std::size_t>(y) * 32 +
                     static_cast<std::size_t>(x >> 3)];
      });
  return {{Paint(picture, ClutColours(ClutAt(bytes, 2 * kPixelBytes)))}, 0};
}

ScreenPictures SamMode3Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  const auto clut = ClutAt(bytes, kModeBytes);
  return Drawn(2 * kScreenWidth, 2, [&](int x, int y) {
    const std::uint8_t byte =
        bytes[static_cast<std::size_t>(y) * kLineBytes + static_cast<std::size_t>(x >> 2)];
    const unsigned pair = (byte >> (6 - 2 * (x & 3))) & 3;
    // The left bit of a pair is the entry's bit 0.
    return clut[((pair & 1) << 1) | (pair >> 1)];
  });
}

ScreenPictures SamMode4Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  const auto clut = ClutAt(bytes, kModeBytes);
  return Drawn(kScreenWidth, 1, [&](int x, int y) {
    const std::uint8_t byte =
        bytes[static_cast<std::size_t>(y) * kLineBytes + static_cast<std::size_t>(x >> 1)];
    return clut[(x & 1) ? byte & 15 : byte >> 4];
  });
}

ScreenPictures SamRawPictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  return Drawn(2 * kScreenWidth, 2, [&](int x, int y) {
    return SamColour(
        bytes[static_cast<std::size_t>(y) * 2 * kScreenWidth + static_cast<std::size_t>(x)] &
        kSevenBits);
  });
}

}  // namespace orlaspin
