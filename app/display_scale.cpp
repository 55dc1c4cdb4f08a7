#include "display_scale.h"

#include <cstdint>

namespace orlaspin::app {

int MulDivRounded(int value, int numerator, int denominator) {
  const std::int64_t product = std::int64_t{value} * numerator;
  const std::int64_t half = denominator / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / denominator : (product - half) / denominator;
  return static_cast<int>(rounded);
}

DisplayScale DisplayScale::For(int pixelsPerInch, int textHeight) {
  if (pixelsPerInch == kDesignPixelsPerInch || textHeight == kDesignTextHeight) return Identity();
  return DisplayScale(textHeight, kDesignTextHeight);
}

Rect DisplayScale::Apply(const Rect& design) const {
  return {Apply(design.left), Apply(design.top), Apply(design.right), Apply(design.bottom)};
}

int FontHeightFor(int designHeight, int pixelsPerInch) {
  return MulDivRounded(designHeight, pixelsPerInch, kDesignPixelsPerInch);
}

}  // namespace orlaspin::app
