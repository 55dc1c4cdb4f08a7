#include "text/utf8_text.h"

#include <gtest/gtest.h>

namespace orlaspin::testing {
namespace {

constexpr char32_t kBad = U'\uFFFD';

TEST(DecodeUtf8, ReadsSequencesOfEveryLength) {
  EXPECT_EQ(DecodeUtf8("A\xD0\x96\xE2\x80\xA6\xF0\x9F\x98\x80z"),
            (std::u32string{U'A', U'Ж', U'…', U'\U0001F600', U'z'}));
  EXPECT_EQ(DecodeUtf8(""), U"");
}

TEST(DecodeUtf8, EachByteOfAnIllFormedSequenceBecomesOneReplacement) {
  const struct {
    std::string_view bytes;
    std::u32string characters;
  } cases[] = {
      {"\x80"
       "A",
       {kBad, U'A'}},                                  // a stray continuation
      {"\xC0\x80", {kBad, kBad}},                      // an overlong zero
      {"\xE0\x9F\xBF", {kBad, kBad, kBad}},            // overlong U+07FF
      {"\xED\xA0\x80", {kBad, kBad, kBad}},            // a surrogate
      {"\xF4\x90\x80\x80", {kBad, kBad, kBad, kBad}},  // above U+10FFFF
      {"\xE2\x80", {kBad, kBad}},                      // cut short by the end
      {"\xE2\x80"
       "A",
       {kBad, kBad, U'A'}},                  // cut short by a letter
      {"\xFF\xFE", {kBad, kBad}},            // bytes UTF-8 never uses
      {"\xCF\xD0\xC8", {kBad, kBad, kBad}},  // a Windows-1251 name
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeUtf8(c.bytes), c.characters) << ::testing::PrintToString(c.bytes);
  }
}

TEST(AppendUtf8, WritesTheShortestFormAtEachLengthBoundary) {
  const struct {
    char32_t c;
    std::string_view bytes;
  } cases[] = {
      {U'\x7F', "\x7F"},
      {U'\x80', "\xC2\x80"},
      {U'\u07FF', "\xDF\xBF"},
      {U'\u0800', "\xE0\xA0\x80"},
      {U'\uFFFF', "\xEF\xBF\xBF"},
      {U'\U00010000', "\xF0\x90\x80\x80"},
      {U'\U0010FFFF', "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : cases) {
    std::string out = "x";
    AppendUtf8(out, c.c);
    EXPECT_EQ(out.substr(1), c.bytes) << static_cast<std::uint32_t>(c.c);
    EXPECT_EQ(out.front(), 'x');
    EXPECT_EQ(DecodeUtf8(c.bytes), std::u32string(1, c.c));
  }
}

}  // namespace
}  // namespace orlaspin::testing
