#include "screens/timex_gigascreen.h"

#include "screens/gigascreen.h"
#include "screens/timex.h"

namespace orlaspin {

namespace {

constexpr std::size_t kHiResScreenBytes = 2 * kPixelBytes + 1;

}  // namespace

ScreenPictures TimexHiResGigascreenPictures(std::span<const std::uint8_t> bytes,
                                            const ScreenOptions& options) {
  return GigascreenFrames(TimexHiResPicture(bytes.first(kHiResScreenBytes)),
                          TimexHiResPicture(bytes.subspan(kHiResScreenBytes)), options);
}

}  // namespace orlaspin
