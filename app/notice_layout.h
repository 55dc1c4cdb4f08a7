// The simple message box's layout in dialog units of its font, from the text's size in pixels.
#pragma once

namespace orlaspin::app {

// A font's dialog base units: average character width and height in pixels.
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};

// Pixels to dialog units, rounded up, so that the dialog manager's way back gives at least as
// many pixels as measured.
int PixelsToDialogUnitsX(int pixels, DialogBaseUnits units);
int PixelsToDialogUnitsY(int pixels, DialogBaseUnits units);

inline constexpr int kNoticeMargin = 8;
inline constexpr int kNoticeButtonGap = 10;
inline constexpr int kNoticeButtonWidth = 50;
inline constexpr int kNoticeButtonHeight = 14;

struct DialogUnitRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const DialogUnitRect&) const = default;
};

struct NoticeLayout {
  int width = 0;  // of the client area
  int height = 0;
  DialogUnitRect text;
  DialogUnitRect button;
};

// The text at the top left inside the margin, the button centred below it, both inside the
// margin; the button is wider than its 50 units when its caption needs it.
NoticeLayout LayOutNotice(int textWidth, int textHeight, int buttonCaptionWidth);

}  // namespace orlaspin::app
