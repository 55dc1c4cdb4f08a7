#include "screens/stellar.h"

#include "screens/attribute_picture.h"
#include "screens/gigascreen.h"

namespace orlaspin {

namespace {

AttributePicture ScreenOf(std::span<const std::uint8_t> bytes, int screen) {
  return LaidOut(
      kScreenWidth, kScreenHeight, [](int x, int) { return (x & 7) >= 4; },
      [&](int x, int y) {
        const auto at =
            static_cast<std::size_t>((y >> 2) * 64 + (x >> 4) * 4 + 2 * screen + ((x >> 3) & 1));
        return bytes[at];
      });
}

}  // namespace

ScreenPictures StellarPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  return GigascreenFrames(ScreenOf(bytes, 0), ScreenOf(bytes, 1), options);
}

}  // namespace orlaspin
