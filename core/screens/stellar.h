// Stellar pictures (.stl): a gigascreen of 4 x 4 blocks drawn by attributes alone.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 3072 bytes: 48 rows of 4 lines, each 16 groups of 4 attributes (screen 1's left and right
// cell of 8 pixels, then screen 2's). In a cell the left 4 pixels show the paper and the right 4
// the ink; FLASH is ignored. As a gigascreen (GigascreenFrames) of 64 x 48 blocks.
ScreenPictures StellarPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

}  // namespace orlaspin
