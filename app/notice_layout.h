// The simple message box's layout in pixels: its margins, gap and button are given in dialog
// units of the message font and mapped to pixels as the dialog manager maps them.
#pragma once

#include "display_scale.h"

namespace orlaspin::app {

// A font's dialog base units: average character width and height in pixels.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};

// Dialog units to pixels: a quarter of the average width, an eighth of the height, rounded.
int DialogUnitsToPixelsX(int units, DialogBaseUnits base);
int DialogUnitsToPixelsY(int units, DialogBaseUnits base);

inline constexpr int kNoticeMargin = 8;
inline constexpr int kNoticeButtonGap = 10;
inline constexpr int kNoticeButtonWidth = 50;
inline constexpr int kNoticeButtonHeight = 14;

struct NoticeLayout {
  int width = 0;  // of the client area
  int height = 0;
  Rect text;
  Rect button;
};

// The text at the top left inside the margin, the button centred below it, both inside the
// margin; the button is wider than its 50 units when its caption needs it. Sizes in pixels.
NoticeLayout LayOutNotice(int textWidth, int textHeight, int buttonCaptionWidth,
                          DialogBaseUnits base);

}  // namespace orlaspin::app
