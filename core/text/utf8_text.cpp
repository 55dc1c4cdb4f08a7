#include "text/utf8_text.h"

#include <cstdint>

namespace orlaspin {
namespace {

constexpr bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the sequence a lead byte starts and the smallest code point that length may
// carry; a length of 0 for bytes that start none.
struct Lead {
  int length;
  char32_t smallest;
  char32_t bits;
};

constexpr Lead LeadOf(std::uint8_t byte) {
  if (byte < 0x80) return {1, 0, byte};
  if ((byte & 0xE0) == 0xC0) return {2, 0x80, byte & 0x1Fu};
  if ((byte & 0xF0) == 0xE0) return {3, 0x800, byte & 0x0Fu};
  if ((byte & 0xF8) == 0xF0) return {4, 0x10000, byte & 0x07u};
  return {0, 0, 0};
}

constexpr bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string characters;
  characters.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const Lead lead = LeadOf(static_cast<std::uint8_t>(text[at]));
    char32_t c = lead.bits;
    int taken = 1;
    while (lead.length > taken && at + taken < text.size() &&
           IsContinuation(static_cast<std::uint8_t>(text[at + taken]))) {
      c = (c << 6) | (static_cast<std::uint8_t>(text[at + taken]) & 0x3Fu);
      ++taken;
    }
    const bool wellFormed =
        lead.length == taken && c >= lead.smallest && c <= 0x10FFFF && !IsSurrogate(c);
    characters += wellFormed ? c : kReplacementCharacter;
    at += wellFormed ? taken : 1;
  }
  return characters;
}

void AppendUtf8(std::string& out, char32_t c) {
  const auto put = [&out](char32_t bits) { out += static_cast<char>(bits); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | (c >> 6));
    put(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    put(0xE0 | (c >> 12));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  } else {
    put(0xF0 | (c >> 18));
    put(0x80 | ((c >> 12) & 0x3F));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  }
}

}  // namespace orlaspin
