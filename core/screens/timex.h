// The Timex display modes: hi-colour (an attribute for every pixel line of a cell) and hi-res
// (512 pixels a line in two colours).
#pragma once

#include <cstdint>
#include <span>

#include "screens/attribute_picture.h"
#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 12288 bytes: the pixels, then the attributes in the same order as the pixels, one byte for
// each 8 pixels of each line. 12352 bytes: the same with a ULA+ palette after them, which then
// gives the colours.
ScreenPictures TimexHiColourPictures(std::span<const std::uint8_t> bytes,
                                     const ScreenOptions& options);

// 12289 bytes: two pixel screens of 6144 whose columns interleave (column n of the first, then
// of the second) into 512 x 192 pixels, then a byte whose bits 3-5 are the ink c; the paper is
// 7 - c, both bright. Each line is shown twice, 512 x 384, to keep the screen's proportions.
ScreenPictures TimexHiResPictures(std::span<const std::uint8_t> bytes,
                                  const ScreenOptions& options);

// The same screen's 512 x 384 pixels and the one attribute that colours them all.
AttributePicture TimexHiResPicture(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
