#include "notice_layout.h"

#include <algorithm>

namespace orlaspin::app {

namespace {

int DivideRoundingUp(int value, int divisor) { return (value + divisor - 1) / divisor; }

// A button's caption keeps this much room on each side.
constexpr int kCaptionPadding = 4;

}  // namespace

int PixelsToDialogUnitsX(int pixels, DialogBaseUnits units) { return DivideRoundingUp(pixels * 4, units.x); }

int PixelsToDialogUnitsY(int pixels, DialogBaseUnits units) { return DivideRoundingUp(pixels * 8, units.y); }

NoticeLayout LayOutNotice(int textWidth, int textHeight, int buttonCaptionWidth) {
  NoticeLayout layout;
  const int buttonWidth = std::max(kNoticeButtonWidth, buttonCaptionWidth + 2 * kCaptionPadding);
  const int contentWidth = std::max(textWidth, buttonWidth);
  layout.width = contentWidth + 2 * kNoticeMargin;
  layout.text = {kNoticeMargin, kNoticeMargin, textWidth, textHeight};
  layout.button = {(layout.width - buttonWidth) / 2, kNoticeMargin + textHeight + kNoticeButtonGap,
                   buttonWidth, kNoticeButtonHeight};
  layout.height = layout.button.y + kNoticeButtonHeight + kNoticeMargin;
  return layout;
}

}  // namespace orlaspin::app
