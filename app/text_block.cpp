#include "text_block.h"

#include <algorithm>
#include <utility>

#include "window_base.h"

namespace orlaspin::app {

namespace {

constexpr int kTabStopInAverageCharacters = 8;

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Where a paragraph that starts at begin ends, and where the next one starts.
std::pair<std::size_t, std::size_t> ParagraphFrom(std::wstring_view text, std::size_t begin) {
  std::size_t end = begin;
  while (end < text.size() && !IsLineBreak(text[end])) ++end;
  std::size_t next = end;
  if (next < text.size()) next += text.substr(next, 2) == L"\r\n" ? 2 : 1;
  return {end, next};
}

// Lays out [begin, paragraphEnd) from begin until the line is full; returns the line and where
// the next line of the paragraph starts.
std::pair<TextLine, std::size_t> NextLine(std::wstring_view text, std::span<const int> advances,
                                          std::size_t begin, std::size_t paragraphEnd, int maxWidth,
                                          int tabWidth) {
  TextLine line{begin, paragraphEnd, {}, 0};
  int x = 0;
  constexpr std::size_t kNoBreak = std::wstring_view::npos;
  std::size_t breakAt = kNoBreak;  // the first blank of the last run of blanks after a word
  int widthAtBreak = 0;
  for (std::size_t i = begin; i < paragraphEnd; ++i) {
    const wchar_t c = text[i];
    const int advance = c == L'\t' ? (x / tabWidth + 1) * tabWidth - x : advances[i];
    if (!IsBlank(c) && x + advance > maxWidth && i > begin) {
      if (breakAt == kNoBreak) {  // one word fills the line: break inside it
        line.end = i;
        return {std::move(line), i};
      }
      line.end = breakAt;
      line.width = widthAtBreak;
      line.advances.resize(breakAt - begin);
      std::size_t next = breakAt;
      while (next < paragraphEnd && IsBlank(text[next])) ++next;
      return {std::move(line), next};
    }
    if (IsBlank(c) && i > begin && !IsBlank(text[i - 1])) {
      breakAt = i;
      widthAtBreak = x;
    }
    line.advances.push_back(advance);
    x += advance;
    if (!IsBlank(c)) line.width = x;
  }
  return {std::move(line), paragraphEnd};
}

}  // namespace

std::vector<TextLine> LayOutText(std::wstring_view text, std::span<const int> advances,
                                 int maxWidth, int tabWidth) {
  std::vector<TextLine> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const auto [paragraphEnd, nextParagraph] = ParagraphFrom(text, begin);
    std::size_t lineBegin = begin;
    do {
      auto [line, next] = NextLine(text, advances, lineBegin, paragraphEnd, maxWidth, tabWidth);
      lines.push_back(std::move(line));
      lineBegin = next;
    } while (lineBegin < paragraphEnd);
    begin = nextParagraph;
  }
  return lines;
}

TextBlock::TextBlock(std::wstring text, HFONT font, int maxWidth)
    : text_(std::move(text)), font_(font) {
  const HDC screen = GetDC(nullptr);
  if (!screen) RaiseLastError("GetDC");
  const HGDIOBJ old = SelectObject(screen, font_);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  lineHeight_ = metrics.tmHeight;
  // Cumulative extents: each character's advance is the step from the one before.
  std::vector<int> advances(text_.size());
  SIZE whole{};
  const bool measured =
      text_.empty() || GetTextExtentExPointW(screen, text_.c_str(), static_cast<int>(text_.size()),
                                             0, nullptr, advances.data(), &whole);
  const DWORD measureError = GetLastError();
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  if (!measured) {
    SetLastError(measureError);
    RaiseLastError("GetTextExtentExPointW");
  }
  for (std::size_t i = advances.size(); i-- > 1;) advances[i] -= advances[i - 1];
  lines_ = LayOutText(
      text_, advances, maxWidth,
      std::max(1, kTabStopInAverageCharacters * static_cast<int>(metrics.tmAveCharWidth)));
}

SIZE TextBlock::Size() const {
  int width = 0;
  for (const TextLine& line : lines_) width = std::max(width, line.width);
  return {width, lineHeight_ * static_cast<int>(lines_.size())};
}

void TextBlock::Draw(HDC dc, int left, int top) const {
  const HGDIOBJ old = SelectObject(dc, font_);
  int y = top;
  for (const TextLine& line : lines_) {
    std::wstring glyphs = text_.substr(line.begin, line.end - line.begin);
    std::replace(glyphs.begin(), glyphs.end(), L'\t', L' ');  // a tab's glyph is a box
    ExtTextOutW(dc, left, y, 0, nullptr, glyphs.c_str(), static_cast<UINT>(glyphs.size()),
                line.advances.data());
    y += lineHeight_;
  }
  SelectObject(dc, old);
}

}  // namespace orlaspin::app
