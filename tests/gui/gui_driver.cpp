#include "gui_driver.h"

#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "io/win/wide_text.h"

namespace orlaspin::gui_test {

namespace {

constexpr UINT kMessageTimeoutMs = 10000;
// The design positions of the "Open .TRD..." button.
constexpr RECT kOpenButton{624, 8, 721, 33};
// cmb13 and edt1: the file-name box of the explorer-style dialog, a combo box or an edit.
constexpr int kFileNameComboId = 0x47C;
constexpr int kFileNameEditId = 0x480;

// Wine maps the Unix file system to drive Z:.
std::wstring WindowsPath(std::wstring path) {
  if (path.empty() || path[0] != L'/') return path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + path;
}

struct TopLevelSearch {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* caption;
  bool visibleOnly = true;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TopLevelSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || (search->visibleOnly && !IsWindowVisible(window))) return TRUE;
  if (ClassOf(window) != search->className) return TRUE;
  if (search->caption && TextOf(window) != search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

}  // namespace

std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return L"";
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

DisplayResolution::DisplayResolution(DWORD pixelsPerInch) {
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot open the desktop settings");
  }
  DWORD size = sizeof previous_;
  hadValue_ = RegQueryValueExW(key_, kLogPixels, nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&previous_), &size) == ERROR_SUCCESS;
  if (RegSetValueExW(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&pixelsPerInch),
                     sizeof pixelsPerInch) != ERROR_SUCCESS) {
    RegCloseKey(key_);
    throw std::runtime_error("cannot set the display resolution");
  }
}

DisplayResolution::~DisplayResolution() {
  if (hadValue_) {
    RegSetValueExW(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_),
                   sizeof previous_);
  } else {
    RegDeleteValueW(key_, kLogPixels);
  }
  RegCloseKey(key_);
}

std::wstring ProgramPath() {
  const std::wstring path = Environment(L"ORLASPIN_EXE");
  if (path.empty()) throw std::runtime_error("ORLASPIN_EXE names no program");
  return WindowsPath(path);
}

std::wstring ScreenshotFolder() {
  const std::wstring folder = Environment(L"ORLASPIN_SCREENSHOTS");
  return folder.empty() ? L"." : WindowsPath(folder);
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                           &length)) {
    return L"";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
  for (const HWND child : ChildrenOf(parent)) {
    if (ClassOf(child) == className) return child;
  }
  return nullptr;
}

RECT ClientRectOnScreen(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

RECT WindowRect(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  return frame;
}

DialogContents ReadDialog(HWND dialog) {
  DialogContents contents;
  contents.caption = TextOf(dialog);
  for (const HWND child : ChildrenOf(dialog)) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring kind = ClassOf(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (kind == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
      contents.hasIcon = true;
    } else if (kind == L"Static") {
      const std::wstring text = TextOf(child);
      if (!text.empty()) contents.texts.push_back(text);
    } else if (kind == L"Button") {
      contents.buttons.push_back(TextOf(child));
    }
  }
  return contents;
}

void PressButton(HWND dialog, int buttonId) {
  const HWND button = GetDlgItem(dialog, buttonId);
  if (!button) throw std::runtime_error("the dialog has no such button");
  PostMessageW(button, BM_CLICK, 0, 0);
}

void PressKey(HWND window, WPARAM virtualKey) {
  PostMessageW(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageW(window, WM_KEYUP, virtualKey, 1 | (1u << 30) | (1u << 31));
}

RunningProgram::RunningProgram(const std::wstring& program, const std::wstring& workingFolder,
                               WORD showRequest, const std::wstring& argument) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (showRequest != SW_SHOWDEFAULT) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showRequest;
  }
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!argument.empty()) commandLine += L" \"" + argument + L"\"";
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                      &process_)) {
    throw std::runtime_error("cannot start " + Narrow(program) + ": error " +
                             std::to_string(GetLastError()));
  }
  threadId_ = process_.dwThreadId;
  application_ = WaitForTopLevel(L"OrlaspinApplication", nullptr, 30s);
  if (!application_) throw std::runtime_error("the program showed no application window");
  if (showRequest == SW_SHOWMINNOACTIVE) {
    main_ = FindAnyTopLevel(L"OrlaspinForm");
  } else {
    main_ = WaitForTopLevel(L"OrlaspinForm");
  }
  if (!main_) throw std::runtime_error("the program made no main window");
  grid_ = ChildOfClass(main_, L"OrlaspinStringGrid");
  Settle();
}

RunningProgram::~RunningProgram() {
  if (!process_.hProcess) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 1);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND RunningProgram::FindTopLevel(const wchar_t* className, const wchar_t* caption) const {
  TopLevelSearch search{process_.dwProcessId, className, caption};
  EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND RunningProgram::FindAnyTopLevel(const wchar_t* className) const {
  TopLevelSearch search{process_.dwProcessId, className, nullptr, false};
  EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND RunningProgram::WaitForTopLevel(const wchar_t* className, const wchar_t* caption,
                                     std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(className, caption)) != nullptr; }, timeout);
  return found;
}

void RunningProgram::Settle() const {
  DWORD_PTR ignored = 0;
  if (main_)
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
  std::this_thread::sleep_for(150ms);
  if (main_)
    SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
}

void RunningProgram::ClickAt(int x, int y) const {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageW(main_, WM_MOUSEMOVE, 0, at);
  PostMessageW(main_, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(main_, WM_LBUTTONUP, 0, at);
}

void RunningProgram::ClickCentreOf(const RECT& bounds) const {
  ClickAt((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
}

DWORD RunningProgram::Close() {
  PostMessageW(main_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

HWND FileNameBox(HWND dialog) {
  for (const HWND child : ChildrenOf(dialog)) {
    const int id = GetDlgCtrlID(child);
    if (id == kFileNameEditId && ClassOf(child) == L"Edit") return child;
    if (id == kFileNameComboId) {
      const HWND edit = FindWindowExW(child, nullptr, L"Edit", nullptr);
      if (edit) return edit;
    }
  }
  return nullptr;
}

HWND ShowOpenDialog(const RunningProgram& program) {
  program.ClickCentreOf(kOpenButton);
  const HWND dialog = program.WaitForTopLevel(L"#32770");
  if (!dialog) throw std::runtime_error("no open dialog appeared");
  // The program moves the dialog once its layout is done: wait until it stays where it is.
  RECT last = WindowRect(dialog);
  int stillFor = 0;
  WaitUntil([&] {
    std::this_thread::sleep_for(50ms);
    const RECT now = WindowRect(dialog);
    stillFor = EqualRect(&now, &last) && FileNameBox(dialog) ? stillFor + 1 : 0;
    last = now;
    return stillFor >= 6;
  });
  return dialog;
}

namespace {

void WaitForDialogToClose(const RunningProgram& program, HWND dialog) {
  if (!WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) {
    throw std::runtime_error("the open dialog did not close");
  }
  program.Settle();
}

}  // namespace

void AcceptInDialog(const RunningProgram& program, HWND dialog, const std::wstring& path) {
  const HWND box = FileNameBox(dialog);
  if (!box) throw std::runtime_error("the open dialog has no file-name box");
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                      kMessageTimeoutMs, &ignored);
  PressButton(dialog, IDOK);
  WaitForDialogToClose(program, dialog);
}

void CancelDialog(const RunningProgram& program, HWND dialog) {
  PressButton(dialog, IDCANCEL);
  WaitForDialogToClose(program, dialog);
}

void OpenThroughDialog(const RunningProgram& program, const std::wstring& path) {
  AcceptInDialog(program, ShowOpenDialog(program), path);
}

}  // namespace orlaspin::gui_test
