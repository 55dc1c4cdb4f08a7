#include "notice_layout.h"

#include <algorithm>

namespace orlaspin::app {

namespace {

// A button's caption keeps this much room on each side.
constexpr int kCaptionPadding = 4;

}  // namespace

int DialogUnitsToPixelsX(int units, DialogBaseUnits base) {
  return MulDivRounded(units, base.x, 4);
}

int DialogUnitsToPixelsY(int units, DialogBaseUnits base) {
  return MulDivRounded(units, base.y, 8);
}

NoticeLayout LayOutNotice(int textWidth, int textHeight, int buttonCaptionWidth,
                          DialogBaseUnits base) {
  const int marginX = DialogUnitsToPixelsX(kNoticeMargin, base);
  const int marginY = DialogUnitsToPixelsY(kNoticeMargin, base);
  const int buttonWidth =
      std::max(DialogUnitsToPixelsX(kNoticeButtonWidth, base),
               buttonCaptionWidth + 2 * DialogUnitsToPixelsX(kCaptionPadding, base));
  const int buttonHeight = DialogUnitsToPixelsY(kNoticeButtonHeight, base);

  NoticeLayout layout;
  layout.width = std::max(textWidth, buttonWidth) + 2 * marginX;
  layout.text = {marginX, marginY, marginX + textWidth, marginY + textHeight};
  const int buttonLeft = (layout.width - buttonWidth) / 2;
  const int buttonTop = layout.text.bottom + DialogUnitsToPixelsY(kNoticeButtonGap, base);
  layout.button = {buttonLeft, buttonTop, buttonLeft + buttonWidth, buttonTop + buttonHeight};
  layout.height = layout.button.bottom + marginY;
  return layout;
}

}  // namespace orlaspin::app
