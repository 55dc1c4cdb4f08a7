#include "screens/ulaplus.h"

#include "screens/colour_levels.h"

namespace orlaspin {

Colour UlaPlusColour(std::uint8_t grb) {
  return MakeColour(Level3To8((grb >> 2) & 7), Level3To8(grb >> 5),
                    Level3To8(BlueOf2Bits(grb & 3)));
}

UlaPlusPalette UlaPlusPaletteOf(std::span<const std::uint8_t, kUlaPlusPaletteBytes> bytes) {
  UlaPlusPalette palette{};
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = UlaPlusColour(bytes[i]);
  return palette;
}

AttributeColours UlaPlusColours(const UlaPlusPalette& palette) {
  AttributeColours colours{};
  for (unsigned attribute = 0; attribute < 256; ++attribute) {
    const unsigned table = (attribute >> 6) * 16;
    colours[attribute] = {palette[table + (attribute & 7)],
                          palette[table + 8 + ((attribute >> 3) & 7)]};
  }
  return colours;
}

ScreenPictures UlaPlusPictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  const auto palette = UlaPlusPaletteOf(bytes.subspan<kScreenBytes, kUlaPlusPaletteBytes>());
  return {{Paint(InterleavedScreen(bytes, kPixelBytes, 8), UlaPlusColours(palette))}, 0};
}

}  // namespace orlaspin
