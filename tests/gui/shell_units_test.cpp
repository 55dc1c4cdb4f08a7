// The Windows shell's pure parts: the title rule, display scaling, text layout, the simple
// message box's layout and the grid's geometry and navigation, each against values worked out by
// hand.
#include <gtest/gtest.h>
#include <windows.h>

#include "application_title.h"
#include "display_scale.h"
#include "grid_geometry.h"
#include "notice_layout.h"
#include "text_block.h"

namespace orlaspin::app {
namespace {

TEST(ApplicationTitle, KeepsTheFileNameBeforeItsFirstFullStopInTitleCase) {
  EXPECT_EQ(TitleFromProgramPath(L"C:\\Games\\SCREENS.V2.EXE"), L"Screens");
  EXPECT_EQ(TitleFromProgramPath(L"D:\\tools.old\\ORLASPIN"), L"Orlaspin")
      << "a dot in a folder does not count";
  EXPECT_EQ(TitleFromProgramPath(L"C:\\x\\orlaSPIN.exe"), L"orlaspin")
      << "the first character keeps its case";
  EXPECT_EQ(TitleFromProgramPath(L"C:\\x\\ЗАСТАВКИ.EXE"), L"Заставки");
  EXPECT_EQ(TitleFromProgramPath(L"C:\\x\\.hidden"), L"");
  EXPECT_EQ(TitleFromProgramPath(L"Q"), L"Q");
}

TEST(DisplayScale, RoundsToTheNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRounded(5, 3, 2), 8);
  EXPECT_EQ(MulDivRounded(-5, 3, 2), -8);
  EXPECT_EQ(MulDivRounded(7, 1, 3), 2);
  EXPECT_EQ(MulDivRounded(726, 16, 13), 894);  // 893.54
  EXPECT_EQ(FontHeightFor(-11, 96), -11);
  EXPECT_EQ(FontHeightFor(-11, 120), -14);  // -13.75
  EXPECT_EQ(FontHeightFor(-11, 144), -17);  // -16.5
}

TEST(DisplayScale, ScalesOnlyOnAnotherResolutionWithAnotherTextHeight) {
  EXPECT_TRUE(DisplayScale::For(96, 16).IsIdentity()) << "96 pixels per inch is the design";
  EXPECT_TRUE(DisplayScale::For(120, 13).IsIdentity()) << "the same text height needs no scaling";
  const DisplayScale scale = DisplayScale::For(120, 16);
  EXPECT_FALSE(scale.IsIdentity());
  EXPECT_EQ(scale.Apply(726), 894);
  EXPECT_EQ(scale.Apply(208), 256);
  // Each edge on its own: Image1 (360, 8)-(616, 200) keeps a width of 315 or 316.
  EXPECT_EQ(scale.Apply(Rect{360, 8, 616, 200}), (Rect{443, 10, 758, 246}));
}

TEST(NoticeLayout, PutsTheTextInsideTheMarginAndTheButtonCentredBelowIt) {
  // Base units 6 × 13: margins of 8 units are 12 and 13 pixels, the button 50 × 14 units is
  // 75 × 23 (22.75), the gap of 10 units 16 (16.25).
  const DialogBaseUnits base{6, 13};
  const NoticeLayout wide = LayOutNotice(300, 13, 12, base);
  EXPECT_EQ(wide.text, (Rect{12, 13, 312, 26}));
  EXPECT_EQ(wide.button, (Rect{124, 42, 199, 65}));
  EXPECT_EQ(wide.width, 324);
  EXPECT_EQ(wide.height, 78);

  // A text narrower than the button: the button decides the width.
  const NoticeLayout narrow = LayOutNotice(20, 26, 12, base);
  EXPECT_EQ(narrow.width, 99);
  EXPECT_EQ(narrow.button.left, 12);
  EXPECT_EQ(narrow.button.top, 13 + 26 + 16);

  // A caption that needs more than 75 pixels widens the button: 4 units (6 pixels) each side.
  EXPECT_EQ(LayOutNotice(20, 13, 80, base).button.Width(), 92);

  // Units round to the nearest pixel, halves away from zero: 50 × 7 / 4 = 87.5.
  const NoticeLayout larger = LayOutNotice(100, 16, 12, DialogBaseUnits{7, 16});
  EXPECT_EQ(larger.text, (Rect{14, 16, 114, 32}));
  EXPECT_EQ(larger.button.Width(), 88);
  EXPECT_EQ(larger.button.Height(), 28);
  EXPECT_EQ(larger.height, 16 + 16 + 20 + 28 + 16);
}

// Every character 10 pixels wide.
std::vector<int> Even(std::wstring_view text) { return std::vector<int>(text.size(), 10); }

struct LineOf {
  std::wstring text;
  int width;
  bool operator==(const LineOf&) const = default;
};

std::vector<LineOf> Lines(std::wstring_view text, int maxWidth, int tabWidth = 80) {
  std::vector<LineOf> lines;
  for (const TextLine& line : LayOutText(text, Even(text), maxWidth, tabWidth)) {
    EXPECT_EQ(line.advances.size(), line.end - line.begin);
    lines.push_back({std::wstring(text.substr(line.begin, line.end - line.begin)), line.width});
  }
  return lines;
}

TEST(TextLayout, WrapsAfterTheLastSpaceThatFitsAndDropsTheSpacesAtTheBreak) {
  EXPECT_EQ(Lines(L"ab cd ef", 50), (std::vector<LineOf>{{L"ab cd", 50}, {L"ef", 20}}));
  EXPECT_EQ(Lines(L"ab   cd", 40), (std::vector<LineOf>{{L"ab", 20}, {L"cd", 20}}));
  // A line exactly as wide as the room stays whole: the count is not pushed to a line of its own.
  EXPECT_EQ(Lines(L"файлов: 90", 100), (std::vector<LineOf>{{L"файлов: 90", 100}}));
  EXPECT_EQ(Lines(L"файлов: 90", 99), (std::vector<LineOf>{{L"файлов:", 70}, {L"90", 20}}));
  // Trailing spaces take no width; leading ones are kept.
  EXPECT_EQ(Lines(L"  ab  ", 200), (std::vector<LineOf>{{L"  ab  ", 40}}));
}

TEST(TextLayout, HonoursEveryLineBreakAndBreaksAWordWiderThanTheRoom) {
  EXPECT_EQ(Lines(L"a\r\nb\rc\n\nd", 100),
            (std::vector<LineOf>{{L"a", 10}, {L"b", 10}, {L"c", 10}, {L"", 0}, {L"d", 10}}));
  EXPECT_EQ(Lines(L"abcdefgh", 30), (std::vector<LineOf>{{L"abc", 30}, {L"def", 30}, {L"gh", 20}}));
  EXPECT_EQ(Lines(L"x abcdefgh", 30),
            (std::vector<LineOf>{{L"x", 10}, {L"abc", 30}, {L"def", 30}, {L"gh", 20}}));
  EXPECT_TRUE(Lines(L"", 100).empty());
  EXPECT_EQ(Lines(L"\n", 100), (std::vector<LineOf>{{L"", 0}}));
}

TEST(TextLayout, ATabReachesTheNextTabStop) {
  const std::wstring text = L"a\tbcd\te";
  const std::vector<TextLine> lines = LayOutText(text, Even(text), 500, 40);
  ASSERT_EQ(lines.size(), 1u);
  // a at 0, tab to 40, bcd to 70, tab to 80, e to 90.
  EXPECT_EQ(lines[0].advances, (std::vector<int>{10, 30, 10, 10, 10, 10, 10}));
  EXPECT_EQ(lines[0].width, 90);
  // Measured from the start of its own line after a wrap.
  EXPECT_EQ(Lines(L"abcd ef\tg", 60, 40), (std::vector<LineOf>{{L"abcd", 40}, {L"ef\tg", 50}}));
}

using grid::Cell;
using grid::Key;
using grid::Metrics;

TEST(GridGeometry, CellsAre64By16WithALineRightAndBelow) {
  const Metrics m;
  EXPECT_EQ(grid::CellRect(m, {0, 0}, 0), (Rect{0, 0, 64, 16}));
  EXPECT_EQ(grid::CellRect(m, {2, 3}, 0), (Rect{130, 51, 194, 67}));
  EXPECT_EQ(grid::CellRect(m, {2, 3}, 2), (Rect{130, 17, 194, 33}))
      << "rows above the first shown move up";
  EXPECT_EQ(grid::BlockRect(m, {{1, 1}, {2, 2}}, 0), (Rect{65, 17, 195, 51}));
}

TEST(GridGeometry, FindsTheCellUnderAPointIncludingItsLines) {
  const Metrics m;
  EXPECT_EQ(grid::CellAt(m, 128, 0, 0, 0), (Cell{0, 0}));
  EXPECT_EQ(grid::CellAt(m, 128, 0, 64, 16), (Cell{0, 0}))
      << "the lines belong to the cell before them";
  EXPECT_EQ(grid::CellAt(m, 128, 0, 65, 17), (Cell{1, 1}));
  EXPECT_EQ(grid::CellAt(m, 128, 10, 324, 0), (Cell{4, 10}));
  EXPECT_FALSE(grid::CellAt(m, 128, 0, 325, 0)) << "beyond the fifth column";
  EXPECT_FALSE(grid::CellAt(m, 3, 0, 0, 3 * 17)) << "below the last row";
  EXPECT_FALSE(grid::CellAt(m, 128, 0, -1, 5));
}

TEST(GridGeometry, ScrollsOnlyWhileTheRowsDoNotFit) {
  const Metrics m;
  // 11 rows take 11 × 17 - 1 = 186 pixels: the last line may fall outside.
  EXPECT_EQ(grid::FullyVisibleRows(m, 189), 11);
  EXPECT_EQ(grid::FullyVisibleRows(m, 186), 11);
  EXPECT_EQ(grid::FullyVisibleRows(m, 185), 10);
  EXPECT_EQ(grid::FullyVisibleRows(m, 3), 1);
  EXPECT_FALSE(grid::NeedsScrollBar(m, 11, 189));
  EXPECT_TRUE(grid::NeedsScrollBar(m, 12, 189));
  EXPECT_EQ(grid::MaxTopRow(m, 128, 189), 117);
  EXPECT_EQ(grid::MaxTopRow(m, 5, 189), 0);
  EXPECT_EQ(grid::TopRowShowing(m, 20, 0, 128, 189), 10);
  EXPECT_EQ(grid::TopRowShowing(m, 5, 10, 128, 189), 5);
  EXPECT_EQ(grid::TopRowShowing(m, 12, 5, 128, 189), 5) << "a visible row needs no scrolling";
  EXPECT_EQ(grid::TopRowShowing(m, 127, 0, 128, 189), 117);
}

TEST(GridGeometry, NavigationKeysMoveTheCurrentCellInsideTheGrid) {
  EXPECT_EQ(grid::MoveCell({0, 0}, Key::Left, 5, 128, 11), (Cell{0, 0}));
  EXPECT_EQ(grid::MoveCell({0, 0}, Key::Up, 5, 128, 11), (Cell{0, 0}));
  EXPECT_EQ(grid::MoveCell({4, 3}, Key::Right, 5, 128, 11), (Cell{4, 3}));
  EXPECT_EQ(grid::MoveCell({2, 3}, Key::Down, 5, 128, 11), (Cell{2, 4}));
  EXPECT_EQ(grid::MoveCell({2, 3}, Key::PageDown, 5, 128, 11), (Cell{2, 14}));
  EXPECT_EQ(grid::MoveCell({2, 120}, Key::PageDown, 5, 128, 11), (Cell{2, 127}));
  EXPECT_EQ(grid::MoveCell({2, 5}, Key::PageUp, 5, 128, 11), (Cell{2, 0}));
  EXPECT_EQ(grid::MoveCell({2, 5}, Key::Home, 5, 128, 11), (Cell{0, 5}));
  EXPECT_EQ(grid::MoveCell({2, 5}, Key::End, 5, 128, 11), (Cell{4, 5}));
  EXPECT_EQ(grid::MoveCell({2, 5}, Key::FirstRow, 5, 128, 11), (Cell{2, 0}));
  EXPECT_EQ(grid::MoveCell({2, 5}, Key::LastRow, 5, 7, 11), (Cell{2, 6}));
  EXPECT_EQ(grid::MoveCell({0, 0}, Key::Down, 5, 1, 11), (Cell{0, 0})) << "a one-row grid";
}

TEST(GridGeometry, ABlockSpansTwoCornersInAnyOrder) {
  const grid::Block block = grid::BlockBetween({3, 1}, {1, 4});
  EXPECT_EQ(block.first, (Cell{1, 1}));
  EXPECT_EQ(block.last, (Cell{3, 4}));
  EXPECT_TRUE(block.Contains({1, 4}));
  EXPECT_TRUE(block.Contains({2, 2}));
  EXPECT_FALSE(block.Contains({0, 2}));
  EXPECT_FALSE(block.Contains({2, 5}));
}

}  // namespace
}  // namespace orlaspin::app
