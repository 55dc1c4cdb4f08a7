// ZX-Evolution (TSConf) pictures (.sxg): 16 or 256 colours of any size up to 4096 x 4096, with
// their palette.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 7F "SXG", version, background, packing (0: none), 1 for 16 colours (2 pixels a byte, the left
// in the high nibble) or 2 for 256 (a byte a pixel), the width and height (words at 8 and 10),
// the palette at 14 plus the word at 12 and the pixels at 16 plus the word at 14, rows from the
// top. A palette word with bit 15 clear holds red, green and blue levels 0-24 in bits 10-14, 5-9
// and 0-4; with it set, 5-bit levels. An entry past the palette is black.
ScreenPictures SxgPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Why the bytes are no .sxg picture (the field or size found and what was expected), empty when
// they are one.
std::string SxgHeaderFault(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
