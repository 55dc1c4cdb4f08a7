// Whether a text shows whole on the screen: the ink (pixels other than the background) that a
// capture holds where the text should be, against the ink of the same text drawn whole into a
// memory bitmap in the same font, line by line.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui_driver.h"
#include "screen_capture.h"

namespace orlaspin::gui_test {

// A font made here, deleted with its owner.
class TestFont {
 public:
  explicit TestFont(const LOGFONTW& description);
  ~TestFont();
  TestFont(const TestFont&) = delete;
  TestFont& operator=(const TestFont&) = delete;

  HFONT Handle() const { return handle_; }
  TEXTMETRICW Metrics() const;
  std::wstring Face() const;

 private:
  HFONT handle_;
};

LOGFONTW MessageFontDescription();

// A text drawn whole: the picture, where the text's top left lies in it, and its line height.
struct ExpectedText {
  Picture picture;
  POINT origin;
  int lineHeight;
};

// Each line drawn with ExtTextOut at the advances the font's metrics give its characters (the
// placement a box that measured its text relies on).
ExpectedText DrawMeasured(const std::vector<std::wstring>& lines, HFONT font);
// The text drawn by DrawText with format (DT_NOCLIP is added) into a box of that size, as the
// system's own controls draw.
ExpectedText DrawWithDrawText(const std::wstring& text, HFONT font, UINT format, SIZE box);

// text broken into lines at spaces so that each is at most maxWidth wide in font, as a reader
// of the layout rule would break it.
std::vector<std::wstring> WrapAtSpaces(const std::wstring& text, HFONT font, int maxWidth);

// "" when the ink of captured inside visible (picture coordinates) is exactly the ink of
// expected placed with its text origin at textOrigin; otherwise the first line that differs,
// with both extents. Ink outside visible counts as not drawn.
std::string InkDifference(const Picture& captured, const RECT& visible, POINT textOrigin,
                          const ExpectedText& expected);

// RECT in screen coordinates to picture coordinates of a capture of area.
RECT InCapture(const RECT& onScreen, const RECT& area);

// The size DrawText gives text in font with format.
SIZE DrawTextSize(const std::wstring& text, HFONT font, UINT format);

// "" once the text control label of the window box shows expected whole inside the box's client
// area; otherwise, when the box has had a few seconds to paint, how the drawn text differs.
std::string ShownTextDifference(HWND box, HWND label, const ExpectedText& expected);

// The same for the simple message box showing text: wrapped at spaces to half the screen in the
// message font, each glyph where the font's metrics put it.
std::string NoticeTextDifference(HWND box, const std::wstring& text, const LOGFONTW& messageFont);

}  // namespace orlaspin::gui_test
