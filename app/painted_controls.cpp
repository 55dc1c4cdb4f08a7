#include "painted_controls.h"

#include "preview_raster.h"

namespace orlaspin::app {

namespace {

constexpr UINT kLabelFormat = DT_LEFT | DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS;

RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// The size DrawText gives the text in the font.
SIZE TextSize(const std::wstring& text, HFONT font) {
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT box{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, kLabelFormat | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {box.right, box.bottom};
}

// The raster's layout: 32-bit pixels, top row first, red in the lowest byte.
struct RasterBitmapInfo {
  BITMAPINFOHEADER header;
  DWORD masks[3];
};

RasterBitmapInfo DescribeRaster() {
  RasterBitmapInfo info{};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = PreviewRaster::kWidth;
  info.header.biHeight = -PreviewRaster::kHeight;
  info.header.biPlanes = 1;
  info.header.biBitCount = 32;
  info.header.biCompression = BI_BITFIELDS;
  info.masks[0] = 0x000000FF;
  info.masks[1] = 0x0000FF00;
  info.masks[2] = 0x00FF0000;
  return info;
}

}  // namespace

Label::Label(int left, int top, std::wstring text, HFONT font, COLORREF colour)
    : PaintedControl({left, top, left, top}), font_(font), colour_(colour) {
  SetText(std::move(text));
}

void Label::SetText(std::wstring text) {
  text_ = std::move(text);
  const SIZE size = TextSize(text_, font_);
  SetBounds({Bounds().left, Bounds().top, Bounds().left + size.cx, Bounds().top + size.cy});
}

void Label::Paint(HDC dc) const {
  const HGDIOBJ old = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour_);
  RECT box = ToRECT(Bounds());
  DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &box, kLabelFormat);
  SelectObject(dc, old);
}

void SpeedButton::Paint(HDC dc) const {
  RECT box = ToRECT(Bounds());
  const bool down = LooksDown();
  DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  if (down) OffsetRect(&box, 1, 1);
  const HGDIOBJ old = SelectObject(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
}

void PictureArea::Paint(HDC dc) const {
  if (!raster_) return;
  static const RasterBitmapInfo info = DescribeRaster();
  const Rect& b = Bounds();
  StretchDIBits(dc, b.left, b.top, b.Width(), b.Height(), 0, 0, PreviewRaster::kWidth,
                PreviewRaster::kHeight, raster_->Pixels().data(),
                reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace orlaspin::app
