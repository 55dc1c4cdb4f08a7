// Pictures as a PNG file: a still image, or an animated PNG (APNG) of several frames.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "screens/screen_frames.h"

namespace orlaspin {

inline constexpr std::string_view kPngExtension = ".png";

// The whole file, of the frames enlarged scale (1-8) times each way. One frame gives a still
// image; more give an APNG that shows each frame for frameMilliseconds and loops for ever, the
// first frame also being the still image of readers that know no animation. There is at least
// one frame, and all share one size. Pictures of at most 16 colours are stored with a 4-bit
// palette, others as 8-bit RGB.
std::vector<std::uint8_t> EncodePng(std::span<const Picture> frames,
                                    std::uint16_t frameMilliseconds, int scale = 1);

// The same with each frame shown for its own time (delays has one entry per frame), into png,
// whose bytes it replaces (its storage is kept for the next file).
void EncodePng(std::span<const Picture> frames, std::span<const std::uint16_t> delays, int scale,
               std::vector<std::uint8_t>& png);

}  // namespace orlaspin
