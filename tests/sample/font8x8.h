// Orlaspin's own 8 x 8 font for the sample screens: capitals, digits and a little punctuation,
// each glyph 5 pixels wide and 7 high under an empty top line.
#pragma once

#include <array>
#include <cstdint>

namespace orlaspin::sample {

using Glyph = std::array<std::uint8_t, 8>;  // the top line first; bit 7 the leftmost pixel

// The glyph of c; a character the font lacks is blank.
const Glyph& GlyphOf(char c);

}  // namespace orlaspin::sample
