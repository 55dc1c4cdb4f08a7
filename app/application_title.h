// The title that captions the program's boxes and its taskbar entry.
#pragma once

#include <string>
#include <string_view>

namespace orlaspin::app {

// From the program file's full path: the part after the last backslash, cut before its first
// full stop, every character after the first in lower case (C:\X\SCREENS.V2.EXE gives Screens).
std::wstring TitleFromProgramPath(std::wstring_view path);

// The title of this process's own program file.
std::wstring ApplicationTitle();

}  // namespace orlaspin::app
