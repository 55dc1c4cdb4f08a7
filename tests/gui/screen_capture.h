// What is on the screen: a rectangle of it read back through GDI, and saved as a BMP file so
// that a person can look at the window as the tests saw it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "oracle.h"

namespace orlaspin::gui_test {

class Picture {
 public:
  Picture(int width, int height) : width_(width), height_(height), pixels_(width * height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  testing::Rgb At(int x, int y) const;
  // 32-bit pixels as GDI holds them: blue in the lowest byte; top row first.
  std::uint32_t* Data() { return pixels_.data(); }
  const std::uint32_t* Data() const { return pixels_.data(); }

  // Writes a 32-bit BMP; throws when the file cannot be written.
  void SaveBitmap(const std::wstring& path) const;

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
};

// What draw(dc) paints into a fresh 32-bit memory bitmap of that size.
Picture DrawOffscreen(int width, int height, const std::function<void(HDC)>& draw);

// The pixels of a rectangle of the screen.
Picture CaptureScreen(const RECT& area);

}  // namespace orlaspin::gui_test
