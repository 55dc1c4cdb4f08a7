// The colour sets a screen can be shown in: ours and those of the tools Spectrum people know,
// chosen by name, with the way each mixes the two screens of a gigascreen picture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "screens/next_palette.h"
#include "screens/screen.h"

namespace orlaspin {

// A gigascreen level table. Each channel of a colour is off (zero), on (normal) or on and bright;
// a pixel shown in turn at two levels gets the pair's value, then scaled by the channel's weight:
// round(value x weight / 255). zb is the pair zero and bright.
struct GigascreenLevels {
  std::uint8_t zz, zn, nn, nb, bb, zb;
  std::array<std::uint8_t, 3> weights = {255, 255, 255};  // red, green, blue
};

struct ScreenPalette {
  std::string name;
  Palette colours;
  // Absent: two channel values mix as their mean in linear light (the sRGB curve), the rule that
  // srgb's level table follows.
  std::optional<GigascreenLevels> gigascreen;
  // The colours of the Next's screens that carry no palette (a Next palette file); absent: the
  // Next's default.
  std::optional<NextPalette> next = std::nullopt;
};

// orlaspin (the program's own colours, the default), fuse, srgb, pulsar, alone, orthodox and
// skoolkit, in that order.
std::span<const ScreenPalette> NamedPalettes();
const ScreenPalette& DefaultPalette();

// The named palette, or nothing when no palette has that name (names are lower case and compared
// exactly).
const ScreenPalette* FindPalette(std::string_view name);

// The colours a gigascreen pixel shows, entry a x 16 + b for colour a (0-15) on one screen and b
// on the other.
using GigascreenColours = std::array<Colour, 256>;
GigascreenColours MixedColours(const ScreenPalette& palette);

}  // namespace orlaspin
