// The application around the main window: the hidden zero-size application window that carries
// the title and the taskbar entry and owns the main window and the boxes, the start-up show
// request, and the guarded message loop.
#pragma once

#include <windows.h>

#include <memory>

#include "error_handoff.h"
#include "message_boxes.h"

namespace orlaspin::app {

inline constexpr wchar_t kApplicationClassName[] = L"OrlaspinApplication";

class Application {
 public:
  // Derives the title, loads the icon and creates the application window.
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  HWND Handle() const;
  const BoxOwner& Boxes() const { return boxes_; }
  ErrorHandoff& Errors() { return errors_; }

  // Shows the main window at its place and the application window with it, honouring the
  // launcher's request to start maximised, or minimised without activation (then the main window
  // appears when the user restores the application).
  void ShowMainWindow(HWND mainWindow);

  // Dispatches messages until the main window is closed. An error handed over by a window
  // procedure cancels any mouse capture and is shown in the error box; the loop goes on.
  int Run();

 private:
  class ApplicationWindow;

  ErrorHandoff errors_;
  BoxOwner boxes_;
  std::unique_ptr<ApplicationWindow> window_;
};

}  // namespace orlaspin::app
