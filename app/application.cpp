#include "application.h"

#include "application_title.h"
#include "window_base.h"

namespace orlaspin::app {

class Application::ApplicationWindow final : public Window {
 public:
  ApplicationWindow(ErrorHandoff& errors, const std::wstring& title) : Window(errors) {
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    const int centreX = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int centreY = GetSystemMetrics(SM_CYSCREEN) / 2;
    CreateHandle({kApplicationClassName, 0, COLOR_BTNFACE, icon}, 0,
                 WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                 title.c_str(), {centreX, centreY, centreX, centreY}, nullptr, nullptr);
  }

  void SetMainWindow(HWND mainWindow) { mainWindow_ = mainWindow; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
      case WM_SETFOCUS: ActivateMainWindow(); return 0;
      case WM_CLOSE: CloseMainWindow(); return 0;
      default: return Default(message, wParam, lParam);
    }
  }

  // Minimising the application hides the main window; restoring it brings the window back.
  LRESULT OnSysCommand(WPARAM command, LPARAM lParam) {
    const WPARAM kind = command & 0xFFF0;
    if (kind == SC_MINIMIZE && mainWindow_) ShowWindow(mainWindow_, SW_HIDE);
    const LRESULT result = Default(WM_SYSCOMMAND, command, lParam);
    if (kind == SC_RESTORE && mainWindow_) {
      ShowWindow(mainWindow_, SW_SHOW);
      ActivateMainWindow();
    }
    return result;
  }

  // Closing the taskbar entry closes the program's window.
  void CloseMainWindow() {
    if (mainWindow_) PostMessageW(mainWindow_, WM_CLOSE, 0, 0);
  }

  // The application window is never the one the user works in.
  void ActivateMainWindow() {
    if (mainWindow_ && IsWindowVisible(mainWindow_) && IsWindowEnabled(mainWindow_)) {
      SetActiveWindow(mainWindow_);
    }
  }

  HWND mainWindow_ = nullptr;
};

Application::Application()
    : boxes_{nullptr, ApplicationTitle()},
      window_(std::make_unique<ApplicationWindow>(errors_, boxes_.title)) {
  boxes_.window = window_->Handle();
}

Application::~Application() = default;

HWND Application::Handle() const { return window_->Handle(); }

void Application::ShowMainWindow(HWND mainWindow) {
  window_->SetMainWindow(mainWindow);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const WORD request =
      (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
  if (request == SW_SHOWMINNOACTIVE) {
    ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
    return;
  }
  ShowWindow(Handle(), SW_SHOWNA);
  const bool maximised = request == SW_SHOWMAXIMIZED || request == SW_MAXIMIZE;
  ShowWindow(mainWindow, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  SetForegroundWindow(mainWindow);
}

int Application::Run() {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (const std::exception_ptr error = errors_.Take()) {
      ReleaseCapture();
      ShowErrorBox(boxes_, error);
    }
  }
  return 0;
}

}  // namespace orlaspin::app
