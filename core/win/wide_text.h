// The two conversions between the core's UTF-8 text and Windows' wide strings.
#pragma once

#include <string>
#include <string_view>

namespace orlaspin {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace orlaspin
