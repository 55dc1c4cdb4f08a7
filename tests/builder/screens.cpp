#include "screens.h"

#include <algorithm>

namespace orlaspin::testing {

std::vector<std::uint8_t> PseudoRandomBytes(std::uint32_t seed, std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state >> 11);
  }
  return bytes;
}

ScreenBytes ColourfulScreen(std::uint32_t seed) {
  const std::vector<std::uint8_t> bytes = PseudoRandomBytes(seed, kScreenBytes);
  ScreenBytes screen;
  std::copy(bytes.begin(), bytes.end(), screen.begin());
  return screen;
}

}  // namespace orlaspin::testing
