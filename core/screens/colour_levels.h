// Colour levels of the machines that give each channel 3 bits (ULAplus, the Next, the SAM),
// expanded to 8 bits as their documentation says: by repeating the bits, 00 24 49 6D 92 B6 DB FF.
#pragma once

#include <cstdint>

#include "screens/screen.h"

namespace orlaspin {

constexpr std::uint8_t Level3To8(unsigned level) {
  return static_cast<std::uint8_t>((level << 5) | (level << 2) | (level >> 1));
}

// A blue of two bits as three: its low bit is the OR of the two (ULAplus and 8-bit Next colours).
constexpr unsigned BlueOf2Bits(unsigned blue) { return (blue << 1) | (blue != 0 ? 1 : 0); }

// A Next colour: RRRGGGBB, and the blue's low bit in bit 0 of blueLow.
constexpr Colour NextColour(std::uint8_t rrrgggbb, std::uint8_t blueLow) {
  return MakeColour(Level3To8(rrrgggbb >> 5), Level3To8((rrrgggbb >> 2) & 7),
                    Level3To8(((rrrgggbb & 3u) << 1) | (blueLow & 1u)));
}

// A Next colour of one byte, RRRGGGBB: the blue's low bit is the OR of its two.
constexpr Colour NextColour(std::uint8_t rrrgggbb) {
  return NextColour(rrrgggbb, static_cast<std::uint8_t>(BlueOf2Bits(rrrgggbb & 3u)));
}

}  // namespace orlaspin
