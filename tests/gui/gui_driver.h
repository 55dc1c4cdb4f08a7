// Drives the real orlaspin.exe as a user would: starts it, finds its windows and the system's
// dialogs, clicks at window positions and reads what the windows show. Windows of another
// process are reached only through messages that the system carries across processes.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace orlaspin::gui_test {

using namespace std::chrono_literals;

// The program under test: ORLASPIN_EXE from the environment (a Unix path is mapped to Z:).
std::wstring ProgramPath();
// Where screenshots go: ORLASPIN_SCREENSHOTS, or the current folder.
std::wstring ScreenshotFolder();

// A variable of the environment, empty when it is not set.
std::wstring Environment(const wchar_t* name);

// Wine gives a program the display resolution (LogPixels) that the registry holds when the
// program starts. Holds that resolution for the programs started while this lives, and puts the
// previous setting back.
class DisplayResolution {
 public:
  explicit DisplayResolution(DWORD pixelsPerInch);
  ~DisplayResolution();
  DisplayResolution(const DisplayResolution&) = delete;
  DisplayResolution& operator=(const DisplayResolution&) = delete;

 private:
  HKEY key_ = nullptr;
  bool hadValue_ = false;
  DWORD previous_ = 0;
};

// Polls until done() is true; false when the time ran out.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);

std::wstring ClassOf(HWND window);
// The window's text through WM_GETTEXT, which the system copies across processes.
std::wstring TextOf(HWND window);
std::vector<HWND> ChildrenOf(HWND parent);
// The first child (at any depth) of that class, or null.
HWND ChildOfClass(HWND parent, const wchar_t* className);
RECT ClientRectOnScreen(HWND window);
RECT WindowRect(HWND window);

// The static text and the buttons of a dialog or message box.
struct DialogContents {
  std::wstring caption;
  std::vector<std::wstring> texts;    // static controls with text, in creation order
  std::vector<std::wstring> buttons;  // button captions
  bool hasIcon = false;               // a static control showing an icon
};
DialogContents ReadDialog(HWND dialog);

// Presses a button as a click would (BM_CLICK).
void PressButton(HWND dialog, int buttonId);
// A key press sent to the focused control of the dialog (Enter, Esc ...).
void PressKey(HWND window, WPARAM virtualKey);

class RunningProgram {
 public:
  // Starts the program in workingFolder (the driver's own when empty) and waits for its window;
  // showRequest, when not SW_SHOWDEFAULT, is the launcher's start-up show request. A program
  // asked to start minimised shows only its application window. A non-empty argument is given
  // on the command line, quoted.
  explicit RunningProgram(const std::wstring& program = ProgramPath(),
                          const std::wstring& workingFolder = L"",
                          WORD showRequest = SW_SHOWDEFAULT, const std::wstring& argument = L"");
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND MainWindow() const { return main_; }
  HWND ApplicationWindow() const { return application_; }
  HWND Grid() const { return grid_; }
  DWORD ThreadId() const { return threadId_; }

  // A visible top-level window of this process of the class (and caption, when given).
  HWND FindTopLevel(const wchar_t* className, const wchar_t* caption = nullptr) const;
  // The same, shown or hidden.
  HWND FindAnyTopLevel(const wchar_t* className) const;
  // Waits for such a window; null when none came.
  HWND WaitForTopLevel(const wchar_t* className, const wchar_t* caption = nullptr,
                       std::chrono::milliseconds timeout = 10s) const;
  // Waits until the program has handled everything sent before (and painted).
  void Settle() const;

  // A left click at a point of the main window's client area.
  void ClickAt(int x, int y) const;
  // A click on the control whose client rectangle is given, at its centre.
  void ClickCentreOf(const RECT& bounds) const;

  // Closes the window as its close box does and waits for the process to end.
  DWORD Close();

 private:
  PROCESS_INFORMATION process_{};
  DWORD threadId_ = 0;
  HWND main_ = nullptr;
  HWND application_ = nullptr;
  HWND grid_ = nullptr;
};

// Clicks "Open .TRD..." and waits until the system's open dialog is shown and placed.
HWND ShowOpenDialog(const RunningProgram& program);
// The file-name box of an explorer-style open dialog.
HWND FileNameBox(HWND dialog);
// Types path into the file-name box, presses OK and waits until the program has handled it.
void AcceptInDialog(const RunningProgram& program, HWND dialog, const std::wstring& path);
// Presses Cancel and waits until the dialog has gone.
void CancelDialog(const RunningProgram& program, HWND dialog);
// The whole open action as the user does it.
void OpenThroughDialog(const RunningProgram& program, const std::wstring& path);

}  // namespace orlaspin::gui_test
