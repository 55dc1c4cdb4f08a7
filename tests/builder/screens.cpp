#include "screens.h"

namespace orlaspin::testing {

ScreenBytes ColourfulScreen(std::uint32_t seed) {
  ScreenBytes screen{};
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : screen) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state >> 11);
  }
  return screen;
}

}  // namespace orlaspin::testing
