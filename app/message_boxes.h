// The two boxes through which the program speaks outside its window. Both are captioned with
// the application title, owned by the application window and modal to every window of the
// program; when one closes, the window that was active and the focus come back.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace orlaspin::app {

struct BoxOwner {
  HWND window;  // the application window
  std::wstring title;
};

// The error's message with the full-stop rule, the stop icon and one "OK" button.
void ShowErrorBox(const BoxOwner& owner, std::exception_ptr error);

// The simple message box: the text word-wrapped to half the screen's width in the message
// font, no icon, one "OK" button that Enter and Esc both press; centred on the screen.
void ShowNotice(const BoxOwner& owner, const std::wstring& text);

}  // namespace orlaspin::app
