// Timex hi-res gigascreens (.hrg): two hi-res screens shown in turn.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 24578 bytes: two Timex hi-res screens of 12289 bytes (TimexHiResPictures), each with its own
// colour byte, as a gigascreen of 512 x 384 (GigascreenFrames).
ScreenPictures TimexHiResGigascreenPictures(std::span<const std::uint8_t> bytes,
                                            const ScreenOptions& options);

}  // namespace orlaspin
