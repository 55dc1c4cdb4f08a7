#include "window_base.h"

#include <string>

#include "io/errors.h"

namespace orlaspin::app {

namespace {

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

void RegisterOnce(const WindowClass& windowClass, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(ThisModule(), windowClass.name, &existing)) return;

  WNDCLASSEXW info{};
  info.cbSize = sizeof info;
  info.style = windowClass.style;
  info.lpfnWndProc = procedure;
  info.hInstance = ThisModule();
  info.hIcon = windowClass.icon;
  info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  info.hbrBackground =
      windowClass.backgroundColour >= 0
          ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(windowClass.backgroundColour + 1))
          : nullptr;
  info.lpszClassName = windowClass.name;
  if (!RegisterClassExW(&info)) RaiseLastError("RegisterClassExW");
}

}  // namespace

void RaiseLastError(const char* call) {
  const DWORD code = GetLastError();
  throw Error(static_cast<int>(code),
              std::string(call) + " failed with error " + std::to_string(code));
}

Window::~Window() {
  if (!handle_) return;
  // The derived part is gone already: the messages of the destruction go to the default handling.
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  DestroyWindow(handle_);
}

void Window::CreateHandle(const WindowClass& windowClass, DWORD exStyle, DWORD style,
                          const wchar_t* text, const RECT& bounds, HWND parent, HMENU menuOrId) {
  RegisterOnce(windowClass, &Window::WindowProc);
  const HWND created = CreateWindowExW(
      exStyle, windowClass.name, text, style, bounds.left, bounds.top, bounds.right - bounds.left,
      bounds.bottom - bounds.top, parent, menuOrId, ThisModule(), this);
  if (!created) RaiseLastError("CreateWindowExW");
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    self->errors_.Hand(std::current_exception());
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return result;
}

}  // namespace orlaspin::app
