// The standard screen and its parts alone: pixels only, attributes only.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 6912 bytes or more (a 6913th byte is ignored), decoded as the window decodes them; FLASH as
// a second frame when asked.
ScreenPictures StandardPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// 6144 bytes of pixels: ink bright white, paper bright black.
ScreenPictures PixelsOnlyPictures(std::span<const std::uint8_t> bytes,
                                  const ScreenOptions& options);

// 768 bytes of attributes over a checkerboard: pixel (x, y) is ink where x + y is odd.
ScreenPictures AttributesOnlyPictures(std::span<const std::uint8_t> bytes,
                                      const ScreenOptions& options);

}  // namespace orlaspin
