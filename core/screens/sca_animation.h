// .sca animations: standard screens shown in turn, each for its own time.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// "SCA", version 1, width and height, the border colour, the frame count (a word at 9), the
// payload type (0, raw screens) and at 12 the offset of the delays: a byte per frame in fiftieths
// of a second, then the frames as standard 6912-byte screens. The frames in the palette, FLASH
// not shown, each for its delay.
ScreenPictures ScaPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Why the bytes are no .sca animation (the field found and what was expected), empty when they
// are one.
std::string ScaHeaderFault(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
