// chr$ files (Alone Coder's format): pictures of any size in whole character cells.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// "chr$" (any case), the width and the height in characters, the bytes per cell, then the cells
// left to right and top to bottom: 8 bytes of pixel rows from the top, and for 9 bytes a cell
// its attribute (8: ink bright white on bright black paper); 18 bytes a cell are two such cells of
// 9, a gigascreen. The file must be exactly 7 + width x height x cell bytes long.
ScreenPictures ChrPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Why the bytes are no chr$ file ("not a chr$ file: ..."), empty when the header agrees with the
// size.
std::string ChrHeaderFault(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
