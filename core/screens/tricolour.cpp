#include "screens/tricolour.h"

#include "screens/attribute_picture.h"

namespace orlaspin {

ScreenPictures TricolourPictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  Picture picture{kScreenWidth, kScreenHeight, {}};
  picture.pixels.reserve(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const auto channel = [&](std::size_t screen) -> std::uint8_t {
        return InkBit(bytes, screen * kPixelBytes + LineOffset(y), x) ? 0xFF : 0;
      };
      picture.pixels.push_back(MakeColour(channel(0), channel(1), channel(2)));
    }
  }
  return {{picture}, 0};
}

}  // namespace orlaspin
