// The ZX Spectrum Next's palettes: 256 colours of 9 bits, stored a byte a colour (RRRGGGBB) or
// two (then the blue's low bit in bit 0 of the second).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "screens/screen.h"

namespace orlaspin {

using NextPalette = std::array<Colour, 256>;

// The palette the Next starts with: entry i is the one-byte colour i.
const NextPalette& DefaultNextPalette();

// count colours from bytes holding count one-byte or 2 x count two-byte colours; the first
// count of otherwise when bytes is empty.
std::vector<Colour> NextColours(std::span<const std::uint8_t> bytes, std::size_t count,
                                const NextPalette& otherwise);

}  // namespace orlaspin
