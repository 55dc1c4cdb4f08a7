#include "screens/profi_grf.h"

#include <algorithm>
#include <array>

#include "screens/colour_levels.h"

namespace orlaspin {

namespace {

constexpr std::array<std::uint8_t, 10> kHeader = {0x00, 0x02, 0xF0, 0x00, 0x04,
                                                  0x00, 0x80, 0x00, 0x01, 0x13};
constexpr std::size_t kPaletteAt = 10;
constexpr std::size_t kPixelsAt = 128;
constexpr int kWidth = 512;
constexpr int kHeight = 240;
constexpr std::size_t kLineBytes = 128;
constexpr std::size_t kFileBytes = kPixelsAt + kLineBytes * kHeight;

// GGGRRRBB: 3-bit levels as Level3To8; the two blue bits in four even steps.
Colour GrfColour(std::uint8_t grb) {
  return MakeColour(Level3To8((grb >> 2) & 7), Level3To8(grb >> 5),
                    static_cast<std::uint8_t>((grb & 3) * 85));
}

}  // namespace

std::string ProfiGrfHeaderFault(std::span<const std::uint8_t> bytes) {
  const std::string no = "not a Profi .grf picture of 512 x 240 in 16 colours: ";
  if (bytes.size() != kFileBytes) {
    return no + "it holds " + std::to_string(bytes.size()) + " bytes, not " +
           std::to_string(kFileBytes);
  }
  if (!std::equal(kHeader.begin(), kHeader.end(), bytes.begin())) {
    return no + "its header does not begin 00 02 F0 00 04 00 80 00 01 13";
  }
  return {};
}

ScreenPictures ProfiGrfPictures(std::span<const std::uint8_t> bytes, const ScreenOptions&) {
  std::array<Colour, 16> palette{};
  for (std::size_t i = 0; i < palette.size(); ++i) palette[i] = GrfColour(bytes[kPaletteAt + i]);
  Picture picture{kWidth, 2 * kHeight, {}};
  picture.pixels.reserve(static_cast<std::size_t>(picture.width) * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::size_t pair = kPixelsAt + static_cast<std::size_t>(y / 2) * kLineBytes +
                               2 * static_cast<std::size_t>(x >> 3);
      const std::uint8_t attribute = bytes[pair + 1];
      const bool ink = (bytes[pair] >> (7 - (x & 7))) & 1;
      picture.pixels.push_back(ink ? palette[((attribute >> 3) & 8) | (attribute & 7)]
                                   : palette[((attribute >> 4) & 8) | ((attribute >> 3) & 7)]);
    }
  }
  return {{picture}, 0};
}

}  // namespace orlaspin
