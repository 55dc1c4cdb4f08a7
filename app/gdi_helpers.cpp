#include "gdi_helpers.h"

#include <utility>

#include "window_base.h"

namespace orlaspin::app {

BufferedPaint::BufferedPaint(HDC target, const RECT& area)
    : target_(target),
      area_(area),
      dc_(CreateCompatibleDC(target)),
      bitmap_(CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top)) {
  oldBitmap_ = SelectObject(dc_, bitmap_);
  SetViewportOrgEx(dc_, -area.left, -area.top, nullptr);
}

BufferedPaint::~BufferedPaint() {
  SetViewportOrgEx(dc_, 0, 0, nullptr);
  BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, dc_, 0,
         0, SRCCOPY);
  SelectObject(dc_, oldBitmap_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

Font::Font(const LOGFONTW& description) : handle_(CreateFontIndirectW(&description)) {
  if (!handle_) RaiseLastError("CreateFontIndirectW");
}

Font::~Font() {
  if (handle_) DeleteObject(handle_);
}

Font::Font(Font&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

Font& Font::operator=(Font&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

}  // namespace orlaspin::app
