#include "open_dialog.h"

#include <commdlg.h>

#include <algorithm>

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

// The explorer-style hook: a child dialog of the real one, told when the layout is done.
UINT_PTR CALLBACK PlacementHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* request = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    SetWindowLongPtrW(child, DWLP_USER, static_cast<LONG_PTR>(request->lCustData));
  } else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
    PlaceDialog(GetParent(child), reinterpret_cast<HWND>(GetWindowLongPtrW(child, DWLP_USER)));
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
  request.lpfnHook = &PlacementHook;
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
