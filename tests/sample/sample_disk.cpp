#include "sample_disk.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "encoders/bitmap_font.h"
#include "screens.h"

namespace orlaspin::sample {
namespace {

enum : std::uint8_t { kBlack, kBlue, kRed, kMagenta, kGreen, kCyan, kYellow, kWhite };

constexpr std::uint8_t Attr(int ink, int paper, bool bright = false, bool flash = false) {
  return static_cast<std::uint8_t>(ink | (paper << 3) | (bright ? 0x40 : 0) | (flash ? 0x80 : 0));
}

// Draws into a screen by pixel and by character cell.
class Canvas {
 public:
  explicit Canvas(std::uint8_t attribute) {
    std::fill(screen_.begin() + kPixelBytes, screen_.end(), attribute);
  }

  void Plot(int x, int y) {
    if (x >= 0 && x < 256 && y >= 0 && y < 192) testing::SetPixelBit(screen_, x, y, true);
  }

  void Paint(int column, int row, int columns, int rows, std::uint8_t attribute) {
    for (int r = row; r < row + rows; ++r) {
      for (int c = column; c < column + columns; ++c)
        screen_[testing::AttributeIndex(c, r)] = attribute;
    }
  }

  void Text(int column, int row, std::string_view text, std::uint8_t attribute) {
    for (const char c : text) {
      const Glyph& glyph = GlyphOf(static_cast<unsigned char>(c));
      for (int line = 0; line < 8; ++line)
        screen_[testing::PixelByteIndex(column * 8, row * 8 + line)] = glyph[line];
      screen_[testing::AttributeIndex(column++, row)] = attribute;
    }
  }

  // Sets the pixels of the cells given for which ink(x, y) holds.
  template <typename Ink>
  void Pattern(int column, int row, int columns, int rows, Ink ink) {
    for (int y = row * 8; y < (row + rows) * 8; ++y) {
      for (int x = column * 8; x < (column + columns) * 8; ++x) {
        if (ink(x, y)) Plot(x, y);
      }
    }
  }

  void Circle(int cx, int cy, int radius) {
    for (int step = 0; step < 2048; ++step) {
      const double angle = step * 2 * 3.14159265358979 / 2048;
      Plot(cx + static_cast<int>(std::lround(radius * std::cos(angle))),
           cy + static_cast<int>(std::lround(radius * std::sin(angle))));
    }
  }

  const ScreenBytes& Screen() const { return screen_; }

 private:
  ScreenBytes screen_{};
};

// The 4 x 4 ordered dither: a pixel is ink when its threshold lies below the level (0-16).
bool Dithered(int x, int y, int level) {
  static constexpr int kBayer[4][4] = {
      {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  return kBayer[y % 4][x % 4] < level;
}

std::string Digit(int n) { return std::string(1, static_cast<char>('0' + n)); }

}  // namespace

ScreenBytes TestCardScreen() {
  Canvas card(Attr(kWhite, kBlack));
  card.Paint(0, 0, 32, 1, Attr(kWhite, kBlue, true));
  card.Text(7, 0, "ORLASPIN TEST CARD", Attr(kWhite, kBlue, true));
  for (int bar = 0; bar < 8; ++bar) {
    const int colour = kWhite - bar;
    const int ink = colour >= kGreen ? kBlack : kWhite;
    card.Paint(bar * 4, 1, 4, 4, Attr(ink, colour));
    card.Paint(bar * 4, 5, 4, 4, Attr(ink, colour, true));
    card.Text(bar * 4, 4, Digit(colour), Attr(ink, colour));
    card.Text(bar * 4, 8, Digit(colour), Attr(ink, colour, true));
  }
  card.Paint(0, 9, 8, 7, Attr(kRed, kYellow));
  card.Pattern(0, 9, 8, 7, [](int x, int) { return x % 2 == 0; });
  card.Paint(8, 9, 8, 7, Attr(kBlue, kCyan, true));
  card.Pattern(8, 9, 8, 7, [](int, int y) { return y % 2 == 0; });
  card.Paint(16, 9, 8, 7, Attr(kBlack, kWhite));
  card.Pattern(16, 9, 8, 7, [](int x, int y) { return (x + y) % 2 == 0; });
  card.Paint(24, 9, 8, 7, Attr(kGreen, kMagenta));
  card.Pattern(24, 9, 8, 7, [](int x, int y) { return (x + y) % 8 < 2; });
  card.Paint(0, 19, 32, 2, Attr(kYellow, kRed, true));
  card.Pattern(0, 16, 32, 5, [](int x, int y) { return Dithered(x, y, x * 17 / 256); });
  card.Text(0, 21, "0123456789 :?!$,.-", Attr(kBlack, kGreen, true));
  card.Circle(128, 100, 84);
  card.Circle(128, 100, 85);
  card.Text(0, 23, "FLASH", Attr(kWhite, kRed, true, true));
  return card.Screen();
}

ScreenBytes TextScreen() {
  Canvas text(Attr(kWhite, kBlack));
  text.Text(8, 1, "HELLO, SPECTRUM!", Attr(kYellow, kBlack, true));
  text.Text(3, 4, "ORLASPIN TURNS THE SCREEN$", Attr(kCyan, kBlack));
  text.Text(0, 6, "OF A TR-DOS DISK INTO BMP FILES.", Attr(kWhite, kBlack));
  text.Paint(0, 9, 32, 1, Attr(kBlack, kWhite, true));
  text.Text(3, 9, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", Attr(kBlack, kWhite, true));
  text.Text(11, 11, "0123456789", Attr(kRed, kYellow));
  text.Text(9, 13, "? ! , . - : $", Attr(kGreen, kBlack, true));
  const std::string_view rainbow = "EVERY INK ON BLACK";
  for (int i = 0; i < static_cast<int>(rainbow.size()); ++i) {
    text.Text(7 + i, 16, rainbow.substr(i, 1), Attr(1 + i % 7, kBlack, i % 2 == 1));
  }
  for (int paper = 0; paper < 8; ++paper) {
    const std::uint8_t attribute = Attr(paper < kGreen ? kWhite : kBlack, paper);
    text.Paint(paper * 4, 19, 4, 1, attribute);
    text.Text(paper * 4 + 1, 19, Digit(paper), attribute);
  }
  text.Text(2, 22, "DRAWN WITH OUR OWN 8X8 FONT", Attr(kGreen, kBlack));
  return text.Screen();
}

ScreenBytes PatternScreen() {
  Canvas patterns(Attr(kWhite, kBlack));
  for (int column = 0; column < 32; ++column) {
    const int paper = (column / 4) % 8;
    patterns.Paint(column, 0, 1, 4, Attr(7 - paper, paper));
    patterns.Paint(column, 4, 1, 4, Attr(7 - paper, paper, true));
  }
  patterns.Pattern(0, 0, 32, 8, [](int x, int y) {
    return ((x - 72) * (x - 72) + (y - 40) * (y - 40)) / 48 % 2 == 0;
  });
  patterns.Paint(0, 8, 16, 8, Attr(kYellow, kBlue, true));
  patterns.Pattern(0, 8, 16, 8, [](int x, int y) { return (x + y) % 8 < 4; });
  patterns.Paint(16, 8, 16, 8, Attr(kMagenta, kGreen));
  patterns.Pattern(16, 8, 16, 8, [](int x, int y) { return (x - y + 256) % 12 < 3; });
  for (int block = 0; block < 4; ++block) {
    const int size = 1 << block;
    patterns.Paint(block * 8, 16, 8, 4, Attr(block + 1, (block + 5) % 8, block % 2 == 0));
    patterns.Pattern(block * 8, 16, 8, 4,
                     [size](int x, int y) { return (x / size + y / size) % 2 == 0; });
  }
  for (int column = 0; column < 32; ++column)
    patterns.Paint(column, 20, 1, 4, Attr(column % 7 + 1, kBlack, column % 2 == 1));
  patterns.Pattern(0, 20, 32, 4, [](int x, int y) { return ((x ^ y) & 4) != 0; });
  return patterns.Screen();
}

std::vector<std::pair<std::string, ScreenBytes>> SampleScreens() {
  return {{"TESTCARD", TestCardScreen()}, {"HELLO", TextScreen()}, {"PATTERNS", PatternScreen()}};
}

testing::TrdBuilder SampleDisk() {
  testing::TrdBuilder disk;
  for (const auto& [name, screen] : SampleScreens()) disk.AddScreen(name, screen);
  constexpr std::string_view kReadme =
      "ORLASPIN SAMPLE DISK. THREE SCREENS OF OUR OWN MAKING: A TEST CARD, TEXT AND PATTERNS.\r";
  disk.AddFile("README", 'B',
               std::span(reinterpret_cast<const std::uint8_t*>(kReadme.data()), kReadme.size()));
  return disk.AddDiskInfo("ORLASPIN");
}

}  // namespace orlaspin::sample
