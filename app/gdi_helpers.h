// Small GDI helpers shared by the window and the grid.
#pragma once

#include <windows.h>

namespace orlaspin::app {

// Draws one frame into a memory bitmap the size of area and copies it out when destroyed, so
// that nothing flickers. Drawing uses the target's client coordinates.
class BufferedPaint {
 public:
  BufferedPaint(HDC target, const RECT& area);
  ~BufferedPaint();
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;

  HDC Dc() const { return dc_; }

 private:
  HDC target_;
  RECT area_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ oldBitmap_;
};

void FillSolid(HDC dc, const RECT& rect, COLORREF colour);

// Handles WM_PAINT: draw(dc, dirty) paints the dirty part into a buffer copied out at the end.
template <class Draw>
void PaintBuffered(HWND window, Draw&& draw) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  if (!IsRectEmpty(&paint.rcPaint)) {
    BufferedPaint buffer(dc, paint.rcPaint);
    draw(buffer.Dc(), paint.rcPaint);
  }
  EndPaint(window, &paint);
}

// A GDI font deleted with its owner.
class Font {
 public:
  Font() = default;
  explicit Font(const LOGFONTW& description);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  Font(Font&& other) noexcept;
  Font& operator=(Font&& other) noexcept;

  HFONT Handle() const { return handle_; }

 private:
  HFONT handle_ = nullptr;
};

}  // namespace orlaspin::app
