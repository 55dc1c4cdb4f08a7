// A disk of colourful screens, up to a full 640 KB one, for timing exports.
#pragma once

#include <stdexcept>
#include <string>

#include "screens.h"
#include "trd_builder.h"

namespace orlaspin::bench {

// As many 27-sector screens as follow track 0 on an 80-track double-sided disk: 94.
inline constexpr int kScreensOnFullDisk = static_cast<int>(
    (testing::kFullImageSize / testing::kSectorSize - testing::kSectorsPerTrack) / 27);

// screens 6912-byte files named SCR0, SCR1, ..., each with other bytes.
inline testing::TrdBuilder ScreenDisk(int screens) {
  if (screens < 0 || screens > kScreensOnFullDisk) {
    throw std::length_error("a disk holds 0 to " + std::to_string(kScreensOnFullDisk) + " screens");
  }
  testing::TrdBuilder disk;
  for (int i = 0; i < screens; ++i) {
    disk.AddScreen("SCR" + std::to_string(i),
                   testing::ColourfulScreen(static_cast<std::uint32_t>(i)));
  }
  return disk;
}

}  // namespace orlaspin::bench
