#include "screens/screen_frames.h"

#include <algorithm>
#include <span>

namespace orlaspin {

namespace {

constexpr std::uint8_t kFlashBit = 0x80;

std::span<const std::uint8_t> Attributes(const ScreenBytes& screen) {
  return std::span(screen).subspan(kPixelBytes);
}

}  // namespace

Picture ScreenPicture(const ScreenBytes& screen, const Palette& palette) {
  Picture picture{kScreenWidth, kScreenHeight, std::vector<Colour>(kScreenWidth * kScreenHeight)};
  DecodeScreen(screen, palette, picture.pixels);
  return picture;
}

std::vector<std::uint16_t> DelaysOf(const ScreenPictures& pictures) {
  if (!pictures.frameDelays.empty()) return pictures.frameDelays;
  return std::vector<std::uint16_t>(pictures.frames.size(), pictures.frameMilliseconds);
}

bool HasFlash(const ScreenBytes& screen) {
  const auto attributes = Attributes(screen);
  return std::any_of(attributes.begin(), attributes.end(),
                     [](std::uint8_t a) { return (a & kFlashBit) != 0; });
}

ScreenBytes FlashPhase(const ScreenBytes& screen) {
  ScreenBytes phase = screen;
  for (std::size_t i = kPixelBytes; i < kScreenBytes; ++i) {
    const std::uint8_t a = phase[i];
    if ((a & kFlashBit) == 0) continue;
    const std::uint8_t ink = a & 7;
    const std::uint8_t paper = (a >> 3) & 7;
    phase[i] = static_cast<std::uint8_t>((a & 0xC0) | (ink << 3) | paper);
  }
  return phase;
}

std::vector<Picture> ScreenFrames(const ScreenBytes& screen, const Palette& palette,
                                  bool withFlash) {
  std::vector<Picture> frames{ScreenPicture(screen, palette)};
  if (withFlash && HasFlash(screen)) frames.push_back(ScreenPicture(FlashPhase(screen), palette));
  return frames;
}

}  // namespace orlaspin
