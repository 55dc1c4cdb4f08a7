// The conversions between the core's text and Windows' wide strings.
#pragma once

#include <string>
#include <string_view>

namespace orlaspin {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Bytes as characters of the system's ANSI code page, as catalogue names are taken.
std::wstring WidenAnsi(std::string_view bytes);

}  // namespace orlaspin
