// Orlaspin's own 8 x 8 font: printable ASCII, the Russian alphabet and an ellipsis, for the text
// of contact sheets and the sample screens.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "screens/screen_frames.h"

namespace orlaspin {

// The top line first; bit 7 is the leftmost pixel. Capitals and digits are 5 pixels wide and 7
// high under the empty top line; small letters stand 5 high on the same base line, the tails of
// g, p, q and y folded into that height.
using Glyph = std::array<std::uint8_t, 8>;

inline constexpr int kGlyphSize = 8;

// The glyph of c. Cyrillic letters that look like Latin ones share their glyphs. A character the
// font lacks, U+FFFD among them, gets MissingGlyph(); space is blank.
const Glyph& GlyphOf(char32_t c);

// A hatched box, unlike every letter, so that a character the font lacks still shows.
const Glyph& MissingGlyph();

// Draws text from (x, y), the top left of its first cell, one cell of kGlyphSize pixels a
// character: the glyph's pixels in ink, the others left as they are. What falls outside the
// picture is clipped.
void DrawText(Picture& picture, int x, int y, std::u32string_view text, Colour ink);

}  // namespace orlaspin
