// Profi pictures (.grf) of its 16-colour hi-res mode: 512 x 240, an attribute for every 8
// pixels, in a palette of 16 that the file carries.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 30848 bytes: the header of this mode (width 512, height 240, 4 bits a pixel, 128 bytes a line,
// one 128-byte record, a palette) with the 16 colours GGGRRRBB at 10, then from 128 each line as
// 64 pairs of a pixel byte (the leftmost pixel in bit 7) and its attribute: ink bits 0-2 and 6,
// paper bits 3-5 and 7, each a colour 0-15. Each line is shown twice, 512 x 480.
ScreenPictures ProfiGrfPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Why the bytes are no .grf picture of this mode (the header or size found and what was
// expected), empty when they are one.
std::string ProfiGrfHeaderFault(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
