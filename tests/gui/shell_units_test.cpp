// The Windows shell's pure parts: the title rule, display scaling, the simple message box's
// layout and the grid's geometry and navigation, each against values worked out by hand.
#include <gtest/gtest.h>
#include <windows.h>

#include "application_title.h"
#include "display_scale.h"
#include "grid_geometry.h"
#include "notice_layout.h"

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
  const NoticeLayout wide = LayOutNotice(100, 16, 10);
  EXPECT_EQ(wide.text, (DialogUnitRect{8, 8, 100, 16}));
  EXPECT_EQ(wide.button, (DialogUnitRect{33, 34, 50, 14}));
  EXPECT_EQ(wide.width, 116);
  EXPECT_EQ(wide.height, 56);

  // A text narrower than the button: the button decides the width.
  const NoticeLayout narrow = LayOutNotice(20, 8, 10);
  EXPECT_EQ(narrow.width, 66);
  EXPECT_EQ(narrow.button.x, 8);

  // A caption that needs more than 50 units widens the button.
  EXPECT_EQ(LayOutNotice(20, 8, 60).button.width, 68);
}

TEST(NoticeLayout, DialogUnitsGiveBackAtLeastTheMeasuredPixels) {
  // The dialog manager maps units to pixels as MulDiv(units, base, 4) and MulDiv(units, base, 8).
  for (const DialogBaseUnits units :
       {DialogBaseUnits{6, 13}, DialogBaseUnits{7, 16}, DialogBaseUnits{9, 19}}) {
    for (int pixels = 0; pixels <= 700; ++pixels) {
      const int x = PixelsToDialogUnitsX(pixels, units);
      const int y = PixelsToDialogUnitsY(pixels, units);
      ASSERT_GE(MulDiv(x, units.x, 4), pixels);
      ASSERT_GE(MulDiv(y, units.y, 8), pixels);
      ASSERT_LT(MulDiv(x - 1, units.x, 4), pixels + units.x) << "more than one unit too wide";
    }
  }
}

using grid::Cell;
using grid::Key;
using grid::Metrics;

TEST(GridGeometry, CellsAre64By16WithALineRightAndBelow) {
  const Metrics m;
  EXPECT_EQ(grid::CellRect(m, {0, 0}, 0), (Rect{0, 0, 64, 16}));
  EXPECT_EQ(grid::CellRect(m, {2, 3}, 0), (Rect{130, 51, 194, 67}));
  EXPECT_EQ(grid::CellRect(m, {2, 3}, 2), (Rect{130, 17, 194, 33})) << "rows above the first shown move up";
  EXPECT_EQ(grid::BlockRect(m, {{1, 1}, {2, 2}}, 0), (Rect{65, 17, 195, 51}));
}

TEST(GridGeometry, FindsTheCellUnderAPointIncludingItsLines) {
  const Metrics m;
  EXPECT_EQ(grid::CellAt(m, 128, 0, 0, 0), (Cell{0, 0}));
  EXPECT_EQ(grid::CellAt(m, 128, 0, 64, 16), (Cell{0, 0})) << "the lines belong to the cell before them";
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
