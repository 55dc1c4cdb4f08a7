// Tricolour screens (.3, .rgb): three pixel screens, one for each primary, shown one after the
// other so that the eye adds them.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// 18432 bytes: the red, green and blue pixel screens of 6144 bytes each, in the standard
// screen's line order. A set bit turns its channel fully on: eight colours, no attributes.
ScreenPictures TricolourPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

}  // namespace orlaspin
