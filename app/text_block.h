// A block of text that is drawn exactly where it was measured. Under Wine, ExtTextOut left to
// place glyphs itself can draw a Cyrillic line several pixels wider than every measuring call
// reports, so a box sized by measurement loses the end of its text. Here each character's advance
// is measured once, lines are broken from those advances, and every glyph is drawn at its
// measured place.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlaspin::app {

// One line of the block: the characters [begin, end) of the text, where each is drawn (its
// advance; a tab's reaches the next tab stop) and the line's width without trailing spaces.
struct TextLine {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::vector<int> advances;
  int width = 0;
};

// Breaks text into lines: a carriage return, a line feed or the pair ends a line; a line longer
// than maxWidth is wrapped after its last space that fits (the spaces at the break are dropped),
// and a single word longer than maxWidth is broken between characters. Tabs stop at multiples of
// tabWidth. advances[i] is the font's advance of text[i]. Every line holds at least one character
// unless its paragraph is empty; empty text gives no lines.
std::vector<TextLine> LayOutText(std::wstring_view text, std::span<const int> advances,
                                 int maxWidth, int tabWidth);

class TextBlock {
 public:
  // Measures text in font, wrapped to maxWidth, as the dialog manager's DT_EXPANDTABS would
  // (tab stops every 8 average character widths).
  TextBlock(std::wstring text, HFONT font, int maxWidth);

  // The block's size: the widest line by the lines' height.
  SIZE Size() const;
  // Draws the block with its top left at (left, top) in the text colour and mode of dc.
  void Draw(HDC dc, int left, int top) const;

 private:
  std::wstring text_;
  HFONT font_;
  int lineHeight_ = 0;
  std::vector<TextLine> lines_;
};

}  // namespace orlaspin::app
