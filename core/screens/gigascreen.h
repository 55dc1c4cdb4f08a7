// Gigascreen: two screens shown in turn, every frame of the display, so that the eye mixes their
// colours.
#pragma once

#include <cstdint>
#include <span>

#include "screens/attribute_picture.h"
#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// Two pictures of one size as a gigascreen: blended, each pixel in the palette's mix of its two
// colours (MixedColours), or flickering, both pictures in turn for kFlickerFrameMilliseconds
// each. FLASH is not shown.
ScreenPictures GigascreenFrames(const AttributePicture& first, const AttributePicture& second,
                                const ScreenOptions& options);

// 13824 bytes: two standard screens one after the other.
ScreenPictures GigascreenPictures(std::span<const std::uint8_t> bytes,
                                  const ScreenOptions& options);

}  // namespace orlaspin
