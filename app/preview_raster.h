// The preview picture Image1 holds: 256 x 192 pixels of 32 bits, row by row from the top left.
#pragma once

#include <span>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::app {

class PreviewRaster {
 public:
  static constexpr int kWidth = kScreenWidth;
  static constexpr int kHeight = kScreenHeight;

  PreviewRaster() : pixels_(kWidth * kHeight, kWhite) {}

  std::span<Colour> Pixels() { return pixels_; }
  std::span<const Colour> Pixels() const { return pixels_; }

 private:
  std::vector<Colour> pixels_;
};

}  // namespace orlaspin::app
