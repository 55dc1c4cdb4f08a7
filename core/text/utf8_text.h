// UTF-8 text as characters and back, for drawing names and writing them into web pages.
#pragma once

#include <string>
#include <string_view>

namespace orlaspin {

inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// The characters of UTF-8 text. A byte that does not start a well-formed sequence (a stray
// continuation, an overlong form, a surrogate, a code point above U+10FFFF, a sequence cut short)
// becomes one replacement character, and decoding goes on at the next byte.
std::u32string DecodeUtf8(std::string_view text);

// Appends the UTF-8 form of c, a code point of at most U+10FFFF that is no surrogate.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace orlaspin
