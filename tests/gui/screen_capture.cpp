#include "screen_capture.h"

#include <algorithm>
#include <stdexcept>

#include "io/win/wide_text.h"

namespace orlaspin::gui_test {

namespace {

BITMAPINFOHEADER TopDownHeader(int width, int height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  return header;
}

}  // namespace

testing::Rgb Picture::At(int x, int y) const {
  const std::uint32_t pixel = pixels_[static_cast<std::size_t>(y) * width_ + x];
  return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
          static_cast<std::uint8_t>(pixel)};
}

void Picture::SaveBitmap(const std::wstring& path) const {
  BITMAPINFOHEADER info = TopDownHeader(width_, height_);
  const DWORD pixelBytes = static_cast<DWORD>(pixels_.size() * 4);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + pixelBytes;

  // GDI leaves the top byte zero; viewers would take it for a transparent alpha.
  std::vector<std::uint32_t> opaque(pixels_);
  for (std::uint32_t& pixel : opaque) pixel |= 0xFF000000u;

  const HANDLE out =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + Narrow(path));
  DWORD written = 0;
  const bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                  WriteFile(out, &info, sizeof info, &written, nullptr) &&
                  WriteFile(out, opaque.data(), pixelBytes, &written, nullptr) &&
                  written == pixelBytes;
  CloseHandle(out);
  if (!ok) throw std::runtime_error("cannot write " + Narrow(path));
}

Picture DrawOffscreen(int width, int height, const std::function<void(HDC)>& draw) {
  Picture picture(width, height);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = TopDownHeader(width, height);
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  draw(memory);
  GdiFlush();
  std::copy_n(static_cast<const std::uint32_t*>(bits), width * height, picture.Data());
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return picture;
}

Picture CaptureScreen(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const HDC screen = GetDC(nullptr);
  Picture picture = DrawOffscreen(width, height, [&](HDC dc) {
    BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  });
  ReleaseDC(nullptr, screen);
  return picture;
}

}  // namespace orlaspin::gui_test
