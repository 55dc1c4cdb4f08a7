// .bsp files: one screen or a gigascreen of two, inside a border drawn by a run-length stream or
// of one colour, behind a header with a title and an author.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// "bsp", a configuration byte (bit 7 two screens, bit 6 border streams), a reserved byte, the
// border colours when there are no streams (bits 0-2 the first screen's, 3-5 the second's), the
// title and author (32 bytes each), then the standard screens from 70 (72 with two screens and
// streams, the second stream's offset in the word at 70) and the border streams after them. A
// stream paints the 384 x 304 picture's border row by row around the screen at (64, 64): each byte
// a colour (bits 0-2) and a run (bits 3-7: 0 to the end of the stretch, 1 twice the next byte, 2
// 24 pixels, n 2 (n + 13)); a run ends at its row's end. Two screens are a gigascreen
// (GigascreenFrames).
ScreenPictures BspPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Why the bytes are no .bsp file (the field or size found and what was expected), empty when they
// are one.
std::string BspHeaderFault(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
