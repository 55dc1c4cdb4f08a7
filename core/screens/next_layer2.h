// ZX Spectrum Next Layer 2 and LoRes pictures (.nxi, .sl2, .slr): a byte or a nibble a pixel,
// indexing a palette of 9-bit colours (NextColour): the file's own, else the options' Next
// palette (a Next palette file), else the Next's default.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// .nxi: 256 x 192, row by row; 49152 bytes, or 49664 with a palette of 256 two-byte colours
// (RRRGGGBB, then the blue's low bit) in front.
ScreenPictures NxiPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// .sl2 of 256 x 192: as .nxi, its palette (256 one-byte or two-byte colours) after the pixels.
ScreenPictures Sl2Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// .sl2 of 320 x 256: 81920 bytes column by column, a palette after them as in Sl2Pictures.
ScreenPictures Sl2WidePictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// .slr, LoRes: 128 x 96, a byte a pixel row by row (12288 bytes), in the options' Next palette
// or the default; each pixel is shown as 2 x 2, 256 x 192.
ScreenPictures SlrPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// .sl2 of 640 x 256, 16 colours: 81920 bytes column by column, a byte two pixels (the left in
// its high nibble), then 16 one-byte or two-byte colours. Its pixels are half as wide as high:
// each line is shown twice, 640 x 512.
ScreenPictures Sl2HiResPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

}  // namespace orlaspin
