// zx-image's example screens, one of each format: the format their name and size choose, and
// their pictures against zx-image's own renderings (srgb colours) or, where it gave none, against
// the layouts.
#include <gtest/gtest.h>

#include "archive_builders.h"
#include "png_reader.h"
#include "screen_format_oracle.h"
#include "screens/screen_format.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

Bytes Example(const std::string& name) {
  return ReadFileBytes(TestdataPath("screens/moroz1999_zx-image__example_" + name));
}

std::string Extension(const std::string& name) { return name.substr(name.rfind('.') + 1); }

ScreenPictures DecodeExample(const std::string& name, const ScreenOptions& options) {
  const Bytes bytes = Example(name);
  const auto format = ScreenFormatOf(Extension(name), bytes);
  if (!format) throw std::runtime_error(name + " is of no known format");
  return DecodeScreenFile(*format, bytes, options);
}

ScreenOptions Srgb() { return {.palette = *FindPalette("srgb")}; }

TEST(RealScreenFiles, EachIsOfTheFormatItsNameAndSizeSay) {
  const std::pair<const char*, ScreenFormat> examples[] = {
      {"example.scr", ScreenFormat::Standard},
      {"hwflash.scr", ScreenFormat::Standard},
      {"monochrome.scr", ScreenFormat::PixelsOnly},
      {"ulaplus.scr", ScreenFormat::UlaPlus},
      {"timex81.scr", ScreenFormat::TimexHiColour},
      {"timexhr.scr", ScreenFormat::TimexHiRes},
      {"example.img", ScreenFormat::Gigascreen},
      {"example.mlt", ScreenFormat::Multicolour8x1},
      {"example.mc", ScreenFormat::Multicolour8x1Linear},
      {"example.ifl", ScreenFormat::Multicolour8x2},
      {"example.mc4", ScreenFormat::Multicolour8x4},
      {"example.atr", ScreenFormat::AttributesOnly},
      {"example.bsc", ScreenFormat::BorderScreen},
      {"example.bmc4", ScreenFormat::BorderMulticolour},
      {"example.ch$", ScreenFormat::Chr},
      {"example.3", ScreenFormat::Tricolour},
      {"example.mg1", ScreenFormat::MultiArtist},
      {"example.mg2", ScreenFormat::MultiArtist},
      {"example.mg4", ScreenFormat::MultiArtist},
      {"example.mg8", ScreenFormat::MultiArtist},
      {"example.hlr", ScreenFormat::LowResGigascreen},
      {"example.hrg", ScreenFormat::TimexHiResGigascreen},
      {"example.stl", ScreenFormat::Stellar},
      {"example.sca", ScreenFormat::ScaAnimation},
      {"example.bsp", ScreenFormat::BspScreen},
      {"example.nxi", ScreenFormat::NextImage},
      {"example.sl2", ScreenFormat::NextLayer2},
      {"sl2-320x256.sl2", ScreenFormat::NextLayer2Wide},
      {"sl2-640x256.sl2", ScreenFormat::NextLayer2HiRes},
      {"sam.ss3", ScreenFormat::SamScreen3},
      {"sam.ss4", ScreenFormat::SamScreen4},
      {"mode1.ssx", ScreenFormat::SamMode1},
      {"mode2.ssx", ScreenFormat::SamMode2},
      {"mode3.ssx", ScreenFormat::SamMode3},
      {"mode4.ssx", ScreenFormat::SamMode4},
      {"raw.ssx", ScreenFormat::SamRaw},
      {"example.grf", ScreenFormat::ProfiGrf},
      {"example.sxg", ScreenFormat::ZxEvolution},
  };
  for (const auto& [name, format] : examples) {
    EXPECT_EQ(ScreenFormatOf(Extension(name), Example(name)), format) << name;
  }
}

TEST(RealScreenFiles, MatchZxImagesPicturesPixelForPixel) {
  const std::pair<const char*, const char*> pairs[] = {
      {"example.scr", "standard"},    {"monochrome.scr", "monochrome"},
      {"timex81.scr", "timex81"},     {"example.mlt", "mlt"},
      {"example.mc", "mc"},           {"example.ifl", "multicolor"},
      {"example.mc4", "multicolor4"}, {"example.atr", "attributes"},
  };
  for (const auto& [screen, expected] : pairs) {
    const DecodedPng png = DecodePng(ReadFileBytes(TestdataPath(
        "screens/moroz1999_zx-image__tests_fixtures_expected_" + std::string(expected) + ".png")));
    ASSERT_EQ(png.frames.size(), 1u) << expected;
    const ScreenPictures pictures = DecodeExample(screen, Srgb());
    ASSERT_EQ(pictures.frames.size(), 1u) << screen;
    EXPECT_EQ(DifferenceFrom(pictures.frames[0], static_cast<int>(png.width),
                             static_cast<int>(png.height),
                             [&](int x, int y) { return png.frames[0][y * png.width + x]; }),
              "")
        << screen;
  }
}

TEST(RealScreenFiles, TheOthersFollowTheirLayouts) {
  const ScreenOptions options = Srgb();
  const auto srgb = [](int colour) { return kSrgbColours[colour]; };

  const Bytes ulaplus = Example("ulaplus.scr");
  EXPECT_EQ(DifferenceFrom(DecodeExample("ulaplus.scr", options).frames[0], 256, 192,
                           [&](int x, int y) {
                             return UlaPlusCellColour(ulaplus, 6912, StandardCell(ulaplus, x, y));
                           }),
            "");

  const Bytes hires = Example("timexhr.scr");
  const int ink = (hires[12288] >> 3) & 7;
  EXPECT_EQ(DifferenceFrom(DecodeExample("timexhr.scr", options).frames[0], 512, 384,
                           [&](int x, int y) {
                             const std::size_t at =
                                 ((x / 8) % 2) * 6144 + InterleavedByte((x / 16) * 8, y / 2);
                             return srgb(BitOf(hires[at], x) ? 8 + ink : 15 - ink);
                           }),
            "");

  const Bytes bsc = Example("example.bsc");
  EXPECT_EQ(DifferenceFrom(DecodeExample("example.bsc", options).frames[0], 384, 304,
                           [&](int x, int y) {
                             if (x < 64 || x >= 320 || y < 64 || y >= 256) {
                               return srgb(BorderColour(bsc, 6912, x, y));
                             }
                             return srgb(CellColour(StandardCell(bsc, x - 64, y - 64)));
                           }),
            "");

  const Bytes bmc4 = Example("example.bmc4");
  EXPECT_EQ(DifferenceFrom(DecodeExample("example.bmc4", options).frames[0], 384, 304,
                           [&](int x, int y) {
                             if (x < 64 || x >= 320 || y < 64 || y >= 256) {
                               return srgb(BorderColour(bmc4, 7680, x, y));
                             }
                             return srgb(CellColour(Bmc4Cell(bmc4, x - 64, y - 64)));
                           }),
            "");

  // 32 x 45 characters of 9 bytes.
  const Bytes chr = Example("example.ch$");
  EXPECT_EQ(DifferenceFrom(
                DecodeExample("example.ch$", options).frames[0], 256, 360,
                [&](int x, int y) {
                  const std::size_t cell = 7 + static_cast<std::size_t>(((y / 8) * 32 + x / 8) * 9);
                  return srgb(CellColour(
                      {BitOf(chr[cell + static_cast<std::size_t>(y % 8)], x), chr[cell + 8]}));
                }),
            "");

  const Bytes img = Example("example.img");
  const LevelTable srgbLevels = {0x00, 0x96, 0xCD, 0xE8, 0xFF, 0xBC};
  EXPECT_EQ(DifferenceFrom(DecodeExample("example.img", options).frames[0], 256, 192,
                           [&](int x, int y) {
                             return GigascreenRgb(srgbLevels, CellColour(StandardCell(img, x, y)),
                                                  CellColour(StandardCell(img, x, y, 6912)));
                           }),
            "");
}

TEST(RealScreenFiles, AFlashingScreenGivesBothPhases) {
  const Bytes bytes = Example("hwflash.scr");
  ScreenOptions options = Srgb();
  options.flash = true;
  const ScreenPictures pictures = DecodeExample("hwflash.scr", options);
  ASSERT_EQ(pictures.frames.size(), 2u);
  EXPECT_EQ(pictures.frameMilliseconds, 320);
  EXPECT_EQ(DifferenceFrom(pictures.frames[1], 256, 192,
                           [&](int x, int y) {
                             return kSrgbColours[CellColour(StandardCell(bytes, x, y), true)];
                           }),
            "");
  EXPECT_NE(pictures.frames[0].pixels, pictures.frames[1].pixels);
}

}  // namespace
}  // namespace orlaspin::testing
