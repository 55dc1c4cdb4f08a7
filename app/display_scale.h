// Layout at other display resolutions: the design is in pixels at 96 pixels per inch, with a
// window font whose text height is 13 pixels there.
#pragma once

namespace orlaspin::app {

inline constexpr int kDesignPixelsPerInch = 96;
inline constexpr int kDesignTextHeight = 13;

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Rect&) const = default;
};

// value × numerator / denominator, rounded to the nearest integer, halves away from zero.
int MulDivRounded(int value, int numerator, int denominator);

// The factor by which design sizes grow: the text height of the window font built for the
// display over the design's 13, or exactly 1 on a 96-DPI display or when the heights agree.
class DisplayScale {
 public:
  static DisplayScale For(int pixelsPerInch, int textHeight);
  static DisplayScale Identity() { return {}; }

  int Apply(int designValue) const { return MulDivRounded(designValue, numerator_, denominator_); }
  // Each edge scaled on its own, as the window's layout is.
  Rect Apply(const Rect& design) const;
  bool IsIdentity() const { return numerator_ == denominator_; }

 private:
  DisplayScale() = default;
  DisplayScale(int numerator, int denominator) : numerator_(numerator), denominator_(denominator) {}

  int numerator_ = 1;
  int denominator_ = 1;
};

// The window font's height in pixels (negative: a character height) for the display.
int FontHeightFor(int designHeight, int pixelsPerInch);

}  // namespace orlaspin::app
