#include "screens/palettes.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "fake_file_system.h"
#include "screen_format_oracle.h"
#include "screens/palette_file.h"
#include "screens/ulaplus.h"

namespace orlaspin::testing {
namespace {

// The colours as FORMATS lists them: black, blue, red, magenta, green, cyan, yellow, white,
// normal then bright.
struct TypedPalette {
  const char* name;
  std::uint32_t rrggbb[16];
};

const TypedPalette kTyped[] = {
    {"fuse",
     {0x000000, 0x0000C0, 0xC00000, 0xC000C0, 0x00C000, 0x00C0C0, 0xC0C000, 0xC0C0C0, 0x000000,
      0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}},
    {"srgb",
     {0x000000, 0x0000CD, 0xCD0000, 0xCD00CD, 0x00CD00, 0x00CDCD, 0xCDCD00, 0xCDCDCD, 0x000000,
      0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}},
    {"pulsar",
     {0x000000, 0x0000CD, 0xCD0000, 0xCD00CD, 0x00CD00, 0x00CDCD, 0xCDCD00, 0xCDCDCD, 0x000000,
      0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}},
    {"alone",
     {0x000000, 0x0000A0, 0xA00000, 0xA000A0, 0x00A000, 0x00A0A0, 0xA0A000, 0xA0A0A0, 0x000000,
      0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}},
    {"orthodox",
     {0x000000, 0x0000CD, 0xA70000, 0xA700CD, 0x00B700, 0x00B7CD, 0xA7B700, 0xA7B7CD, 0x000000,
      0x0000FF, 0xD00000, 0xD000FF, 0x00E400, 0x00E4FF, 0xD0E400, 0xD0E4FF}},
    {"skoolkit",
     {0x000000, 0x0000C5, 0xC50000, 0xC500C5, 0x00C600, 0x00C6C5, 0xC5C600, 0xCDC6CD, 0x000000,
      0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF}},
};

Rgb RgbOfHex(std::uint32_t rrggbb) {
  return {static_cast<std::uint8_t>(rrggbb >> 16), static_cast<std::uint8_t>(rrggbb >> 8),
          static_cast<std::uint8_t>(rrggbb)};
}

TEST(NamedPalettes, OursFirstThenTheOthersInOrder) {
  std::vector<std::string> names;
  for (const ScreenPalette& palette : NamedPalettes()) names.push_back(palette.name);
  EXPECT_EQ(names, (std::vector<std::string>{"orlaspin", "fuse", "srgb", "pulsar", "alone",
                                             "orthodox", "skoolkit"}));
  EXPECT_EQ(DefaultPalette().name, "orlaspin");
  EXPECT_EQ(FindPalette("Fuse"), nullptr);
  EXPECT_EQ(FindPalette(""), nullptr);
  EXPECT_EQ(FindPalette("orlaspin "), nullptr);
}

TEST(NamedPalettes, ColoursByteForByteAsListed) {
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(RgbOf(DefaultPalette().colours[i]), kExpectedPalette[i]) << "orlaspin " << i;
  }
  for (const TypedPalette& typed : kTyped) {
    const ScreenPalette* palette = FindPalette(typed.name);
    ASSERT_NE(palette, nullptr) << typed.name;
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(RgbOf(palette->colours[i]), RgbOfHex(typed.rrggbb[i])) << typed.name << " " << i;
    }
  }
}

// zx-image's level tables: zz, zn, nn, nb, bb, zb, then the channel weights.
TEST(GigascreenMixes, FollowEachLevelTable) {
  const std::pair<const char*, LevelTable> tables[] = {
      {"srgb", {0x00, 0x96, 0xCD, 0xE8, 0xFF, 0xBC}},
      {"pulsar", {0x00, 0x76, 0xCD, 0xE9, 0xFF, 0x9F}},
      {"alone", {0x00, 0x60, 0xA0, 0xE0, 0xFF, 0xA0}},
      {"orthodox", {0x00, 0x76, 0xCD, 0xE9, 0xFF, 0x9F, {0xD0, 0xE4, 0xFF}}},
  };
  for (const auto& [name, levels] : tables) {
    const GigascreenColours mixed = MixedColours(*FindPalette(name));
    for (int a = 0; a < 16; ++a) {
      for (int b = 0; b < 16; ++b) {
        ASSERT_EQ(RgbOf(mixed[a * 16 + b]), GigascreenRgb(levels, a, b))
            << name << " " << a << " with " << b;
      }
    }
  }
  // Spot values as listed: black with normal blue, and orthodox's weighted red.
  EXPECT_EQ(BlueOf(MixedColours(*FindPalette("srgb"))[0 * 16 + 1]), 0x96);
  EXPECT_EQ(BlueOf(MixedColours(*FindPalette("pulsar"))[1 * 16 + 0]), 0x76);
  EXPECT_EQ(RedOf(MixedColours(*FindPalette("orthodox"))[10 * 16 + 10]), 0xD0);
}

TEST(GigascreenMixes, WithoutATableTheMeanInLinearLightGivesSrgbsTable) {
  // srgb's colours without its table mix exactly as its table says (0 + CD -> 96, CD + FF -> E8,
  // 0 + FF -> BC).
  const GigascreenColours byTable = MixedColours(*FindPalette("srgb"));
  const GigascreenColours byLight = MixedColours(PaletteOf(kSrgbColours));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(byLight[i], byTable[i]) << i / 16 << " with " << i % 16;
}

TEST(GigascreenMixes, EveryColourMixedWithItselfStaysItself) {
  for (const ScreenPalette& palette : NamedPalettes()) {
    const GigascreenColours mixed = MixedColours(palette);
    for (int a = 0; a < 16; ++a) {
      EXPECT_EQ(mixed[a * 16 + a], palette.colours[a]) << palette.name << " " << a;
    }
  }
}

// ---- ULA+ palettes ----

TEST(UlaPlusPalette, ThreeBitLevelsAndTheTwoBitBlue) {
  const std::uint8_t threeBits[8] = {0x00, 0x24, 0x49, 0x6D, 0x92, 0xB6, 0xDB, 0xFF};
  const std::uint8_t twoBits[4] = {0x00, 0x6D, 0xB6, 0xFF};
  for (int level = 0; level < 8; ++level) {
    EXPECT_EQ(RgbOf(UlaPlusColour(static_cast<std::uint8_t>(level << 5))),
              (Rgb{0, threeBits[level], 0}));
    EXPECT_EQ(RgbOf(UlaPlusColour(static_cast<std::uint8_t>(level << 2))),
              (Rgb{threeBits[level], 0, 0}));
  }
  for (int level = 0; level < 4; ++level) {
    EXPECT_EQ(RgbOf(UlaPlusColour(static_cast<std::uint8_t>(level))), (Rgb{0, 0, twoBits[level]}));
  }
  std::array<std::uint8_t, 64> bytes;
  for (int i = 0; i < 64; ++i) bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
  const UlaPlusPalette palette = UlaPlusPaletteOf(bytes);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(RgbOf(palette[i]), UlaPlusRgb(bytes[i])) << i;
}

// ---- Palette files ----

std::string SrgbFileText(const std::string& lineEnd) {
  std::string text = "# zx-image's srgb colours" + lineEnd + lineEnd;
  const char* names[8] = {"black", "blue", "red", "magenta", "green", "cyan", "yellow", "white"};
  for (int i = 0; i < 16; ++i) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02X%02x%02X", kSrgbColours[i].r, kSrgbColours[i].g,
                  kSrgbColours[i].b);
    text += (i % 2 ? "  " : "") + std::string(colour) + (i % 3 ? "\t# " : "") +
            (i % 3 ? names[i % 8] : "") + lineEnd;
  }
  return text;
}

TEST(PaletteFile, SixteenColoursWithCommentsBlankLinesAndEitherLineEnd) {
  for (const std::string lineEnd : {"\n", "\r\n"}) {
    for (const std::string start : {"", "\xEF\xBB\xBF"}) {
      const ScreenPalette palette = ParsePalette(start + SrgbFileText(lineEnd), "mine.txt");
      EXPECT_EQ(palette.name, "mine.txt");
      EXPECT_FALSE(palette.gigascreen.has_value());
      for (int i = 0; i < 16; ++i) EXPECT_EQ(RgbOf(palette.colours[i]), kSrgbColours[i]) << i;
    }
  }
  // A comment mark alone, and no line end after the last colour.
  std::string text = "#\n" + SrgbFileText("\n");
  text.pop_back();
  EXPECT_EQ(RgbOf(ParsePalette(text, "x").colours[15]), kSrgbColours[15]);
}

void ExpectRefused(const std::string& text, const std::string& why) {
  try {
    ParsePalette(text, "bad.txt");
    ADD_FAILURE() << "accepted: " << why;
  } catch (const PaletteFileError& error) {
    EXPECT_EQ(error.Message(), "not a palette file: " + why);
  }
}

TEST(PaletteFile, NamesTheLineThatIsNeitherAColourNorAComment) {
  const std::string tail = " is neither a colour #RRGGBB nor a comment (\"# \" and any text)";
  ExpectRefused("#000000\n#12345\n", "line 2, \"#12345\"," + tail);
  ExpectRefused("\n\n#1234567\n", "line 3, \"#1234567\"," + tail);
  ExpectRefused("#00GG00\n", "line 1, \"#00GG00\"," + tail);
  ExpectRefused("000000\n", "line 1, \"000000\"," + tail);
  ExpectRefused("#0000C0 blue\n", "line 1, \"#0000C0 blue\"," + tail);
  ExpectRefused("#0000C0# blue\n", "line 1, \"#0000C0# blue\"," + tail);
  ExpectRefused("#comment\n", "line 1, \"#comment\"," + tail);
  ExpectRefused("\x01\x02#\x7F" + std::string(50, 'z'),
                "line 1, \"??#\x7F" + std::string(36, 'z') + "...\"," + tail);
}

TEST(PaletteFile, RefusesTooFewOrTooManyColours) {
  const std::string good = SrgbFileText("\n");
  ExpectRefused("", "it holds 0 colours; a palette has 16");
  ExpectRefused(good.substr(0, good.rfind('#')), "it holds 15 colours; a palette has 16");
  ExpectRefused(good + "\n#FFFFFF\n", "line 20 holds a 17th colour; a palette has 16");
}

TEST(PaletteFile, ReadFromTheFileLayerWithinItsSizeLimit) {
  FakeFileSystem files;
  const std::string text = SrgbFileText("\n");
  files.files["/p/mine.pal"] = Bytes(text.begin(), text.end());
  const ScreenPalette palette = ReadPaletteFile(files, "/p/mine.pal");
  EXPECT_EQ(palette.name, "/p/mine.pal");
  EXPECT_EQ(RgbOf(palette.colours[9]), kSrgbColours[9]);

  EXPECT_THROW(
      {
        try {
          ReadPaletteFile(files, "/p/none.pal");
        } catch (const Error& error) {
          EXPECT_EQ(error.Message(), "File not found");
          throw;
        }
      },
      Error);

  // Comments may pad a file up to the limit; one byte more is refused unread.
  std::string padded = text + std::string(kLargestPaletteFile - text.size() - 1, ' ') + "\n";
  files.files["/p/full.pal"] = Bytes(padded.begin(), padded.end());
  EXPECT_EQ(ReadPaletteFile(files, "/p/full.pal").colours, palette.colours);
  padded += " ";
  files.files["/p/long.pal"] = Bytes(padded.begin(), padded.end());
  try {
    ReadPaletteFile(files, "/p/long.pal");
    ADD_FAILURE() << "read a file over the limit";
  } catch (const PaletteFileError& error) {
    EXPECT_EQ(error.Message(), "not a palette file: it is longer than 65536 bytes");
  }

  files.faults.readError = 5;
  EXPECT_THROW(ReadPaletteFile(files, "/p/mine.pal"), Error);
}

TEST(PaletteFile, ANameComesBeforeAFileOfThatName) {
  FakeFileSystem files;
  const std::string text = SrgbFileText("\n");
  files.files["fuse"] = Bytes(text.begin(), text.end());
  files.files["mine"] = Bytes(text.begin(), text.end());
  EXPECT_EQ(PaletteByNameOrFile(files, "fuse").colours, FindPalette("fuse")->colours);
  EXPECT_EQ(PaletteByNameOrFile(files, "mine").name, "mine");
  try {
    PaletteByNameOrFile(files, "nothing");
    ADD_FAILURE() << "found a palette called nothing";
  } catch (const PaletteFileError& error) {
    EXPECT_EQ(error.Message(),
              "no palette is named \"nothing\" and no file has that path; the palettes are "
              "orlaspin, fuse, srgb, pulsar, alone, orthodox, skoolkit");
  }
}

}  // namespace
}  // namespace orlaspin::testing
