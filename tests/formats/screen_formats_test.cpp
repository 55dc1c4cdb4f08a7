#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <numeric>
#include <set>
#include <stdexcept>

#include "archive_builders.h"
#include "fake_file_system.h"
#include "containers/image_reader.h"
#include "screen_format_oracle.h"
#include "screens.h"
#include "screens/palette_file.h"
#include "screens/screen_format.h"
#include "snapshot_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

ScreenOptions SrgbOptions() { return {.palette = PaletteOf(kSrgbColours)}; }

ScreenPictures Decode(ScreenFormat format, const Bytes& bytes, const ScreenOptions& options) {
  return DecodeScreenFile(format, bytes, options);
}

std::string ToUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The expected pixel of a cell-laid-out format in the srgb colours.
template <typename CellAt>
ExpectedPixel InSrgb(const Bytes& bytes, CellAt cellAt, bool flashPhase = false) {
  return [&bytes, cellAt, flashPhase](int x, int y) {
    return kSrgbColours[CellColour(cellAt(bytes, x, y), flashPhase)];
  };
}

// ---- The table of formats ----

TEST(ScreenFormatRows, EachExtensionAndSizeIsInExactlyOneRowAndReachesIt) {
  std::map<std::pair<std::string_view, std::size_t>, int> rowsOf;
  for (const ScreenFormatRow& row : ScreenFormatRows()) {
    for (const std::string_view extension : row.extensions) {
      for (const std::size_t size : row.sizes) {
        if (extension.empty() || size == 0) continue;
        ++rowsOf[{extension, size}];
        EXPECT_EQ(ScreenFormatOf(extension, Bytes(size)), row.format) << extension << " " << size;
        EXPECT_EQ(ScreenFormatOf("." + ToUpper(extension), Bytes(size)), row.format) << extension;
        // One byte more or less is no screen of that row, unless it is another of its sizes.
        for (const std::size_t near : {size - 1, size + 1}) {
          if (std::ranges::count(row.sizes, near) > 0) continue;
          EXPECT_NE(ScreenFormatOf(extension, Bytes(near)), row.format) << extension << " " << near;
        }
      }
    }
  }
  for (const auto& [key, count] : rowsOf) EXPECT_EQ(count, 1) << key.first << " " << key.second;
}

TEST(ScreenFormatRows, NamesAreUniqueAndARowOfAnySizeChecksItsHeader) {
  std::set<std::string_view> names;
  for (const ScreenFormatRow& row : ScreenFormatRows()) {
    EXPECT_TRUE(names.insert(row.name).second) << row.name;
    EXPECT_EQ(ScreenFormatName(row.format), row.name);
    EXPECT_FALSE(row.extensions[0].empty()) << row.name;
    EXPECT_TRUE(IsScreenExtension(row.extensions[0])) << row.name;
    EXPECT_NE(row.sizes[0] != 0, row.check != nullptr) << row.name << ": by size or by header";
  }
  EXPECT_FALSE(IsScreenExtension("trd"));
  EXPECT_EQ(ScreenFormatOf("..scr", Bytes(6912)), std::nullopt);
  EXPECT_EQ(ScreenFormatOf("", Bytes(6912)), std::nullopt);
}

TEST(ScreenFormatRows, TheReadmeShowsTheListTheHelpShows) {
  const Bytes readme = ReadFileBytes(TestdataPath("../../README.md"));
  const std::string text(readme.begin(), readme.end());
  EXPECT_NE(text.find("\n" + ScreenFormatList() + "```"), std::string::npos)
      << "README.md should show, in a code block:\n"
      << ScreenFormatList();
}

// A file of a screen's extension that no row accepts is no screen for list and export alike:
// the image is refused with the size found and the sizes expected, or what its header lacks.
TEST(ScreenFormatRows, AFileNoRowAcceptsIsRefusedNamingTheSizeFoundAndExpected) {
  const Bytes chr = ReadFileBytes(TestdataPath("screens/moroz1999_zx-image__example_example.ch$"));
  ASSERT_EQ(ReadCollection("e.ch$", chr).files.at(0).type, "chr$");
  const Bytes damagedChr(chr.begin(), chr.begin() + 100);
  const std::pair<std::string, Bytes> files[] = {
      {"a.atr", Bytes()}, {"b.bsc", Bytes(10)}, {"c.img", Bytes(100)}, {"d.scr", Bytes(6914)}};
  for (const auto& [path, bytes] : files) {
    try {
      ReadCollection(path, bytes);
      ADD_FAILURE() << path << " read";
    } catch (const ImageFormatError& error) {
      const std::string extension = path.substr(path.find('.') + 1);
      EXPECT_NE(error.Message().find(" " + std::to_string(bytes.size()) + " bytes"),
                std::string::npos)
          << error.Message();
      for (const ScreenFormatRow& row : ScreenFormatRows()) {
        if (row.extensions[0] != extension) continue;
        EXPECT_NE(error.Message().find(std::to_string(row.sizes[0])), std::string::npos)
            << error.Message();
      }
    }
  }
  EXPECT_EQ(ScreenFormatOf("ch$", damagedChr), std::nullopt);
  try {
    ReadCollection("e.ch$", damagedChr);
    ADD_FAILURE() << "a damaged chr$ file read";
  } catch (const ImageFormatError& error) {
    EXPECT_EQ(error.Message(),
              "not a chr$ file: 32 x 45 cells of 9 bytes make a file of 12967 bytes; it holds 100");
  }
}

TEST(DecodeScreenFile, RefusesASizeTheFormatDoesNotHave) {
  const ScreenOptions options;
  for (const auto& [format, size] : {std::pair{ScreenFormat::Standard, 6911},
                                     {ScreenFormat::Standard, 6914},
                                     {ScreenFormat::Gigascreen, 6912},
                                     {ScreenFormat::TimexHiRes, 12288},
                                     {ScreenFormat::AttributesOnly, 0}}) {
    try {
      Decode(format, Bytes(size), options);
      ADD_FAILURE() << "accepted " << size << " bytes";
    } catch (const ScreenFileError& error) {
      EXPECT_EQ(error.Message(), "not a " + std::string(ScreenFormatName(format)) + " screen: " +
                                     std::to_string(size) + " bytes is no size of that format");
    }
  }
  EXPECT_THROW(Decode(ScreenFormat::Standard, Bytes(6912), {.border = 8}), std::invalid_argument);
}

// ---- The standard screen and its parts ----

TEST(StandardFormat, IsTheWindowsDecodeWithFlashAsASecondFrame) {
  Bytes bytes = PseudoRandomBytes(1, 6913);
  ScreenBytes screen;
  std::copy_n(bytes.begin(), kScreenBytes, screen.begin());
  ASSERT_TRUE(std::any_of(screen.begin() + kPixelBytes, screen.end(),
                          [](std::uint8_t a) { return a & 0x80; }));

  const ScreenPictures still = Decode(ScreenFormat::Standard, bytes, {});
  ASSERT_EQ(still.frames.size(), 1u);
  EXPECT_EQ(DifferenceFrom(still.frames[0], 256, 192,
                           [&](int x, int y) { return OraclePixel(screen, x, y); }),
            "");

  const ScreenPictures flashing = Decode(ScreenFormat::Standard, bytes, {.flash = true});
  ASSERT_EQ(flashing.frames.size(), 2u);
  EXPECT_EQ(flashing.frameMilliseconds, 320);
  EXPECT_EQ(DifferenceFrom(flashing.frames[1], 256, 192,
                           [&](int x, int y) {
                             return kExpectedPalette[CellColour(StandardCell(bytes, x, y), true)];
                           }),
            "");

  // The 6913th byte changes nothing.
  bytes.back() ^= 0xFF;
  EXPECT_EQ(Decode(ScreenFormat::Standard, bytes, {}).frames[0].pixels, still.frames[0].pixels);
}

TEST(AttributesOnlyFormat, ColoursACheckerboardWhoseOddPixelsAreInk) {
  Bytes bytes(768, 0);
  bytes[0] = 0x0A;    // cell (0, 0): paper blue, ink red
  bytes[767] = 0x7C;  // cell (31, 23): bright, paper white, ink green
  const Picture picture = Decode(ScreenFormat::AttributesOnly, bytes, SrgbOptions()).frames[0];
  const auto at = [&](int x, int y) { return RgbOf(picture.pixels[y * 256 + x]); };
  EXPECT_EQ(at(0, 0), kSrgbColours[1]);
  EXPECT_EQ(at(1, 0), kSrgbColours[2]);
  EXPECT_EQ(at(0, 1), kSrgbColours[2]);
  EXPECT_EQ(at(255, 191), kSrgbColours[15]);
  EXPECT_EQ(at(254, 191), kSrgbColours[12]);

  const Bytes colourful = PseudoRandomBytes(3, 768);
  const ScreenPictures flashing = Decode(ScreenFormat::AttributesOnly, colourful,
                                         {.palette = PaletteOf(kSrgbColours), .flash = true});
  ASSERT_EQ(flashing.frames.size(), 2u);
  EXPECT_EQ(DifferenceFrom(flashing.frames[0], 256, 192, InSrgb(colourful, AttributesOnlyCell)),
            "");
  EXPECT_EQ(
      DifferenceFrom(flashing.frames[1], 256, 192, InSrgb(colourful, AttributesOnlyCell, true)),
      "");
}

// ---- Multicolour and Timex hi-colour ----

// One ink pixel placed by hand in an otherwise empty file, its attribute in the one byte that
// colours its line: it shows there, on paper over the lines that attribute covers.
TEST(MulticolourFormats, OnePixelAndItsAttributeLandWhereTheLayoutSays) {
  struct Probe {
    ScreenFormat format;
    std::size_t size;
    std::size_t pixelByte;
    std::size_t attributeByte;
    int linesPerAttribute;
  };
  // Pixel (13, 70): line 70 is in the second third (2048), line 6 of its cell (6 x 256), cell row
  // 0 of the third; column byte 1; bit 2 (0x04).
  const Probe probes[] = {
      {ScreenFormat::Multicolour8x1, 12288, 2048 + 1536 + 1, 6144 + 70 * 32 + 1, 1},
      {ScreenFormat::Multicolour8x1Linear, 12288, 70 * 32 + 1, 6144 + 70 * 32 + 1, 1},
      {ScreenFormat::Multicolour8x2, 9216, 2048 + 1536 + 1, 6144 + 35 * 32 + 1, 2},
      {ScreenFormat::Multicolour8x4, 7680, 2048 + 1536 + 1, 6144 + 17 * 32 + 1, 4},
      {ScreenFormat::TimexHiColour, 12288, 2048 + 1536 + 1, 6144 + 2048 + 1536 + 1, 1},
  };
  for (const Probe& probe : probes) {
    Bytes bytes(probe.size, 0);
    bytes[probe.pixelByte] = 0x04;
    bytes[probe.attributeByte] = 0x0A;  // paper blue, ink red
    const Picture picture = Decode(probe.format, bytes, SrgbOptions()).frames[0];
    const int lines = probe.linesPerAttribute;
    EXPECT_EQ(DifferenceFrom(picture, 256, 192,
                             [lines](int x, int y) {
                               if (x == 13 && y == 70) return kSrgbColours[2];
                               const bool paper = y / lines == 70 / lines && x / 8 == 1;
                               return paper ? kSrgbColours[1] : kSrgbColours[0];
                             }),
              "")
        << ScreenFormatName(probe.format);
  }
}

TEST(UlaPlusFormat, AllFourTablesByHand) {
  Bytes bytes(6976, 0);
  // Cells 0-3 of the top row: ink everywhere on line 0 of cell 0 and 2, paper elsewhere.
  bytes[0] = 0xFF;
  bytes[2] = 0xFF;
  bytes[6144 + 0] = 0x05;   // table 0, ink 5 -> entry 5
  bytes[6144 + 1] = 0x58;   // table 1 (bright), paper 3 -> entry 16 + 8 + 3
  bytes[6144 + 2] = 0x87;   // table 2 (flash), ink 7 -> entry 32 + 7
  bytes[6144 + 3] = 0xF0;   // table 3, paper 6 -> entry 48 + 14
  bytes[6912 + 5] = 0xE0;   // green 7
  bytes[6912 + 27] = 0x1C;  // red 7
  bytes[6912 + 39] = 0x03;  // blue 3
  bytes[6912 + 62] = 0x49;  // green 2, red 2, blue 1
  const Picture picture = Decode(ScreenFormat::UlaPlus, bytes, {}).frames[0];
  EXPECT_EQ(RgbOf(picture.pixels[0]), (Rgb{0, 0xFF, 0}));
  EXPECT_EQ(RgbOf(picture.pixels[8]), (Rgb{0xFF, 0, 0}));
  EXPECT_EQ(RgbOf(picture.pixels[16]), (Rgb{0, 0, 0xFF}));
  EXPECT_EQ(RgbOf(picture.pixels[24]), (Rgb{0x49, 0x49, 0x6D}));
}

// ---- Timex hi-res ----

TEST(TimexHiResFormat, InterleavesTheTwoScreensColumnsAndShowsEachLineTwice) {
  Bytes bytes = PseudoRandomBytes(7, 12289);
  for (int code = 0; code < 8; ++code) {
    bytes[12288] = static_cast<std::uint8_t>(0xC7 | (code << 3));  // the other bits set
    const ScreenPictures pictures = Decode(ScreenFormat::TimexHiRes, bytes, {.flash = true});
    ASSERT_EQ(pictures.frames.size(), 1u);
    EXPECT_EQ(DifferenceFrom(pictures.frames[0], 512, 384,
                             [&](int x, int y) {
                               const int column = x / 16;
                               const std::size_t screen = (x / 8) % 2 == 0 ? 0 : 6144;
                               const std::size_t at = screen + InterleavedByte(column * 8, y / 2);
                               return kExpectedPalette[BitOf(bytes[at], x) ? 8 + code : 15 - code];
                             }),
              "")
        << "colour code " << code;
  }
}

// ---- Gigascreen ----

// srgb's level table: zz, zn, nn, nb, bb, zb.
constexpr LevelTable kSrgbLevels = {0x00, 0x96, 0xCD, 0xE8, 0xFF, 0xBC};

TEST(GigascreenFormat, FlickersBetweenTheTwoScreensEveryFiftiethOfASecond) {
  const Bytes bytes = PseudoRandomBytes(9, 13824);
  ScreenOptions options = SrgbOptions();
  options.gigascreen = GigascreenView::Flicker;
  options.flash = true;
  const ScreenPictures pictures = Decode(ScreenFormat::Gigascreen, bytes, options);
  ASSERT_EQ(pictures.frames.size(), 2u);
  EXPECT_EQ(pictures.frameMilliseconds, 20);
  for (const std::size_t screen : {0, 1}) {
    EXPECT_EQ(
        DifferenceFrom(pictures.frames[screen], 256, 192,
                       [&](int x, int y) {
                         return kSrgbColours[CellColour(StandardCell(bytes, x, y, screen * 6912))];
                       }),
        "")
        << "screen " << screen;
  }
}

TEST(GigascreenFormat, TwoEqualScreensBlendIntoThemselvesInEveryPalette) {
  Bytes bytes = PseudoRandomBytes(10, 6912);
  bytes.insert(bytes.end(), bytes.begin(), bytes.end());
  for (const ScreenPalette& palette : NamedPalettes()) {
    const Picture picture = Decode(ScreenFormat::Gigascreen, bytes, {.palette = palette}).frames[0];
    EXPECT_EQ(DifferenceFrom(picture, 256, 192,
                             [&](int x, int y) {
                               return RgbOf(palette.colours[CellColour(StandardCell(bytes, x, y))]);
                             }),
              "")
        << palette.name;
  }
}

// ---- Border screens ----

TEST(BorderScreenFormat, BorderBytesByHand) {
  Bytes bytes(11136, 0);
  bytes[6912] = 0x0A;                        // top left: 8 px red, then 8 px blue
  bytes[6912 + 1536] = 0x03;                 // line 64, left of the screen: 8 px magenta
  bytes[6912 + 1536 + 4] = 0x28;             // line 64, right of the screen: then 8 px cyan
  bytes[6912 + 3072 + 47 * 24 + 23] = 0x38;  // bottom right: the last 8 px white
  const Picture picture = Decode(ScreenFormat::BorderScreen, bytes, SrgbOptions()).frames[0];
  const auto at = [&](int x, int y) { return RgbOf(picture.pixels[y * 384 + x]); };
  EXPECT_EQ(at(0, 0), kSrgbColours[2]);
  EXPECT_EQ(at(7, 0), kSrgbColours[2]);
  EXPECT_EQ(at(8, 0), kSrgbColours[1]);
  EXPECT_EQ(at(16, 0), kSrgbColours[0]);
  EXPECT_EQ(at(0, 64), kSrgbColours[3]);
  EXPECT_EQ(at(320, 64), kSrgbColours[0]);
  EXPECT_EQ(at(328, 64), kSrgbColours[5]);
  EXPECT_EQ(at(376, 303), kSrgbColours[7]);
  EXPECT_EQ(at(375, 303), kSrgbColours[0]);
}

// ---- chr$ ----

Bytes ChrFile(int columns, int rows, int cellBytes, std::uint32_t seed,
              const char* signature = "chr$") {
  Bytes bytes(signature, signature + 4);
  bytes.push_back(static_cast<std::uint8_t>(columns));
  bytes.push_back(static_cast<std::uint8_t>(rows));
  bytes.push_back(static_cast<std::uint8_t>(cellBytes));
  const Bytes cells = PseudoRandomBytes(seed, static_cast<std::size_t>(columns * rows * cellBytes));
  bytes.insert(bytes.end(), cells.begin(), cells.end());
  return bytes;
}

// Pixel (x, y) of a chr$ picture: its cell's pixel row y % 8, then the attribute, at offset
// within each cell.
PixelCell ChrCell(const Bytes& bytes, int columns, int cellBytes, int offset, int x, int y) {
  const std::size_t cell =
      7 + static_cast<std::size_t>(((y / 8) * columns + x / 8) * cellBytes + offset);
  const std::uint8_t attribute = cellBytes == 8 ? 0x47 : bytes[cell + 8];
  return {BitOf(bytes[cell + static_cast<std::size_t>(y % 8)], x), attribute};
}

TEST(ChrFormat, EighteenByteCellsAreAGigascreen) {
  const Bytes bytes = ChrFile(4, 2, 18, 15);
  ScreenOptions options{.palette = *FindPalette("srgb")};
  const Picture blended = Decode(ScreenFormat::Chr, bytes, options).frames[0];
  EXPECT_EQ(DifferenceFrom(blended, 32, 16,
                           [&](int x, int y) {
                             return GigascreenRgb(kSrgbLevels,
                                                  CellColour(ChrCell(bytes, 4, 18, 0, x, y)),
                                                  CellColour(ChrCell(bytes, 4, 18, 9, x, y)));
                           }),
            "");
  options.gigascreen = GigascreenView::Flicker;
  const ScreenPictures flicker = Decode(ScreenFormat::Chr, bytes, options);
  ASSERT_EQ(flicker.frames.size(), 2u);
  EXPECT_EQ(DifferenceFrom(flicker.frames[1], 32, 16,
                           [&](int x, int y) {
                             return kSrgbColours[CellColour(ChrCell(bytes, 4, 18, 9, x, y))];
                           }),
            "");
}

TEST(ChrFormat, RefusesFilesWhoseHeaderDoesNotFit) {
  Bytes oneByteShort = ChrFile(2, 2, 9, 16);
  oneByteShort.pop_back();
  Bytes oneByteLong = ChrFile(2, 2, 9, 16);
  oneByteLong.push_back(0);
  const std::pair<Bytes, std::string> cases[] = {
      {Bytes{'c', 'h', 'r'}, "it is shorter than the 7-byte header"},
      {ChrFile(2, 2, 9, 16, "chr!"), "it does not begin with \"chr$\""},
      {ChrFile(2, 2, 10, 16), "its cells are 10 bytes each, not 8, 9 or 18"},
      {ChrFile(0, 2, 9, 16), "it holds no character cells"},
      {oneByteShort, "2 x 2 cells of 9 bytes make a file of 43 bytes; it holds 42"},
      {oneByteLong, "2 x 2 cells of 9 bytes make a file of 43 bytes; it holds 44"},
  };
  for (const auto& [bytes, why] : cases) {
    try {
      Decode(ScreenFormat::Chr, bytes, {});
      ADD_FAILURE() << "accepted: " << why;
    } catch (const ScreenFileError& error) {
      EXPECT_EQ(error.Message(), "not a chr$ file: " + why);
    }
  }
}

// ---- A border of one colour ----

TEST(PlainBorder, AnEighthOfThePictureAroundItInTheNormalColour) {
  const Bytes bytes = PseudoRandomBytes(17, 6912);
  ScreenBytes screen;
  std::copy_n(bytes.begin(), kScreenBytes, screen.begin());
  for (const std::uint8_t colour : {0, 5, 7}) {
    const ScreenPictures pictures =
        Decode(ScreenFormat::Standard, bytes, {.flash = true, .border = colour});
    ASSERT_EQ(pictures.frames.size(), 2u);
    EXPECT_EQ(DifferenceFrom(pictures.frames[0], 320, 240,
                             [&](int x, int y) {
                               const int sx = x - 32;
                               const int sy = y - 24;
                               if (sx < 0 || sx >= 256 || sy < 0 || sy >= 192) {
                                 return kExpectedPalette[colour];
                               }
                               return OraclePixel(screen, sx, sy);
                             }),
              "")
        << "border " << int{colour};
  }
}

TEST(PlainBorder, FollowsThePicturesSizeAndSkipsFormatsWithTheirOwn) {
  const ScreenOptions options{.border = 1};
  EXPECT_EQ(Decode(ScreenFormat::TimexHiRes, Bytes(12289), options).frames[0].width, 512 + 128);
  EXPECT_EQ(Decode(ScreenFormat::TimexHiRes, Bytes(12289), options).frames[0].height, 384 + 96);
  EXPECT_EQ(Decode(ScreenFormat::Multicolour8x4, Bytes(7680), options).frames[0].width, 320);
  EXPECT_EQ(Decode(ScreenFormat::BorderMulticolour, Bytes(11904), options).frames[0].width, 384);
  EXPECT_EQ(Decode(ScreenFormat::Chr, ChrFile(1, 1, 8, 1), options).frames[0].width, 8);
}

// ---- Every row against its layout ----

Rgb Single(PixelCell cell) { return kSrgbColours[CellColour(cell)]; }
Rgb Blend(PixelCell first, PixelCell second) {
  return GigascreenRgb(kSrgbLevels, CellColour(first), CellColour(second));
}
// A picture at (64, 64) inside the border that a .bsc border table at borderAt draws.
Rgb Bordered(const Bytes& bytes, std::size_t borderAt, int x, int y,
             PixelCell (*cellAt)(const Bytes&, int, int)) {
  if (x >= 64 && x < 320 && y >= 64 && y < 256) return Single(cellAt(bytes, x - 64, y - 64));
  return kSrgbColours[BorderColour(bytes, borderAt, x, y)];
}
PixelCell GigascreenSecondCell(const Bytes& bytes, int x, int y) {
  return StandardCell(bytes, x, y, 6912);
}

// Pixel (x, y) of the Timex hi-res screen at base: column x / 16 of one of its two pixel
// screens, picked by bit 3 of x; ink is bright colour c of its last byte, paper bright 7 - c.
int TimexHiResColour(const Bytes& bytes, std::size_t base, int x, int y) {
  const std::size_t half = (x / 8) % 2 == 0 ? 0 : 6144;
  const int code = (bytes[base + 12288] >> 3) & 7;
  return BitOf(bytes[base + half + InterleavedByte((x / 16) * 8, y / 2)], x) ? 8 + code : 15 - code;
}

Bytes MultiArtistFile(int cellHeight, std::size_t size) {
  Bytes bytes = PseudoRandomBytes(20 + cellHeight, size);
  const Bytes header = {'M', 'G', 'H', 1, static_cast<std::uint8_t>(cellHeight), 1, 2};
  std::copy(header.begin(), header.end(), bytes.begin());
  return bytes;
}

// Screen s of a MultiArtist file: pixels at 256 + 6144 s, attributes after both screens.
PixelCell MultiArtistCell(const Bytes& bytes, int cellHeight, int s, int x, int y) {
  const std::size_t column = static_cast<std::size_t>(x / 8);
  std::size_t at = 0;
  if (cellHeight != 1) {
    const std::size_t table = 32 * 192 / static_cast<std::size_t>(cellHeight);
    at = 12544 + s * table + static_cast<std::size_t>(y / cellHeight) * 32 + column;
  } else if (column >= 8 && column < 24) {
    at = 12544 + s * 3072 + static_cast<std::size_t>(y) * 16 + column - 8;
  } else {
    at = 18688 + s * 384 + static_cast<std::size_t>(y / 8) * 16 +
         (column < 8 ? column : column - 16);
  }
  return {BitOf(bytes[256 + s * 6144 + InterleavedByte(x, y)], x), bytes[at]};
}

template <int kCellHeight>
Rgb MultiArtistPixel(const Bytes& bytes, int x, int y) {
  return Blend(MultiArtistCell(bytes, kCellHeight, 0, x, y),
               MultiArtistCell(bytes, kCellHeight, 1, x, y));
}

// Screen s of a Stellar file: the left half of each cell of 8 shows paper, the right half ink.
PixelCell StellarCell(const Bytes& bytes, int s, int x, int y) {
  return {x % 8 >= 4,
          bytes[static_cast<std::size_t>((y / 4) * 64 + (x / 16) * 4 + 2 * s + (x / 8) % 2)]};
}

// Screen s of an attribute gigascreen: the texture's line y % 8 in every cell.
PixelCell LowResCell(const Bytes& bytes, int s, int x, int y) {
  return {BitOf(bytes[84 + static_cast<std::size_t>(y % 8)], x),
          bytes[92 + s * 768 + static_cast<std::size_t>((y / 8) * 32 + x / 8)]};
}

struct DecoderCase {
  ScreenFormat format;
  Bytes file;
  int width;
  int height;
  Rgb (*pixel)(const Bytes& bytes, int x, int y);  // of the first frame, in srgb, blended
  std::size_t frames = 1;
};

// Two frames of 0.1 s and 0.3 s, their screens at 16 after the header and the two delays.
Bytes ScaFile() {
  Bytes bytes = PseudoRandomBytes(21, 14 + 2 + 2 * 6912);
  const Bytes header = {'S', 'C', 'A', 1, 0, 1, 192, 0, 3, 2, 0, 0, 14, 0, 5, 15};
  std::copy(header.begin(), header.end(), bytes.begin());
  return bytes;
}

// One screen at 70, then a border stream: on row 0 runs of 24, 20 and 32 pixels of colours 1, 2
// and 3, then colour 4 to the end; on row y, colour y % 8 left of the screen (the whole row above
// and below it) and (y + 1) % 8 right of it.
Bytes BspFile() {
  Bytes bytes = PseudoRandomBytes(23, 70 + 6912);
  std::copy_n("bsp\x40", 4, bytes.begin());
  bytes.insert(bytes.end(), {2 << 3 | 1, 1 << 3 | 2, 10, 3 << 3 | 3, 4});
  for (int y = 1; y < 304; ++y) {
    bytes.push_back(static_cast<std::uint8_t>(y % 8));
    if (y >= 64 && y < 256) bytes.push_back(static_cast<std::uint8_t>((y + 1) % 8));
  }
  return bytes;
}

Rgb BspPixel(const Bytes& bytes, int x, int y) {
  if (x >= 64 && x < 320 && y >= 64 && y < 256) {
    return Single(StandardCell(bytes, x - 64, y - 64, 70));
  }
  if (y == 0) return kSrgbColours[x < 24 ? 1 : x < 44 ? 2 : x < 76 ? 3 : 4];
  return kSrgbColours[(x >= 320 && y >= 64 && y < 256) ? (y + 1) % 8 : y % 8];
}

// A Next colour RRRGGGBB with the blue's low bit: each 3-bit level as the Next shows it.
Rgb NextRgb(std::uint8_t rrrgggbb, int blueLow) {
  static constexpr std::uint8_t kLevels[8] = {0x00, 0x24, 0x49, 0x6D, 0x92, 0xB6, 0xDB, 0xFF};
  return {kLevels[rrrgggbb / 32], kLevels[(rrrgggbb / 4) % 8],
          kLevels[(rrrgggbb % 4) * 2 + (blueLow & 1)]};
}
// A one-byte Next colour: the blue's low bit is the OR of its two.
Rgb NextRgb(std::uint8_t rrrgggbb) { return NextRgb(rrrgggbb, (rrrgggbb % 4) != 0 ? 1 : 0); }
// Entry i of a palette of two-byte colours at base.
Rgb NextEntry(const Bytes& bytes, std::size_t base, int i) {
  return NextRgb(bytes[base + 2 * static_cast<std::size_t>(i)],
                 bytes[base + 2 * static_cast<std::size_t>(i) + 1]);
}

// A SAM colour: GRB high bits in 6-4, bright in 3, GRB low bits in 2-0; each channel's level is
// 4 high + 2 low + bright.
Rgb SamRgb(std::uint8_t clut) {
  static constexpr std::uint8_t kLevels[8] = {0x00, 0x24, 0x49, 0x6D, 0x92, 0xB6, 0xDB, 0xFF};
  const auto level = [&](int highBit, int lowBit) {
    return kLevels[4 * ((clut >> highBit) & 1) + 2 * ((clut >> lowBit) & 1) + ((clut >> 3) & 1)];
  };
  return {level(5, 1), level(6, 2), level(4, 0)};
}

// Mode 3: 4 pixels a byte, 128 bytes a line, each line twice; a pair's left bit is the entry's
// bit 0.
Rgb SamMode3Pixel(const Bytes& b, int x, int y) {
  const int pair = (b[static_cast<std::size_t>((y / 2) * 128 + x / 4)] >> (6 - 2 * (x % 4))) & 3;
  const int swapped[4] = {0, 2, 1, 3};
  return SamRgb(b[24576 + static_cast<std::size_t>(swapped[pair])]);
}

// Mode 4: 2 pixels a byte, the left in the high nibble.
Rgb SamMode4Pixel(const Bytes& b, int x, int y) {
  const std::uint8_t byte = b[static_cast<std::size_t>(y * 128 + x / 2)];
  return SamRgb(b[24576 + static_cast<std::size_t>(x % 2 == 0 ? byte / 16 : byte % 16)]);
}

Bytes ProfiGrfFile() {
  Bytes bytes = PseudoRandomBytes(36, 30848);
  const Bytes header = {0x00, 0x02, 0xF0, 0x00, 0x04, 0x00, 0x80, 0x00, 0x01, 0x13};
  std::copy(header.begin(), header.end(), bytes.begin());
  return bytes;
}

// Line y / 2's pair of a pixel byte and its attribute; colour 0-15 of the palette at 10, whose
// GGGRRRBB bytes give blue in four even steps.
Rgb ProfiGrfPixel(const Bytes& b, int x, int y) {
  static constexpr std::uint8_t kLevels[8] = {0x00, 0x24, 0x49, 0x6D, 0x92, 0xB6, 0xDB, 0xFF};
  const auto pair = static_cast<std::size_t>(128 + (y / 2) * 128 + 2 * (x / 8));
  const std::uint8_t attribute = b[pair + 1];
  const int colour = BitOf(b[pair], x) ? (attribute & 7) + ((attribute >> 6) & 1) * 8
                                       : ((attribute >> 3) & 7) + (attribute >> 7) * 8;
  const std::uint8_t grb = b[10 + static_cast<std::size_t>(colour)];
  return {kLevels[(grb / 4) % 8], kLevels[grb / 32], static_cast<std::uint8_t>((grb % 4) * 85)};
}

// A picture of width x height in 16 colours (type 1) or 256 (type 2), entries palette words at 16,
// its pixels after them.
Bytes SxgFile(int type, int width, int height, int entries) {
  const std::size_t pixels = static_cast<std::size_t>(width * height / (type == 1 ? 2 : 1));
  Bytes bytes = PseudoRandomBytes(37 + type, 16 + 2 * static_cast<std::size_t>(entries) + pixels);
  const Bytes header = {0x7F,
                        'S',
                        'X',
                        'G',
                        3,
                        0,
                        0,
                        static_cast<std::uint8_t>(type),
                        static_cast<std::uint8_t>(width),
                        0,
                        static_cast<std::uint8_t>(height),
                        0,
                        2,
                        0,
                        static_cast<std::uint8_t>(2 * entries),
                        static_cast<std::uint8_t>(entries >> 7)};
  std::copy(header.begin(), header.end(), bytes.begin());
  return bytes;
}

// Entry i of the palette at 16: levels of 0-24 (bit 15 clear), or of 5 bits; black past its end.
Rgb SxgEntry(const Bytes& b, int i) {
  const std::size_t pixelsAt = 16 + b[14] + 256 * static_cast<std::size_t>(b[15]);
  if (16 + 2 * static_cast<std::size_t>(i) >= pixelsAt) return {0, 0, 0};
  const int word = b[16 + 2 * i] + 256 * b[17 + 2 * i];
  const auto level = [&](int shift) {
    const int v = (word >> shift) % 32;
    return static_cast<std::uint8_t>(word >= 0x8000 ? v * 8 : std::min(255, v * 255 / 24));
  };
  return {level(10), level(5), level(0)};
}

Rgb SxgPixel(const Bytes& b, int x, int y) {
  const std::size_t pixelsAt = 16 + b[14] + 256 * static_cast<std::size_t>(b[15]);
  const int i = y * b[8] + x;
  if (b[7] == 2) return SxgEntry(b, b[pixelsAt + static_cast<std::size_t>(i)]);
  const std::uint8_t pair = b[pixelsAt + static_cast<std::size_t>(i / 2)];
  return SxgEntry(b, i % 2 == 0 ? pair / 16 : pair % 16);
}

Bytes WithPlus3DosHeader(const Bytes& data) {
  Bytes bytes = {'P', 'L', 'U', 'S', '3', 'D', 'O', 'S', 0x1A, 1, 0};
  const std::size_t total = 128 + data.size();
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(total >> (8 * i)));
  bytes.insert(bytes.end(), {3, static_cast<std::uint8_t>(data.size()),
                             static_cast<std::uint8_t>(data.size() >> 8), 0, 0x40, 0, 0x80});
  bytes.resize(127);
  bytes.push_back(static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0)));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

std::vector<DecoderCase> DecoderCases() {
  using enum ScreenFormat;
  return {
      {Standard, PseudoRandomBytes(1, 6913), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(StandardCell(b, x, y)); }},
      {PixelsOnly, PseudoRandomBytes(2, 6144), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(PixelsOnlyCell(b, x, y)); }},
      {UlaPlus, PseudoRandomBytes(3, 6976), 256, 192,
       [](const Bytes& b, int x, int y) {
         return UlaPlusCellColour(b, 6912, StandardCell(b, x, y));
       }},
      {TimexHiColour, PseudoRandomBytes(4, 12288), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(TimexHiColourCell(b, x, y)); }},
      {TimexHiColourUlaPlus, PseudoRandomBytes(5, 12352), 256, 192,
       [](const Bytes& b, int x, int y) {
         return UlaPlusCellColour(b, 12288, TimexHiColourCell(b, x, y));
       }},
      {TimexHiRes, PseudoRandomBytes(6, 12289), 512, 384,
       [](const Bytes& b, int x, int y) { return kSrgbColours[TimexHiResColour(b, 0, x, y)]; }},
      {Gigascreen, PseudoRandomBytes(7, 13824), 256, 192,
       [](const Bytes& b, int x, int y) {
         return Blend(StandardCell(b, x, y), GigascreenSecondCell(b, x, y));
       }},
      {Multicolour8x1, PseudoRandomBytes(8, 12288), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(MltCell(b, x, y)); }},
      {Multicolour8x1Linear, PseudoRandomBytes(9, 12288), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(McCell(b, x, y)); }},
      {Multicolour8x2, PseudoRandomBytes(10, 9216), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(IflCell(b, x, y)); }},
      {Multicolour8x4, PseudoRandomBytes(11, 7680), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(Mc4Cell(b, x, y)); }},
      {AttributesOnly, PseudoRandomBytes(12, 768), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(AttributesOnlyCell(b, x, y)); }},
      {BorderScreen, PseudoRandomBytes(13, 11136), 384, 304,
       [](const Bytes& b, int x, int y) {
         return Bordered(b, 6912, x, y,
                         [](const Bytes& c, int cx, int cy) { return StandardCell(c, cx, cy); });
       }},
      {BorderMulticolour, PseudoRandomBytes(14, 11904), 384, 304,
       [](const Bytes& b, int x, int y) { return Bordered(b, 7680, x, y, Bmc4Cell); }},
      {Chr, ChrFile(3, 4, 8, 15), 24, 32,
       [](const Bytes& b, int x, int y) { return Single(ChrCell(b, 3, 8, 0, x, y)); }},
      {Tricolour, PseudoRandomBytes(16, 18432), 256, 192,
       [](const Bytes& b, int x, int y) {
         const auto on = [&](std::size_t screen) -> std::uint8_t {
           return BitOf(b[screen * 6144 + InterleavedByte(x, y)], x) ? 0xFF : 0;
         };
         return Rgb{on(0), on(1), on(2)};
       }},
      {MultiArtist, MultiArtistFile(1, 19456), 256, 192, MultiArtistPixel<1>},
      {MultiArtist, MultiArtistFile(4, 15616), 256, 192, MultiArtistPixel<4>},
      {LowResGigascreen, PseudoRandomBytes(17, 1628), 256, 192,
       [](const Bytes& b, int x, int y) {
         return Blend(LowResCell(b, 0, x, y), LowResCell(b, 1, x, y));
       }},
      {TimexHiResGigascreen, PseudoRandomBytes(18, 24578), 512, 384,
       [](const Bytes& b, int x, int y) {
         return GigascreenRgb(kSrgbLevels, TimexHiResColour(b, 0, x, y),
                              TimexHiResColour(b, 12289, x, y));
       }},
      {Stellar, PseudoRandomBytes(19, 3072), 256, 192,
       [](const Bytes& b, int x, int y) {
         return Blend(StellarCell(b, 0, x, y), StellarCell(b, 1, x, y));
       }},
      {ScaAnimation, ScaFile(), 256, 192,
       [](const Bytes& b, int x, int y) { return Single(StandardCell(b, x, y, 16)); }, 2},
      {BspScreen, BspFile(), 384, 304, BspPixel},
      {NextImage, PseudoRandomBytes(24, 49664), 256, 192,
       [](const Bytes& b, int x, int y) {
         return NextEntry(b, 0, b[512 + static_cast<std::size_t>(y * 256 + x)]);
       }},
      {NextLayer2, PseudoRandomBytes(25, 49408), 256, 192,
       [](const Bytes& b, int x, int y) {
         return NextRgb(b[49152 + b[static_cast<std::size_t>(y * 256 + x)]]);
       }},
      {NextLayer2Wide, PseudoRandomBytes(26, 82432), 320, 256,
       [](const Bytes& b, int x, int y) {
         return NextEntry(b, 81920, b[static_cast<std::size_t>(x * 256 + y)]);
       }},
      {NextLayer2HiRes, PseudoRandomBytes(27, 81952), 640, 512,
       [](const Bytes& b, int x, int y) {
         const std::uint8_t pair = b[static_cast<std::size_t>((x / 2) * 256 + y / 2)];
         return NextEntry(b, 81920, x % 2 == 0 ? pair / 16 : pair % 16);
       }},
      {SamMode1, PseudoRandomBytes(29, 6928), 256, 192,
       [](const Bytes& b, int x, int y) {
         return SamRgb(b[6912 + static_cast<std::size_t>(CellColour(StandardCell(b, x, y)))]);
       }},
      {SamMode2, PseudoRandomBytes(30, 12304), 256, 192,
       [](const Bytes& b, int x, int y) {
         const auto at = static_cast<std::size_t>(y * 32 + x / 8);
         const PixelCell cell{BitOf(b[at], x), b[6144 + at]};
         return SamRgb(b[12288 + static_cast<std::size_t>(CellColour(cell))]);
       }},
      {SamMode3, PseudoRandomBytes(31, 24580), 512, 384, SamMode3Pixel},
      {SamMode4, PseudoRandomBytes(32, 24592), 256, 192, SamMode4Pixel},
      {SamScreen3, PseudoRandomBytes(34, 24617), 512, 384, SamMode3Pixel},
      {SamScreen4, PseudoRandomBytes(35, 24617), 256, 192, SamMode4Pixel},
      {ProfiGrf, ProfiGrfFile(), 512, 480, ProfiGrfPixel},
      {ZxEvolution, SxgFile(1, 10, 6, 16), 10, 6, SxgPixel},
      {ZxEvolution, SxgFile(2, 7, 5, 200), 7, 5, SxgPixel},
      {SamRaw, PseudoRandomBytes(33, 98304), 512, 384,
       [](const Bytes& b, int x, int y) {
         return SamRgb(b[static_cast<std::size_t>((y / 2) * 512 + x)] & 0x7F);
       }},
      {NextLoRes, PseudoRandomBytes(28, 12288), 256, 192,
       [](const Bytes& b, int x, int y) {
         return NextRgb(b[static_cast<std::size_t>((y / 2) * 128 + x / 2)]);
       }},
  };
}

// Each row's file is reached by each of its extensions, and decodes to its picture at the size
// the table says, pixel for pixel as its layout says.
TEST(ScreenDecoders, EveryRowShowsWhatItsLayoutSays) {
  const std::vector<DecoderCase> cases = DecoderCases();
  for (const ScreenFormatRow& row : ScreenFormatRows()) {
    EXPECT_TRUE(
        std::ranges::any_of(cases, [&](const DecoderCase& c) { return c.format == row.format; }))
        << row.name << " has no case";
  }
  const ScreenOptions options{.palette = *FindPalette("srgb")};
  for (const DecoderCase& c : cases) {
    const ScreenFormatRow& row = RowOf(c.format);
    for (const std::string_view extension : row.extensions) {
      if (!extension.empty()) {
        EXPECT_EQ(ScreenFormatOf(extension, c.file), c.format) << extension;
      }
    }
    if (!row.picture.starts_with("up to ")) {
      EXPECT_EQ(row.picture, std::to_string(c.width) + " x " + std::to_string(c.height));
    }
    // Half the file is no file of its extension, refused with the size found.
    const Bytes cut(c.file.begin(),
                    c.file.begin() + static_cast<std::ptrdiff_t>(c.file.size() / 2 + 1));
    EXPECT_EQ(ScreenFormatOf(row.extensions[0], cut), std::nullopt) << row.name;
    const std::string refusal = ScreenRefusal(row.extensions[0], cut);
    EXPECT_NE(refusal.find("it holds " + std::to_string(cut.size())), std::string::npos) << refusal;
    const ScreenPictures pictures = DecodeScreenFile(c.format, c.file, options);
    ASSERT_EQ(pictures.frames.size(), c.frames) << row.name;
    EXPECT_EQ(DifferenceFrom(pictures.frames[0], c.width, c.height,
                             [&](int x, int y) { return c.pixel(c.file, x, y); }),
              "")
        << row.name;
  }
}

TEST(ScreenDecoders, AnAnimationShowsEachScreenForItsOwnDelay) {
  const Bytes file = ScaFile();
  const ScreenPictures pictures = DecodeScreenFile(ScreenFormat::ScaAnimation, file, {});
  ASSERT_EQ(pictures.frames.size(), 2u);
  EXPECT_EQ(DelaysOf(pictures), (std::vector<std::uint16_t>{100, 300}));
  EXPECT_EQ(
      DifferenceFrom(pictures.frames[1], 256, 192,
                     [&](int x, int y) {
                       return kExpectedPalette[CellColour(StandardCell(file, x, y, 16 + 6912))];
                     }),
      "");
}

// A Next palette file colours the Next's screens without a palette, by its layout.
TEST(NextPalettes, AFileColoursTheNextScreensWithoutAPalette) {
  const Bytes npl = PseudoRandomBytes(30, 513), nine(npl.begin(), npl.end() - 1),
              eight = PseudoRandomBytes(31, 256);
  const auto ninth = [&](int i) { return NextEntry(nine, 0, i); };
  const auto eighth = [&](int i) { return NextRgb(eight[static_cast<std::size_t>(i)]); };
  const struct {
    std::string path;
    Bytes bytes;
    std::function<Rgb(int)> entry;
  } files[] = {{"/p/a.PAL", nine, ninth}, {"/p/b.npl", npl, ninth}, {"/p/c.pal", eight, eighth}};
  const Bytes pixels = PseudoRandomBytes(32, 49152);
  for (const auto& file : files) {
    FakeFileSystem system;
    system.files[file.path] = file.bytes;
    const ScreenOptions options{.palette = ReadPaletteFile(system, file.path)};
    EXPECT_EQ(DifferenceFrom(Decode(ScreenFormat::NextImage, pixels, options).frames[0], 256, 192,
                             [&](int x, int y) { return file.entry(pixels[y * 256 + x]); }),
              "")
        << file.path;
  }
}

// Every screen a NEX header flags, in the file's order, shows its block as the layout says: the
// palette block colours Layer 2, LoRes and the wide screens, byte 138 gives the hi-res colour
// (bits 3-5) and the wide screens' palette offset (bits 0-3, 16 entries each).
TEST(NexFiles, EveryFlaggedScreenShowsItsBlock) {
  const Bytes palette = PseudoRandomBytes(40, 512), layer2 = PseudoRandomBytes(41, 49152),
              ula = PseudoRandomBytes(42, 6912), lores = PseudoRandomBytes(43, 12288),
              hicolour = PseudoRandomBytes(45, 12288), wide = PseudoRandomBytes(46, 81920);
  constexpr std::uint8_t kColour = 0x1B;  // hi-res ink 3, palette offset 11
  Bytes hires = PseudoRandomBytes(44, 12288);
  struct Screen {
    std::string name;
    int width, height;
    ExpectedPixel pixel;
  };
  const struct {
    Bytes file;
    std::vector<Screen> screens;
  } cases[] = {
      {BuildNex({"V1.3", 0x5F, 5, kColour, 2},
                std::vector<Bytes>{palette, layer2, ula, lores, hires, hicolour, wide}),
       {{"layer2", 256, 192,
         [&](int x, int y) { return NextEntry(palette, 0, layer2[y * 256 + x]); }},
        {"ula", 256, 192, [&](int x, int y) { return Single(StandardCell(ula, x, y)); }},
        {"lores", 256, 192,
         [&](int x, int y) { return NextEntry(palette, 0, lores[(y / 2) * 128 + x / 2]); }},
        {"hires", 512, 384,
         [&](int x, int y) { return kSrgbColours[TimexHiResColour(hires, 0, x, y)]; }},
        {"hicolour", 256, 192,
         [&](int x, int y) { return Single(TimexHiColourCell(hicolour, x, y)); }},
        {"layer2-640", 640, 512,
         [&](int x, int y) {
           const int pair = wide[(x / 2) * 256 + y / 2];
           return NextEntry(palette, 0, 176 + (x % 2 == 0 ? pair / 16 : pair % 16));
         }}}},
      // No palette block: the default colours, the offset turning the 320 screen's indices.
      {BuildNex({"V1.3", 0xC0, 9, kColour, 1}, std::vector<Bytes>{wide}),
       {{"layer2-320", 320, 256,
         [&](int x, int y) {
           return NextRgb(static_cast<std::uint8_t>(wide[x * 256 + y] + 176));
         }}}},
  };
  hires.push_back(kColour);  // the Timex hi-res layout's colour byte, for TimexHiResColour
  for (const auto& c : cases) {
    const Collection collection = ReadCollection("dir/game.nex", c.file);
    ASSERT_EQ(collection.files.size(), c.screens.size());
    for (std::size_t i = 0; i < c.screens.size(); ++i) {
      const CollectionFile& file = collection.files[i];
      const Screen& screen = c.screens[i];
      EXPECT_EQ(file.name, "game-" + screen.name);
      EXPECT_EQ(file.border, c.file[11] < 8 ? std::optional(c.file[11]) : std::nullopt);
      const ScreenPictures pictures =
          Decode(file.screenFormat, CollectionScreenFile(collection, c.file, file), SrgbOptions());
      EXPECT_EQ(DifferenceFrom(pictures.frames[0], screen.width, screen.height, screen.pixel), "")
          << screen.name;
    }
  }
}

TEST(NexFiles, ABrokenHeaderIsRefusedNamingItsFieldAndACutFileListsWhatItHolds) {
  const Bytes whole = BuildNex({"V1.3", 0x83}, std::vector<Bytes>{Bytes(49152), Bytes(6912)});
  const std::pair<Bytes, std::string> refused[] = {
      {Bytes(whole.begin(), whole.begin() + 511),
       "it holds 511 bytes, less than its 512-byte header"},
      {BuildNex({"V2.0", 1}, {}),
       "its version (bytes 4-7) is \"V2.0\", expected V1.0, V1.1, V1.2 or V1.3"},
      {BuildNex({"V1.3", 0x40, 0, 0, 4}, {}),
       "its second screen flags (byte 152) are 4, expected 1, 2 or 3 with bit 6 of byte 10 set"},
  };
  for (const auto& [file, message] : refused) {
    try {
      ReadCollection("game.nex", file);
      ADD_FAILURE() << message;
    } catch (const ImageFormatError& error) {
      EXPECT_EQ(error.Message(), "not a NEX program: " + message);
    }
  }
  const Collection cut = ReadCollection("game.nex", Bytes(whole.begin(), whole.end() - 100));
  ASSERT_EQ(cut.files.size(), 1u);
  EXPECT_EQ(cut.warnings,
            (std::vector<Warning>{{Problem::NexCutShort, "standard screen", Details(6812, 6912)}}));
}

// Any row's file behind a PLUS3DOS header (a file copied off a +3 disk) is the same screen,
// its data at 128; a standard screen so is whatever its extension, and a wrong checksum is no
// header.
TEST(ScreenDecoders, APlus3DosHeaderInFrontOfAnyRowIsSkipped) {
  for (const DecoderCase& c : DecoderCases()) {
    const Bytes headed = WithPlus3DosHeader(c.file);
    const Collection collection =
        ReadCollection("a." + std::string(RowOf(c.format).extensions[0]), headed);
    ASSERT_EQ(collection.files.size(), 1u);
    const CollectionFile& screen = collection.files[0];
    EXPECT_EQ(screen.screenFormat, c.format);
    EXPECT_EQ(screen.offset, 128u);
    EXPECT_EQ(ScreenFileData(headed, screen),
              Bytes(c.file.begin(), c.file.begin() + ScreenFileSize(screen)));
  }
  const Bytes screen = PseudoRandomBytes(22, 6912);
  EXPECT_EQ(ReadCollection("SCREEN", WithPlus3DosHeader(screen)).files.at(0).offset, 128u);
  Bytes broken = WithPlus3DosHeader(screen);
  broken[127] ^= 1;
  EXPECT_THROW(ReadCollection("a.scr", broken), ImageFormatError);
}

}  // namespace
}  // namespace orlaspin::testing
