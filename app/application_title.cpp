#include "application_title.h"

#include <windows.h>

#include <vector>

#include "window_base.h"

namespace orlaspin::app {

std::wstring TitleFromProgramPath(std::wstring_view path) {
  const std::size_t slash = path.rfind(L'\\');
  std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  name = name.substr(0, name.find(L'.'));
  std::wstring title(name);
  if (title.size() > 1) CharLowerBuffW(title.data() + 1, static_cast<DWORD>(title.size() - 1));
  return title;
}

std::wstring ApplicationTitle() {
  // Long enough for any path the system gives a module.
  std::vector<wchar_t> buffer(32768);
  const DWORD length =
      GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0) RaiseLastError("GetModuleFileNameW");
  return TitleFromProgramPath(std::wstring_view(buffer.data(), length));
}

}  // namespace orlaspin::app
