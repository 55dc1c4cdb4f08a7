// Attribute gigascreens (.hlr): one 8 x 8 texture in every cell of two screens of attributes,
// shown in turn.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 1628 bytes: 84 bytes of the viewer's code, the texture (8 bytes, a pixel line each, the
// leftmost pixel in bit 7), then the two screens' 768 attributes, as a gigascreen
// (GigascreenFrames).
ScreenPictures LowResGigascreenPictures(std::span<const std::uint8_t> bytes,
                                        const ScreenOptions& options);

}  // namespace orlaspin
