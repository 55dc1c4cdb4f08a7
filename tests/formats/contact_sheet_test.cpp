#include "export/contact_sheet.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "encoders/bitmap_font.h"

namespace orlaspin::testing {
namespace {

Picture Filled(int width, int height, Colour colour) {
  return {width, height, std::vector<Colour>(static_cast<std::size_t>(width) * height, colour)};
}

Colour At(const Picture& picture, int x, int y) {
  return picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
}

// "" when the width x height block at (x, y) is all colour, else the first pixel that is not.
std::string DifferenceFromBlock(const Picture& picture, int x, int y, int width, int height,
                                Colour colour) {
  if (x < 0 || y < 0 || x + width > picture.width || y + height > picture.height) {
    return "outside the picture";
  }
  for (int row = y; row < y + height; ++row) {
    for (int column = x; column < x + width; ++column) {
      if (At(picture, column, row) != colour) {
        return "(" + std::to_string(column) + ", " + std::to_string(row) + ")";
      }
    }
  }
  return "";
}

// "" when the page shows text with its first cell at (x, y) on the sheet's paper.
std::string DifferenceFromText(const Picture& page, int x, int y, std::u32string_view text,
                               Colour ink) {
  const int width = static_cast<int>(text.size()) * 8;
  for (int row = 0; row < 8; ++row) {
    for (int column = 0; column < width; ++column) {
      const bool inked = (GlyphOf(text[column / 8])[row] >> (7 - column % 8)) & 1;
      if (x + column >= page.width || y + row >= page.height) return "outside the page";
      if (At(page, x + column, y + row) != (inked ? ink : kSheetPaper)) {
        return "(" + std::to_string(x + column) + ", " + std::to_string(y + row) + ")";
      }
    }
  }
  return "";
}

TEST(Thumbnail, HalvesAStandardScreenByMeansOfTwoByTwoBlocksRoundedHalfUp) {
  Picture screen{256, 192, {}};
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      screen.pixels.push_back(MakeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                         static_cast<std::uint8_t>((x * 7 + y * 3) % 251)));
    }
  }
  const Picture thumbnail = Thumbnail(screen, 128, 96);
  ASSERT_EQ(thumbnail.width, 128);
  ASSERT_EQ(thumbnail.height, 96);
  for (int y = 0; y < 96; ++y) {
    for (int x = 0; x < 128; ++x) {
      // Red: x*2 and x*2+1 twice: mean 2x+0.5, rounded up. Green likewise 2y+1.
      int blue = 0;
      for (const int dy : {0, 1}) {
        for (const int dx : {0, 1}) blue += ((2 * x + dx) * 7 + (2 * y + dy) * 3) % 251;
      }
      const Colour want =
          MakeColour(static_cast<std::uint8_t>(2 * x + 1), static_cast<std::uint8_t>(2 * y + 1),
                     static_cast<std::uint8_t>((blue + 2) / 4));
      ASSERT_EQ(At(thumbnail, x, y), want) << "(" << x << ", " << y << ")";
    }
  }
}

TEST(Thumbnail, KeepsTheShapeOfOtherSizesAndLeavesSmallPicturesAlone) {
  const Colour colour = MakeColour(10, 200, 30);
  const struct {
    int width, height, thumbWidth, thumbHeight;
  } cases[] = {
      {384, 304, 121, 96},  // a border screen: 384 * 96 / 304 = 121.3
      {512, 384, 128, 96},  // a Timex high-resolution screen
      {100, 400, 24, 96},   // tall
      {1000, 3, 128, 1},    // a sliver keeps a row
      {128, 96, 128, 96},   // fits exactly
  };
  for (const auto& c : cases) {
    const Picture thumbnail = Thumbnail(Filled(c.width, c.height, colour), 128, 96);
    EXPECT_EQ(thumbnail.width, c.thumbWidth) << c.width << "x" << c.height;
    EXPECT_EQ(thumbnail.height, c.thumbHeight) << c.width << "x" << c.height;
    EXPECT_EQ(DifferenceFromBlock(thumbnail, 0, 0, thumbnail.width, thumbnail.height, colour), "");
  }
  Picture small = Filled(40, 30, colour);
  small.pixels[7] = kBlack;
  const Picture same = Thumbnail(small, 128, 96);
  EXPECT_EQ(same.width, 40);
  EXPECT_EQ(same.pixels, small.pixels);
}

// Pages of three cells a row: 8 + 3 * (32 + 8) - 8 + 8 = 128 <= 130 < 168 for four. A cell is
// 24 + 2 + 8 = 34 high, a heading 8 + 4 = 12. A page of 110 holds a heading and two rows:
// 8 + 12 + 34 + 8 + 34 + 8 = 104.
constexpr SheetLayout kSmallPages{32, 24, 130, 110};

struct Placed {
  int page, x, y;  // the thumbnail box's top left
};

TEST(ContactSheet, FillsRowsAndPagesAndCarriesHeadingsOver) {
  ContactSheet sheet(kSmallPages);
  std::vector<Colour> colours;
  const auto add = [&](std::string_view name) {
    colours.push_back(MakeColour(static_cast<std::uint8_t>(20 * colours.size()), 50, 200));
    sheet.AddScreen(name, Filled(64, 48, colours.back()));
  };
  sheet.StartGroup("A");
  for (const char* name : {"A0", "A1", "A2", "A3", "A4"}) add(name);
  sheet.StartGroup("NOTHING");  // no screens: takes no room
  sheet.StartGroup("DISK_B");
  add("B0");
  sheet.StartGroup("C");
  for (const char* name : {"C0", "C1", "C2", "C3", "C4", "C5", "C6"}) add(name);
  std::vector<Picture> pages = sheet.TakeFullPages();
  ASSERT_EQ(pages.size(), 3u);
  for (Picture& page : sheet.Finish()) pages.push_back(std::move(page));
  ASSERT_EQ(pages.size(), 4u);

  // Rows start at 8 + 12 = 20 under a page's first heading, then every 34 + 8 = 42. Group A
  // fills page 0. Heading B would start at 20 + 42 + 42 + 8 = 112: page 1. Heading C would start
  // at 62 + 8 = 70, its row ending at 70 + 12 + 34 = 116 > 102: page 2. C6 needs a third row,
  // 104 + 34 > 102: page 3, under heading C again.
  const Placed placed[] = {
      {0, 8, 20}, {0, 48, 20}, {0, 88, 20}, {0, 8, 62}, {0, 48, 62},               // A
      {1, 8, 20},                                                                  // B
      {2, 8, 20}, {2, 48, 20}, {2, 88, 20}, {2, 8, 62}, {2, 48, 62}, {2, 88, 62},  // C
      {3, 8, 20},
  };
  const char* names[] = {"A0", "A1", "A2", "A3", "A4", "B0", "C0",
                         "C1", "C2", "C3", "C4", "C5", "C6"};
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const auto& [page, x, y] = placed[i];
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(DifferenceFromBlock(pages[page], x, y, 32, 24, colours[i]), "");
    EXPECT_EQ(At(pages[page], x - 1, y - 1), kSheetFrame);
    EXPECT_EQ(At(pages[page], x + 32, y + 24), kSheetFrame);
    // Two characters centred under the 32-pixel box.
    const std::u32string name = {static_cast<char32_t>(names[i][0]),
                                 static_cast<char32_t>(names[i][1])};
    EXPECT_EQ(DifferenceFromText(pages[page], x + 8, y + 26, name, kSheetText), "");
  }
  EXPECT_EQ(DifferenceFromText(pages[0], 8, 8, U"A", kSheetHeading), "");
  EXPECT_EQ(DifferenceFromText(pages[1], 8, 8, U"DISK_B", kSheetHeading), "");
  EXPECT_EQ(DifferenceFromText(pages[2], 8, 8, U"C", kSheetHeading), "");
  EXPECT_EQ(DifferenceFromText(pages[3], 8, 8, U"C", kSheetHeading), "");

  // Each page is cut to its content and the margin: full rows 128 wide, page 1 as wide as its
  // heading (8 + 48 + 8), page 3 as its cell (8 + 32 + 8).
  const std::pair<int, int> sizes[] = {{128, 104}, {64, 62}, {128, 104}, {48, 62}};
  for (std::size_t page = 0; page < pages.size(); ++page) {
    EXPECT_EQ(pages[page].width, sizes[page].first) << "page " << page;
    EXPECT_EQ(pages[page].height, sizes[page].second) << "page " << page;
    EXPECT_EQ(pages[page].pixels.size(), std::size_t(sizes[page].first) * sizes[page].second);
    EXPECT_EQ(At(pages[page], pages[page].width - 1, pages[page].height - 1), kSheetPaper);
  }
}

TEST(ContactSheet, BreaksThePageExactlyWhereTheNextRowStopsFitting) {
  // After one row (top 20), a second row of the group ends at 62 + 34 and needs 96 + 8 = 104; a
  // new group's heading begins a gap further down, at 62 + 8, and its row ends at 70 + 12 + 34,
  // needing 116 + 8 = 124.
  const struct {
    int pageHeight;
    bool newGroup;
    std::size_t pages;
  } cases[] = {{104, false, 1}, {103, false, 2}, {124, true, 1}, {123, true, 2}};
  for (const auto& c : cases) {
    ContactSheet sheet(SheetLayout{32, 24, 48, c.pageHeight});  // one cell to a row
    sheet.StartGroup("A");
    sheet.AddScreen("1", Filled(32, 24, kBlack));
    if (c.newGroup) sheet.StartGroup("B");
    sheet.AddScreen("2", Filled(32, 24, kBlack));
    const std::vector<Picture> pages = sheet.Finish();
    ASSERT_EQ(pages.size(), c.pages) << c.pageHeight;
    if (c.pages == 1) {
      EXPECT_EQ(pages[0].height, c.pageHeight);
      const int secondRow = c.newGroup ? 82 : 62;
      EXPECT_EQ(At(pages[0], 7, secondRow - 1), kSheetFrame);
      if (c.newGroup) {
        EXPECT_EQ(DifferenceFromText(pages[0], 8, 70, U"B", kSheetHeading), "");
      }
    }
  }
}

TEST(ContactSheet, CentresOddShapesAndElidesLongText) {
  ContactSheet sheet(kSmallPages);
  // 130 - 16 leaves 14 characters of heading: the end is kept.
  sheet.StartGroup("/very/long/path/DISK.trd");
  const Colour tall = MakeColour(200, 0, 0), small = MakeColour(0, 0, 200);
  sheet.AddScreen("ABCDEFGH", Filled(16, 48, tall));  // 8 x 24 in the box
  sheet.AddScreen("", Filled(10, 10, small));         // as it is
  sheet.AddScreen("\xCF\xD0", Filled(0, 0, kBlack));  // nothing to show but its name
  const std::vector<Picture> pages = sheet.Finish();
  ASSERT_EQ(pages.size(), 1u);
  const Picture& page = pages[0];

  EXPECT_EQ(DifferenceFromText(page, 8, 8, U"…path/DISK.trd", kSheetHeading), "");
  EXPECT_EQ(page.width, 8 + 14 * 8 + 8);
  EXPECT_EQ(DifferenceFromBlock(page, 8 + 12, 20, 8, 24, tall), "");
  EXPECT_EQ(At(page, 8 + 11, 20), kSheetFrame);
  EXPECT_EQ(At(page, 8 + 10, 20), kSheetPaper);
  // A label keeps both its ends.
  EXPECT_EQ(DifferenceFromText(page, 8, 46, U"A…GH", kSheetText), "");
  EXPECT_EQ(DifferenceFromBlock(page, 48 + 11, 20 + 7, 10, 10, small), "");
  EXPECT_EQ(DifferenceFromBlock(page, 88, 20, 32, 24, kSheetPaper), "");
  // Bytes that are no UTF-8 each show the hatched box.
  EXPECT_EQ(DifferenceFromText(page, 88 + 8, 46, U"\uFFFD\uFFFD", kSheetText), "");
}

TEST(ContactSheet, DefaultPagesHoldElevenColumnsOfTenRows) {
  // 8 + 11 * 136 - 8 + 8 = 1504 <= 1600; 8 + 12 + 10 * 106 + 9 * 8 + 8 = 1160 <= 1200.
  ContactSheet sheet;
  sheet.StartGroup("BIG.TRD");
  for (int i = 0; i < 250; ++i) {
    sheet.AddScreen(std::to_string(i), Filled(256, 192, MakeColour(0, 0, i % 256)));
  }
  std::vector<Picture> pages = sheet.TakeFullPages();
  EXPECT_EQ(pages.size(), 2u);
  for (Picture& page : sheet.Finish()) pages.push_back(std::move(page));
  ASSERT_EQ(pages.size(), 3u);  // 110 + 110 + 30
  EXPECT_EQ(pages[0].width, 1504);
  EXPECT_EQ(pages[0].height, 1160);
  EXPECT_EQ(pages[2].width, 1504);
  EXPECT_EQ(pages[2].height, 8 + 12 + 3 * 106 + 2 * 8 + 8);
  // Screen 249 is the 30th of the last page: row 2, column 7.
  EXPECT_EQ(
      DifferenceFromBlock(pages[2], 8 + 7 * 136, 20 + 2 * 114, 128, 96, MakeColour(0, 0, 249)), "");
  EXPECT_TRUE(sheet.Finish().empty());
}

TEST(ContactSheet, RefusesLayoutsThatCannotHoldARowAndPicturesOfTheWrongSize) {
  EXPECT_THROW(ContactSheet(SheetLayout{15, 96, 1600, 1200}), std::invalid_argument);
  EXPECT_THROW(ContactSheet(SheetLayout{32, 24, 47, 110}), std::invalid_argument);
  EXPECT_THROW(ContactSheet(SheetLayout{32, 24, 48, 61}), std::invalid_argument);
  EXPECT_NO_THROW(ContactSheet(SheetLayout{32, 24, 48, 62}));  // 8 + 12 + 34 + 8

  ContactSheet sheet(kSmallPages);
  Picture wrong = Filled(4, 4, kWhite);
  wrong.pixels.pop_back();
  EXPECT_THROW(sheet.AddScreen("X", wrong), std::invalid_argument);
  EXPECT_TRUE(sheet.Finish().empty());
}

TEST(SheetPagePath, NumbersBeforeTheExtensionOfTheFileOnly) {
  EXPECT_EQ(SheetPagePath("out/sheet.png", 2), "out/sheet-002.png");
  EXPECT_EQ(SheetPagePath("sheet", 1), "sheet-001");
  EXPECT_EQ(SheetPagePath("a.b/sheet", 12), "a.b/sheet-012");
  EXPECT_EQ(SheetPagePath("C:\\x.y\\s.png", 7), "C:\\x.y\\s-007.png");
  EXPECT_EQ(SheetPagePath("many.tar.png", 1234), "many.tar-1234.png");
}

}  // namespace
}  // namespace orlaspin::testing
