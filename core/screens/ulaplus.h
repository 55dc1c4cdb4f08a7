// ULA+ screens: the standard screen's bytes coloured from a palette of 64 entries that the file
// carries, four tables of 8 inks and 8 papers chosen by an attribute's FLASH and BRIGHT bits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "screens/attribute_picture.h"
#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

inline constexpr std::size_t kUlaPlusPaletteBytes = 64;
using UlaPlusPalette = std::array<Colour, kUlaPlusPaletteBytes>;

// A palette byte GGGRRRBB as the ULAplus hardware shows it: each 3-bit level v becomes
// v << 5 | v << 2 | v >> 1 (00 24 49 6D 92 B6 DB FF); blue gains a third bit, the OR of its two
// (00 6D B6 FF).
Colour UlaPlusColour(std::uint8_t grb);

// The 64 entries of the palette's 64 bytes.
UlaPlusPalette UlaPlusPaletteOf(std::span<const std::uint8_t, kUlaPlusPaletteBytes> bytes);

// Each attribute's colours: table (FLASH x 2 + BRIGHT), entry 0-7 of it the ink, 8-15 the paper.
// FLASH picks a table and never blinks.
AttributeColours UlaPlusColours(const UlaPlusPalette& palette);

// 6976 bytes: the standard screen, then its palette.
ScreenPictures UlaPlusPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

}  // namespace orlaspin
