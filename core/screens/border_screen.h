// Screens inside their border: a border of one colour around any picture, and the border
// screens (.bsc, .bmc4) whose files draw the border too.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// The picture inside a border of colour: an eighth of its width left and right and an eighth of
// its height above and below (32 and 24 pixels around a 256 x 192 screen).
Picture Bordered(const Picture& picture, Colour colour);

// 11136 bytes: a standard screen, then 4224 bytes of border. The picture is 384 x 304 with the
// screen at (64, 64); each border byte gives two runs of 8 pixels (bits 0-2 the left, 3-5 the
// right) in the palette's normal colours: 24 bytes a line above the screen and below it, 4 + 4
// beside it.
ScreenPictures BorderScreenPictures(std::span<const std::uint8_t> bytes,
                                    const ScreenOptions& options);

// 11904 bytes: 6144 bytes of pixels, 768 attributes for the upper four lines of each character
// cell, 768 for the lower four, then the border as in a .bsc file.
ScreenPictures BorderMulticolourPictures(std::span<const std::uint8_t> bytes,
                                         const ScreenOptions& options);

}  // namespace orlaspin
