#include "screens/palettes.h"

#include <algorithm>
#include <cmath>

namespace orlaspin {

namespace {

constexpr Colour Hex(std::uint32_t rrggbb) {
  return MakeColour(static_cast<std::uint8_t>(rrggbb >> 16), static_cast<std::uint8_t>(rrggbb >> 8),
                    static_cast<std::uint8_t>(rrggbb));
}

// Black, blue, red, magenta, green, cyan, yellow, white: normal, then bright.
constexpr Palette Colours(const std::uint32_t (&rrggbb)[16]) {
  Palette palette{};
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = Hex(rrggbb[i]);
  return palette;
}

const std::array<ScreenPalette, 7>& Table() {
  static const std::array<ScreenPalette, 7> table = {{
      {"orlaspin", kZxPaletteColours, std::nullopt},
      {"fuse",
       Colours({0x000000, 0x0000C0, 0xC00000, 0xC000C0, 0x00C000, 0x00C0C0, 0xC0C000, 0xC0C0C0,
                0x000000, 0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}),
       std::nullopt},
      {"srgb",
       Colours({0x000000, 0x0000CD, 0xCD0000, 0xCD00CD, 0x00CD00, 0x00CDCD, 0xCDCD00, 0xCDCDCD,
                0x000000, 0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}),
       GigascreenLevels{0x00, 0x96, 0xCD, 0xE8, 0xFF, 0xBC}},
      {"pulsar",
       Colours({0x000000, 0x0000CD, 0xCD0000, 0xCD00CD, 0x00CD00, 0x00CDCD, 0xCDCD00, 0xCDCDCD,
                0x000000, 0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}),
       GigascreenLevels{0x00, 0x76, 0xCD, 0xE9, 0xFF, 0x9F}},
      {"alone",
       Colours({0x000000, 0x0000A0, 0xA00000, 0xA000A0, 0x00A000, 0x00A0A0, 0xA0A000, 0xA0A0A0,
                0x000000, 0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}),
       GigascreenLevels{0x00, 0x60, 0xA0, 0xE0, 0xFF, 0xA0}},
      {"orthodox",
       Colours({0x000000, 0x0000CD, 0xA70000, 0xA700CD, 0x00B700, 0x00B7CD, 0xA7B700, 0xA7B7CD,
                0x000000, 0x0000FF, 0xD00000, 0xD000FF, 0x00E400, 0x00E4FF, 0xD0E400, 0xD0E4FF}),
       GigascreenLevels{0x00, 0x76, 0xCD, 0xE9, 0xFF, 0x9F, {0xD0, 0xE4, 0xFF}}},
      {"skoolkit",
       Colours({0x000000, 0x0000C5, 0xC50000, 0xC500C5, 0x00C600, 0x00C6C5, 0xC5C600, 0xCDC6CD,
                0x000000, 0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}),
       std::nullopt},
  }};
  return table;
}

enum class Level { Zero, Normal, Bright };

// A colour index's bits: 0 blue, 1 red, 2 green, 3 bright.
constexpr int kChannelBits[3] = {1, 2, 0};  // red, green, blue

Level LevelOf(int index, int channel) {
  if (((index >> kChannelBits[channel]) & 1) == 0) return Level::Zero;
  return (index & 8) ? Level::Bright : Level::Normal;
}

std::uint8_t LevelPairValue(const GigascreenLevels& levels, Level a, Level b) {
  const std::uint8_t byPair[3][3] = {{levels.zz, levels.zn, levels.zb},
                                     {levels.zn, levels.nn, levels.nb},
                                     {levels.zb, levels.nb, levels.bb}};
  return byPair[static_cast<int>(a)][static_cast<int>(b)];
}

std::uint8_t ByLevels(const GigascreenLevels& levels, int a, int b, int channel) {
  const int value = LevelPairValue(levels, LevelOf(a, channel), LevelOf(b, channel));
  return static_cast<std::uint8_t>(std::lround(value * levels.weights[channel] / 255.0));
}

double ToLinear(std::uint8_t value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

std::uint8_t FromLinear(double light) {
  const double c = light <= 0.0031308 ? light * 12.92 : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
  return static_cast<std::uint8_t>(std::lround(c * 255));
}

std::uint8_t LinearMean(std::uint8_t a, std::uint8_t b) {
  return FromLinear((ToLinear(a) + ToLinear(b)) / 2);
}

std::uint8_t Channel(Colour colour, int channel) {
  return static_cast<std::uint8_t>(colour >> (8 * channel));
}

}  // namespace

std::span<const ScreenPalette> NamedPalettes() { return Table(); }

const ScreenPalette& DefaultPalette() { return Table().front(); }

const ScreenPalette* FindPalette(std::string_view name) {
  const auto& table = Table();
  const auto found = std::find_if(table.begin(), table.end(),
                                  [name](const ScreenPalette& p) { return p.name == name; });
  return found == table.end() ? nullptr : &*found;
}

GigascreenColours MixedColours(const ScreenPalette& palette) {
  GigascreenColours mixed{};
  for (int a = 0; a < 16; ++a) {
    for (int b = 0; b < 16; ++b) {
      std::uint8_t rgb[3];
      for (int channel = 0; channel < 3; ++channel) {
        rgb[channel] = palette.gigascreen ? ByLevels(*palette.gigascreen, a, b, channel)
                                          : LinearMean(Channel(palette.colours[a], channel),
                                                       Channel(palette.colours[b], channel));
      }
      mixed[a * 16 + b] = MakeColour(rgb[0], rgb[1], rgb[2]);
    }
  }
  return mixed;
}

}  // namespace orlaspin
