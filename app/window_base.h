// The one window base: `this` arrives through lpCreateParams at WM_NCCREATE, lives in
// GWLP_USERDATA and is cleared at WM_NCDESTROY. Nothing escapes the window procedure: an
// exception from a handler ends that handler and is handed to the message loop.
#pragma once

#include <windows.h>

#include "error_handoff.h"

namespace orlaspin::app {

struct WindowClass {
  const wchar_t* name;
  UINT style = 0;
  int backgroundColour = -1;  // a COLOR_ index, or -1 for none
  HICON icon = nullptr;
};

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return handle_; }

 protected:
  explicit Window(ErrorHandoff& errors) : errors_(errors) {}

  // Registers the class on first use and creates the window; raises the error on failure.
  void CreateHandle(const WindowClass& windowClass, DWORD exStyle, DWORD style, const wchar_t* text,
                    const RECT& bounds, HWND parent, HMENU menuOrId);

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
  ErrorHandoff& errors_;
};

// Raises an orlaspin::Error for the failed Win32 call named, with GetLastError() taken at once.
[[noreturn]] void RaiseLastError(const char* call);

}  // namespace orlaspin::app
