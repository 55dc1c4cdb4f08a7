// Multicolour screens: the standard screen's pixels with an attribute row for every 1, 2 or 4
// pixel lines instead of every 8.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 6144 bytes of pixels in the standard screen's order, then 192 / linesPerRow rows of 32
// attributes, one row for every linesPerRow (1, 2 or 4) pixel lines: .mlt, .ifl and .mc4.
ScreenPictures InterleavedMulticolourPictures(std::span<const std::uint8_t> bytes, int linesPerRow,
                                              const ScreenOptions& options);

// .mc: 192 lines of 32 pixel bytes from the top down, then 192 rows of 32 attributes, one for
// each line.
ScreenPictures LinearMulticolourPictures(std::span<const std::uint8_t> bytes,
                                         const ScreenOptions& options);

}  // namespace orlaspin
