#include "encoders/bitmap_font.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace orlaspin::testing {
namespace {

constexpr Glyph kBlank{};

// Printable ASCII but space, the Russian alphabet, Ё and ё.
std::vector<char32_t> DrawnCharacters() {
  std::vector<char32_t> characters;
  for (char32_t c = U'!'; c <= U'~'; ++c) characters.push_back(c);
  for (char32_t c = U'А'; c <= U'я'; ++c) characters.push_back(c);
  characters.push_back(U'Ё');
  characters.push_back(U'ё');
  return characters;
}

// Cyrillic letters written with a Latin letter's shape.
const std::map<char32_t, char32_t> kLookAlikes = {
    {U'А', U'A'}, {U'В', U'B'}, {U'Е', U'E'}, {U'К', U'K'}, {U'М', U'M'}, {U'Н', U'H'},
    {U'О', U'O'}, {U'Р', U'P'}, {U'С', U'C'}, {U'Т', U'T'}, {U'Х', U'X'}, {U'а', U'a'},
    {U'е', U'e'}, {U'о', U'o'}, {U'р', U'p'}, {U'с', U'c'}, {U'у', U'y'}, {U'х', U'x'},
};

TEST(BitmapFont, EveryCharacterHasAGlyphOfItsOwnUnlessItLooksLikeALatinOne) {
  std::map<Glyph, char32_t> owners;
  for (const char32_t c : DrawnCharacters()) {
    const Glyph& glyph = GlyphOf(c);
    const auto code = static_cast<std::uint32_t>(c);
    EXPECT_NE(glyph, kBlank) << code;
    EXPECT_NE(glyph, MissingGlyph()) << code;
    if (const auto alike = kLookAlikes.find(c); alike != kLookAlikes.end()) {
      EXPECT_EQ(glyph, GlyphOf(alike->second)) << code;
      continue;
    }
    const auto [owner, isNew] = owners.emplace(glyph, c);
    EXPECT_TRUE(isNew) << code << " looks like " << static_cast<std::uint32_t>(owner->second);
  }
}

TEST(BitmapFont, NeighbouringGlyphsNeverTouch) {
  for (const char32_t c : DrawnCharacters()) {
    for (const std::uint8_t line : GlyphOf(c)) {
      EXPECT_EQ(line & 0x81, 0) << "left or right column of " << static_cast<std::uint32_t>(c);
    }
  }
}

TEST(BitmapFont, SpaceIsBlankAndWhatTheFontLacksShowsTheHatchedBox) {
  EXPECT_EQ(GlyphOf(U' '), kBlank);
  // Its own shape: a frame round a checkerboard.
  EXPECT_EQ(MissingGlyph(), (Glyph{0x00, 0x7C, 0x54, 0x6C, 0x54, 0x6C, 0x54, 0x7C}));
  for (const char32_t c : {U'\uFFFD', U'\x01', U'\x7F', U'é', U'中', U'\U0001F600'}) {
    EXPECT_EQ(GlyphOf(c), MissingGlyph()) << static_cast<std::uint32_t>(c);
  }
}

// A picture whose every pixel differs, so a pixel changed by mistake shows.
Picture Background(int width, int height) {
  Picture picture{width, height, {}};
  for (int i = 0; i < width * height; ++i) {
    picture.pixels.push_back(
        MakeColour(static_cast<std::uint8_t>(i), 100, static_cast<std::uint8_t>(i / 256)));
  }
  return picture;
}

// Checks that picture shows text's glyphs with their top left cell at (x, y) in ink over the
// untouched background, and nothing else changed.
void ExpectText(const Picture& picture, int x, int y, std::u32string_view text) {
  constexpr Colour kInk = MakeColour(1, 2, 3);
  const Picture background = Background(picture.width, picture.height);
  for (int py = 0; py < picture.height; ++py) {
    for (int px = 0; px < picture.width; ++px) {
      const int cell = px - x < 0 ? -1 : (px - x) / 8;
      bool ink = false;
      if (cell >= 0 && cell < static_cast<int>(text.size()) && py >= y && py < y + 8) {
        ink = (GlyphOf(text[cell])[py - y] >> (7 - (px - x) % 8)) & 1;
      }
      const std::size_t at = static_cast<std::size_t>(py) * picture.width + px;
      ASSERT_EQ(picture.pixels[at], ink ? kInk : background.pixels[at])
          << "at (" << px << ", " << py << ")";
    }
  }
}

TEST(DrawText, PutsInkWhereTheFontSaysAndLeavesTheRest) {
  constexpr Colour kInk = MakeColour(1, 2, 3);
  Picture picture = Background(40, 20);
  DrawText(picture, 5, 7, U"Aж?", kInk);
  ExpectText(picture, 5, 7, U"Aж?");
}

TEST(DrawText, ClipsAtEveryEdge) {
  constexpr Colour kInk = MakeColour(1, 2, 3);
  for (const auto& [x, y] : {std::pair{-5, -3}, std::pair{10, 8}, std::pair{-20, 0}}) {
    Picture picture = Background(16, 12);
    DrawText(picture, x, y, U"W#Щ", kInk);
    ExpectText(picture, x, y, U"W#Щ");
  }
}

}  // namespace
}  // namespace orlaspin::testing
