#include "open_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>

namespace orlaspin::app {

namespace {

constexpr wchar_t kFilter[] = L"TR-DOS disk image\0*.trd\0";

// Where the dialog goes: the horizontal centre of the monitor holding the window that was
// active when it opened, a third of the way down.
void PlaceDialog(HWND dialog, HWND active) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  RECT frame;
  if (!GetWindowRect(dialog, &frame)) return;
  const RECT& area = monitor.rcMonitor;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = area.left + (area.right - area.left - width) / 2;
  const int top = area.top + (area.bottom - area.top - height) / 3;
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The text of a dialog query that answers with a length when given no buffer.
std::wstring DialogText(HWND dialog, UINT query) {
  const auto size = static_cast<int>(SendMessageW(dialog, query, 0, 0));
  if (size <= 0) return L"";
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  SendMessageW(dialog, query, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text.data()));
  text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
  return text;
}

// Whether the typed name, made a full path, could not fit the file-name buffer.
bool TypedPathTooLong(HWND dialog) {
  const std::wstring typed = DialogText(dialog, CDM_GETSPEC);
  const bool absolute =
      (typed.size() >= 2 && typed[1] == L':') || (!typed.empty() && typed[0] == L'\\');
  const std::size_t length =
      absolute ? typed.size() : DialogText(dialog, CDM_GETFOLDERPATH).size() + 1 + typed.size();
  return length >= OpenDialog::kFileNameCapacity;
}

// A path too long for the buffer ends the dialog as if cancelled. The system's own dialog does
// that after OK; Wine's overruns a buffer of its own on such a path, so it never gets to see one.
LRESULT CALLBACK OverlongPathGuard(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK && TypedPathTooLong(dialog)) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(dialog, &OverlongPathGuard, id);
  return DefSubclassProc(dialog, message, wParam, lParam);
}

// The explorer-style hook: a child dialog of the real one, told when the layout is done.
UINT_PTR CALLBACK DialogHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* request = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    SetWindowLongPtrW(child, DWLP_USER, static_cast<LONG_PTR>(request->lCustData));
  } else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
    const HWND dialog = GetParent(child);
    PlaceDialog(dialog, reinterpret_cast<HWND>(GetWindowLongPtrW(child, DWLP_USER)));
    SetWindowSubclass(dialog, &OverlongPathGuard, 0, 0);
  }
  return 0;
}

}  // namespace

bool OpenDialog::Execute(HWND owner) {
  std::array<wchar_t, kFileNameCapacity> buffer = fileName_;
  const HWND active = GetActiveWindow();

  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = kFilter;
  request.nFilterIndex = 1;
  request.lpstrFile = buffer.data();
  request.nMaxFile = static_cast<DWORD>(buffer.size());
  // No existence checks and no OFN_NOCHANGEDIR: the current directory follows the choice.
  request.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_ENABLEHOOK;
  request.lpfnHook = &DialogHook;
  request.lCustData = reinterpret_cast<LPARAM>(active ? active : owner);

  if (!GetOpenFileNameW(&request)) return false;
  fileName_ = buffer;
  // The batch writes under bare names into the current directory, which must be the chosen
  // file's folder. Not every dialog moves it there for a typed path, so it is set here; a
  // folder that does not exist leaves it where it was.
  const std::wstring folder(buffer.data(), request.nFileOffset);
  SetCurrentDirectoryW(folder.c_str());
  return true;
}

}  // namespace orlaspin::app
