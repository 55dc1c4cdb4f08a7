#include "screens/next_palette.h"

#include "screens/colour_levels.h"

namespace orlaspin {

const NextPalette& DefaultNextPalette() {
  static const NextPalette palette = [] {
    NextPalette colours{};
    for (std::size_t i = 0; i < colours.size(); ++i) {
      colours[i] = NextColour(static_cast<std::uint8_t>(i));
    }
    return colours;
  }();
  return palette;
}

std::vector<Colour> NextColours(std::span<const std::uint8_t> bytes, std::size_t count,
                                const NextPalette& otherwise) {
  if (bytes.empty()) return {otherwise.begin(), otherwise.begin() + count};
  std::vector<Colour> colours(count);
  for (std::size_t i = 0; i < count; ++i) {
    colours[i] = bytes.size() == 2 * count ? NextColour(bytes[2 * i], bytes[2 * i + 1])
                                           : NextColour(bytes[i]);
  }
  return colours;
}

}  // namespace orlaspin
