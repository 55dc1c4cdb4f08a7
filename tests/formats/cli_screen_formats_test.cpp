// orlaspin-cli exporting bare screen files of every format and snapshots in their own modes, with
// the palette, border and gigascreen options: the pictures read back and compared, pixel by
// pixel, with what the formats' layouts say.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>

#include "cli.h"
#include "cli_run.h"
#include "png_reader.h"
#include "screen_format_oracle.h"
#include "screens/screen_format.h"
#include "snapshot_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

using Names = std::vector<std::string>;

// Fuse's colours: 0xC0 for a normal channel, 0xFF for a bright one.
constexpr RgbPalette kFuseColours = {{
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0xC0},
    {0xC0, 0x00, 0x00},
    {0xC0, 0x00, 0xC0},
    {0x00, 0xC0, 0x00},
    {0x00, 0xC0, 0xC0},
    {0xC0, 0xC0, 0x00},
    {0xC0, 0xC0, 0xC0},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0xFF},
    {0xFF, 0x00, 0x00},
    {0xFF, 0x00, 0xFF},
    {0x00, 0xFF, 0x00},
    {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0x00},
    {0xFF, 0xFF, 0xFF},
}};

// zx-image's srgb level table: a channel off or on at normal or bright level on each screen.
constexpr LevelTable kSrgbLevels = {0x00, 0x96, 0xCD, 0xE8, 0xFF, 0xBC};

Picture PictureOf(const DecodedPng& png, std::size_t frame = 0) {
  Picture picture{static_cast<int>(png.width), static_cast<int>(png.height), {}};
  for (const Rgb& rgb : png.frames.at(frame)) picture.pixels.push_back(ColourValue(rgb));
  return picture;
}

// The fuse colour of a pixel of a cell-laid-out format.
template <typename CellAt>
ExpectedPixel InFuse(const Bytes& bytes, CellAt cellAt) {
  return [&bytes, cellAt](int x, int y) { return kFuseColours[CellColour(cellAt(bytes, x, y))]; };
}

PixelCell Standard(const Bytes& bytes, int x, int y) { return StandardCell(bytes, x, y); }

// Timex hi-res, each line shown twice: column byte n of the first screen, then of the second;
// ink bright colour c of bits 3-5 of the last byte, paper bright 7 - c.
Rgb HiResPixel(const Bytes& bytes, int x, int y) {
  const std::size_t at =
      static_cast<std::size_t>((x / 8) % 2) * 6144 + InterleavedByte((x / 16) * 8, y / 2);
  const int c = (bytes[12288] >> 3) & 7;
  return kFuseColours[BitOf(bytes[at], x) ? 8 + c : 15 - c];
}

// A border screen: the screen at (64, 64), the border bytes around it.
ExpectedPixel BorderScreenPixel(const Bytes& bytes, std::size_t borderBase,
                                std::function<PixelCell(const Bytes&, int, int)> cellAt) {
  return [&bytes, borderBase, cellAt](int x, int y) {
    if (x >= 64 && x < 320 && y >= 64 && y < 256) {
      return kFuseColours[CellColour(cellAt(bytes, x - 64, y - 64))];
    }
    return kFuseColours[BorderColour(bytes, borderBase, x, y)];
  };
}

// "chr$", the width and height in characters, 9 bytes a cell, the cells' bytes.
Bytes ChrFile(int columns, int rows, int cellBytes, std::uint32_t seed) {
  Bytes bytes = {'c',
                 'h',
                 'r',
                 '$',
                 static_cast<std::uint8_t>(columns),
                 static_cast<std::uint8_t>(rows),
                 static_cast<std::uint8_t>(cellBytes)};
  const Bytes cells = PseudoRandomBytes(seed, static_cast<std::size_t>(columns * rows * cellBytes));
  bytes.insert(bytes.end(), cells.begin(), cells.end());
  return bytes;
}

// A cell of a chr$ file of 9-byte cells: eight pixel rows from the top, then the attribute.
PixelCell ChrCell(const Bytes& bytes, int columns, int x, int y) {
  const std::size_t cell = 7 + static_cast<std::size_t>(((y / 8) * columns + x / 8) * 9);
  return {BitOf(bytes[cell + static_cast<std::size_t>(y % 8)], x), bytes[cell + 8]};
}

class CliScreenFormatsTest : public ::testing::Test {
 protected:
  std::string Put(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = input.File(name);
    WriteFileBytes(path, bytes);
    return path;
  }

  // Exports the image with the options into a folder of its own; the run's outcome.
  CliRun Export(const std::string& image, const Names& options) {
    folder = output.File("run" + std::to_string(++runs));
    Names args = {"export", "-o", folder};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(image);
    return Cli(args);
  }

  // The one PNG the export of the image wrote, as stem.png.
  DecodedPng ExportedPng(const std::string& image, const std::string& stem, Names options) {
    options.insert(options.end(), {"-f", "png"});
    const CliRun run = Export(image, options);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, stem + ".png\n1 screen exported\n");
    return DecodePng(ReadFileBytes(folder + "/" + stem + ".png"));
  }

  TempFolder input;
  TempFolder output;
  std::string folder;
  int runs = 0;
};

struct FormatCase {
  std::string name;
  Bytes bytes;
  int width, height;
  std::function<ExpectedPixel(const Bytes&)> expected;
};

TEST_F(CliScreenFormatsTest, EveryBareScreenFormatIsExportedAsItsLayoutSays) {
  const auto cells = [](auto cellAt) {
    return [cellAt](const Bytes& bytes) { return InFuse(bytes, cellAt); };
  };
  const auto ulaPlus = [](std::size_t paletteAt, auto cellAt) {
    return [paletteAt, cellAt](const Bytes& bytes) -> ExpectedPixel {
      return [&bytes, paletteAt, cellAt](int x, int y) {
        return UlaPlusCellColour(bytes, paletteAt, cellAt(bytes, x, y));
      };
    };
  };
  Bytes withExtraByte = PseudoRandomBytes(2, 6912);
  withExtraByte.push_back(0xFF);
  const std::vector<FormatCase> cases = {
      {"standard.scr", PseudoRandomBytes(1, 6912), 256, 192, cells(Standard)},
      {"plus.SCR", withExtraByte, 256, 192, cells(Standard)},
      {"pixels.scr", PseudoRandomBytes(3, 6144), 256, 192, cells(PixelsOnlyCell)},
      {"ulaplus.scr", PseudoRandomBytes(4, 6976), 256, 192, ulaPlus(6912, Standard)},
      {"hicolour.scr", PseudoRandomBytes(5, 12288), 256, 192, cells(TimexHiColourCell)},
      {"hicolourplus.scr", PseudoRandomBytes(6, 12352), 256, 192,
       ulaPlus(12288, TimexHiColourCell)},
      {"hires.scr", PseudoRandomBytes(7, 12289), 512, 384,
       [](const Bytes& bytes) -> ExpectedPixel {
         return [&bytes](int x, int y) { return HiResPixel(bytes, x, y); };
       }},
      {"lines.mlt", PseudoRandomBytes(8, 12288), 256, 192, cells(MltCell)},
      {"linear.mc", PseudoRandomBytes(9, 12288), 256, 192, cells(McCell)},
      {"two.ifl", PseudoRandomBytes(10, 9216), 256, 192, cells(IflCell)},
      {"four.mc4", PseudoRandomBytes(11, 7680), 256, 192, cells(Mc4Cell)},
      {"cells.atr", PseudoRandomBytes(12, 768), 256, 192, cells(AttributesOnlyCell)},
      {"framed.bsc", PseudoRandomBytes(13, 11136), 384, 304,
       [](const Bytes& bytes) { return BorderScreenPixel(bytes, 6912, Standard); }},
      {"framed4.bmc4", PseudoRandomBytes(14, 11904), 384, 304,
       [](const Bytes& bytes) { return BorderScreenPixel(bytes, 7680, Bmc4Cell); }},
      {"small.chr$", ChrFile(3, 2, 9, 15), 24, 16,
       [](const Bytes& bytes) -> ExpectedPixel {
         return
             [&bytes](int x, int y) { return kFuseColours[CellColour(ChrCell(bytes, 3, x, y))]; };
       }},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string image = Put(c.name, c.bytes);
    const std::string stem = c.name.substr(0, c.name.find('.'));
    const DecodedPng png = ExportedPng(image, stem, {"--palette", "fuse"});
    ASSERT_EQ(png.frames.size(), 1u);
    EXPECT_EQ(DifferenceFrom(PictureOf(png), c.width, c.height, c.expected(c.bytes)), "");
  }
}

TEST_F(CliScreenFormatsTest, AGigascreenBlendsInTheBmpAndFlickersInAnAnimatedPng) {
  const Bytes bytes = PseudoRandomBytes(20, 13824);
  const std::string image = Put("giga.img", bytes);
  const auto colourOf = [&bytes](int x, int y, std::size_t screen) {
    return CellColour(StandardCell(bytes, x, y, screen));
  };
  const DecodedPng blend = ExportedPng(image, "giga", {"--palette", "srgb"});
  ASSERT_EQ(blend.frames.size(), 1u);
  EXPECT_EQ(DifferenceFrom(PictureOf(blend), 256, 192,
                           [&](int x, int y) {
                             return GigascreenRgb(kSrgbLevels, colourOf(x, y, 0),
                                                  colourOf(x, y, 6912));
                           }),
            "");

  const DecodedPng flicker =
      ExportedPng(image, "giga", {"--palette", "fuse", "--gigascreen", "flicker"});
  ASSERT_EQ(flicker.frames.size(), 2u);
  ASSERT_EQ(flicker.frameControls.size(), 2u);
  for (std::size_t frame = 0; frame < 2; ++frame) {
    const PngFrameControl& control = flicker.frameControls[frame];
    EXPECT_EQ(control.delayNumerator * 1000 / control.delayDenominator, 20);
    EXPECT_EQ(
        DifferenceFrom(PictureOf(flicker, frame), 256, 192,
                       [&](int x, int y) { return kFuseColours[colourOf(x, y, frame * 6912)]; }),
        "")
        << frame;
  }

  // A bitmap holds one picture: flicker is refused there, and blend is what it shows.
  const CliRun bmp = Export(image, {"--gigascreen", "flicker"});
  EXPECT_EQ(bmp.status, 2);
  EXPECT_TRUE(bmp.err.starts_with("orlaspin-cli: --gigascreen flicker needs --format png"))
      << bmp.err;
  EXPECT_EQ(Export(image, {"--gigascreen", "blend"}).status, 0);
  EXPECT_EQ(Cli({"export", "-o", folder, "--gigascreen", "sideways", image}).status, 2);
}

TEST_F(CliScreenFormatsTest, APaletteIsANameOrAFileAndAnythingElseIsAUsageError) {
  const Bytes screen = PseudoRandomBytes(30, 6912);
  const std::string image = Put("pic.scr", screen);
  // Sixteen colours of the file's own, each channel telling its index apart.
  RgbPalette own{};
  std::string text = "\xEF\xBB\xBF# my colours\r\n\n";
  for (int i = 0; i < 16; ++i) {
    own[i] = {static_cast<std::uint8_t>(i * 16 + 1), static_cast<std::uint8_t>(255 - i * 3),
              static_cast<std::uint8_t>(i * 7)};
    char line[32];
    std::snprintf(line, sizeof line, "#%02X%02x%02X\t# %d\r\n", own[i].r, own[i].g, own[i].b, i);
    text += line;
  }
  const std::string paletteFile =
      Put("mine.pal", std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  const DecodedPng png = ExportedPng(image, "pic", {"--palette", paletteFile});
  EXPECT_EQ(
      DifferenceFrom(PictureOf(png), 256, 192,
                     [&](int x, int y) { return own[CellColour(StandardCell(screen, x, y))]; }),
      "");

  const std::string notAPalette = Put("notes.txt", Bytes{'h', 'i', '\n'});
  const std::string shortNext = Put("short.npl", Bytes(511, 0));
  for (const std::string& bad :
       {std::string("sepia"), notAPalette, input.File("gone.pal"), shortNext}) {
    SCOPED_TRACE(bad);
    const CliRun run = Export(image, {"--palette", bad});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("orlaspin-cli: --palette " + bad + ": ")) << run.err;
    EXPECT_TRUE(run.err.ends_with("\nTry 'orlaspin-cli --help'.\n")) << run.err;
  }
  EXPECT_NE(
      Export(image, {"--palette", "sepia"})
          .err.find("the palettes are orlaspin, fuse, srgb, pulsar, alone, orthodox, skoolkit"),
      std::string::npos);
  EXPECT_NE(Export(image, {"--palette", notAPalette}).err.find("not a palette file"),
            std::string::npos);
  EXPECT_NE(Export(image, {"--palette", shortNext}).err.find("it holds 511 bytes"),
            std::string::npos);
  EXPECT_EQ(Export(image, {"--palette"}).status, 2);
  // Names are exact: no palette is called FUSE.
  EXPECT_EQ(Export(image, {"--palette", "FUSE"}).status, 2);
}

// The expected pixel of a standard screen inside a border of one colour, at scale 1.
ExpectedPixel Framed(const Bytes& screen, int border) {
  return [&screen, border](int x, int y) {
    if (x < 32 || x >= 288 || y < 24 || y >= 216) return kFuseColours[border];
    return kFuseColours[CellColour(StandardCell(screen, x - 32, y - 24))];
  };
}

TEST_F(CliScreenFormatsTest, ABorderIsTheSourcesColourOrWhiteUnlessAColourIsGiven) {
  const Bytes screen = PseudoRandomBytes(40, 6912);
  const std::string bare = Put("bare.scr", screen);
  // A bare screen records no border: white, as after reset.
  EXPECT_EQ(DifferenceFrom(PictureOf(ExportedPng(bare, "bare", {"--palette", "fuse", "--border"})),
                           320, 240, Framed(screen, 7)),
            "");
  EXPECT_EQ(
      DifferenceFrom(PictureOf(ExportedPng(bare, "bare", {"--palette", "fuse", "--border", "2"})),
                     320, 240, Framed(screen, 2)),
      "");
  EXPECT_EQ(
      DifferenceFrom(PictureOf(ExportedPng(bare, "bare", {"--palette", "fuse", "--border=0"})), 320,
                     240, Framed(screen, 0)),
      "");

  // A snapshot's border colour, unless one is given.
  Bytes page(screen.begin(), screen.end());
  page.resize(kPageSize, 0x21);
  const std::vector<SzxPage> pages = {{5, page, true}};
  const std::string szx = Put("snap.szx", BuildSzx(1, SzxSpecRegs{5, 0}, pages));
  EXPECT_EQ(DifferenceFrom(PictureOf(ExportedPng(szx, "snap", {"--palette", "fuse", "--border"})),
                           320, 240, Framed(screen, 5)),
            "");
  EXPECT_EQ(
      DifferenceFrom(PictureOf(ExportedPng(szx, "snap", {"--palette", "fuse", "--border", "1"})),
                     320, 240, Framed(screen, 1)),
      "");
  // Scaled with the screen.
  const DecodedPng scaled = ExportedPng(szx, "snap", {"--border", "-s", "2"});
  EXPECT_EQ(scaled.width, 640u);
  EXPECT_EQ(scaled.height, 480u);

  // A border screen keeps its own border.
  const Bytes bsc = PseudoRandomBytes(41, 11136);
  const DecodedPng own =
      ExportedPng(Put("own.bsc", bsc), "own", {"--palette", "fuse", "--border", "3"});
  EXPECT_EQ(DifferenceFrom(PictureOf(own), 384, 304, BorderScreenPixel(bsc, 6912, Standard)), "");

  for (const char* wrong : {"--border=8", "--border=", "--border=red"}) {
    const CliRun run = Export(bare, {wrong});
    EXPECT_EQ(run.status, 2) << wrong;
    EXPECT_TRUE(run.err.starts_with("orlaspin-cli: --border is a colour from 0 to 7")) << run.err;
  }
  // One digit after --border is its colour, 8 or 9 too; anything longer is an image.
  EXPECT_EQ(Export(bare, {"--border", "9"}).status, 2);
  const CliRun named = Cli({"export", "-o", output.File("named"), "--border", bare});
  EXPECT_EQ(named.status, 0) << named.err;
}

TEST_F(CliScreenFormatsTest, ASnapshotInTimexHiResIsExportedAs512By384) {
  Bytes page = PseudoRandomBytes(50, kPageSize);
  const std::uint8_t mode = 0x16;  // hi-res, ink 2 on paper 5
  const SzxChunk scld[] = {{{'S', 'C', 'L', 'D'}, {0x00, mode}}};
  const std::vector<SzxPage> pages = {{5, page, true}};
  const std::string szx = Put("timex.szx", BuildSzx(8, SzxSpecRegs{1, 0}, pages, scld));
  // The file the snapshot's display amounts to: both pixel screens, then the mode.
  Bytes hiRes(2 * 6144 + 1, mode);
  std::copy_n(page.begin(), 6144, hiRes.begin());
  std::copy_n(page.begin() + 0x2000, 6144, hiRes.begin() + 6144);
  const DecodedPng png = ExportedPng(szx, "timex", {"--palette", "fuse"});
  EXPECT_EQ(DifferenceFrom(PictureOf(png), 512, 384,
                           [&](int x, int y) { return HiResPixel(hiRes, x, y); }),
            "");
  EXPECT_EQ(Cli({"list", szx}).out, "timex\tsnapshot\t\t12289\t0\n");
}

// The width and height in a PNG's header, without decoding its pixels.
std::pair<std::uint32_t, std::uint32_t> PngSize(const Bytes& png) {
  const auto u32 = [&png](std::size_t at) {
    return std::uint32_t{png.at(at)} << 24 | std::uint32_t{png[at + 1]} << 16 |
           std::uint32_t{png[at + 2]} << 8 | png[at + 3];
  };
  return {u32(16), u32(20)};
}

TEST_F(CliScreenFormatsTest, APictureTooLargeForTheScaleGetsTheLargestScaleThatFits) {
  // 255 x 86 characters: 2040 x 688 pixels, 6120 wide at scale 3.
  const std::string wide = Put("wide.chr$", ChrFile(255, 86, 8, 60));
  const CliRun run = Export(wide, {"-f", "png", "-s", "3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err,
            "orlaspin-cli: warning: " + wide +
                ": wide: a picture of 2040 x 688 pixels enlarged 3 times would pass 4096 pixels; "
                "enlarged 2 times instead\n");
  EXPECT_EQ(PngSize(ReadFileBytes(folder + "/wide.png")),
            (std::pair<std::uint32_t, std::uint32_t>{4080, 1376}));
  // Timex hi-res inside a border at scale 8 would be 5120 wide; 6 is the largest that fits.
  const std::string hiRes = Put("hires.scr", PseudoRandomBytes(61, 12289));
  const CliRun framed = Export(hiRes, {"-f", "png", "-s", "8", "--border"});
  EXPECT_NE(framed.err.find("enlarged 6 times instead"), std::string::npos) << framed.err;
  EXPECT_EQ(PngSize(ReadFileBytes(folder + "/hires.png")),
            (std::pair<std::uint32_t, std::uint32_t>{3840, 2880}));
  // At scale 8, a 512 x 384 picture is exactly 4096 wide: no warning.
  const CliRun exact = Export(hiRes, {"-f", "png", "-s", "8"});
  EXPECT_EQ(exact.err, "");
  EXPECT_EQ(PngSize(ReadFileBytes(folder + "/hires.png")),
            (std::pair<std::uint32_t, std::uint32_t>{4096, 3072}));
}

TEST_F(CliScreenFormatsTest, AChrFileWhoseHeaderDisagreesWithItsSizeIsAnError) {
  Bytes chr = ChrFile(2, 2, 9, 70);
  chr.push_back(0);
  const std::string image = Put("bad.chr$", chr);
  const CliRun run = Export(image, {});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.starts_with("orlaspin-cli: " + image + ": not a chr$")) << run.err;
  // list takes the same decision: no screen there.
  const CliRun listed = Cli({"list", image});
  EXPECT_EQ(listed.status, 1);
  EXPECT_EQ(listed.err, run.err);
  EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(folder)));
}

}  // namespace
}  // namespace orlaspin::testing
