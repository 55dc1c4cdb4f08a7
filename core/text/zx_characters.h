// The one reading of ZX and TR-DOS name bytes as Unicode text, the same on every build.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace orlaspin {

// Bytes 0x00-0x7F are ASCII (control bytes stay control characters); 0x80-0xFF are Windows-1251,
// the code page of Russian Spectrum software, which has no character at 0x98: it reads as "_".
extern const std::array<char32_t, 256> kZxCharacters;

// The bytes of a name as UTF-8 text, each byte one character of kZxCharacters.
std::string ZxText(std::string_view bytes);

}  // namespace orlaspin
