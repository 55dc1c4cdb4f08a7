#include "screens/lowres_gigascreen.h"

#include "screens/attribute_picture.h"
#include "screens/gigascreen.h"

namespace orlaspin {

namespace {

constexpr std::size_t kTextureAt = 84;
constexpr std::size_t kAttributesAt = kTextureAt + 8;
constexpr std::size_t kAttributeBytes = 768;

AttributePicture ScreenOf(std::span<const std::uint8_t> bytes, std::size_t attributesAt) {
  return LaidOut(
      kScreenWidth, kScreenHeight,
      [&](int x, int y) {
        return InkBit(bytes, kTextureAt + static_cast<std::size_t>(y & 7), x & 7);
      },
      [&](int x, int y) {
        return bytes[attributesAt + static_cast<std::size_t>(y >> 3) * kAttributeRowBytes +
                     static_cast<std::size_t>(x >> 3)];
      });
}

}  // namespace

ScreenPictures LowResGigascreenPictures(std::span<const std::uint8_t> bytes,
                                        const ScreenOptions& options) {
  return GigascreenFrames(ScreenOf(bytes, kAttributesAt),
                          ScreenOf(bytes, kAttributesAt + kAttributeBytes), options);
}

}  // namespace orlaspin
