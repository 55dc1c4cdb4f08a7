// The pictures written for one screen: scaled up, and with the FLASH cells' second phase.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "screens/screen.h"

namespace orlaspin {

// A picture of any size in the platform's colours, row by row from the top left.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Colour> pixels;
};

// The frames to write for one screen: one picture is a still; several are shown in turn, each
// for frameMilliseconds, or for its own time in frameDelays when that is not empty, looping.
struct ScreenPictures {
  std::vector<Picture> frames;
  std::uint16_t frameMilliseconds = 0;
  std::vector<std::uint16_t> frameDelays = {};
};

// How long each frame is shown, in milliseconds.
std::vector<std::uint16_t> DelaysOf(const ScreenPictures& pictures);

// How long each frame of an animation lasts: a FLASH phase is 16 frames of the 50 Hz display, a
// gigascreen's two screens alternate every frame.
inline constexpr std::uint16_t kFlashPhaseMilliseconds = 320;
inline constexpr std::uint16_t kFlickerFrameMilliseconds = 20;

inline constexpr int kLargestScale = 8;

// The picture of a standard screen (DecodeScreen).
Picture ScreenPicture(const ScreenBytes& screen, const Palette& palette);

// One row of a picture enlarged scale (1-8) times, nearest neighbour, as an encoder stores it:
// every pixel becomes scale copies of what stored makes of it, written from out on. The encoders
// repeat each enlarged row scale times, so that every pixel becomes a scale x scale block.
// Returns the end of what was written.
template <typename Stored, typename Store>
Stored* ScaleRow(std::span<const Colour> row, int scale, Stored* out, Store stored) {
  // Pictures at their own size are the most common: a plain loop the compiler vectorises.
  if (scale == 1) return std::transform(row.begin(), row.end(), out, stored);
  for (const Colour colour : row) out = std::fill_n(out, scale, stored(colour));
  return out;
}

// True when some attribute has FLASH (bit 7) set.
bool HasFlash(const ScreenBytes& screen);

// The screen as the Spectrum shows it in the other half of the flash cycle: every cell with FLASH
// set has its ink and paper swapped; bright and the other cells stay.
ScreenBytes FlashPhase(const ScreenBytes& screen);

// The frames of a screen at scale 1: one picture, or with withFlash and a FLASH cell present, the
// normal picture and the flash phase.
std::vector<Picture> ScreenFrames(const ScreenBytes& screen, const Palette& palette,
                                  bool withFlash);

}  // namespace orlaspin
