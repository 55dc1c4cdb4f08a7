#include "export/collection_export.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "export/file_names.h"
#include "export/images_export.h"
#include "containers/catalogue.h"
#include "containers/collection.h"
#include "fake_file_system.h"
#include "oracle.h"
#include "png_reader.h"
#include "listed_image.h"
#include "recording_views.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

using Names = std::vector<std::string>;
using Failures = std::vector<std::pair<std::string, std::string>>;

constexpr std::size_t kBmpFileSize = 54 + 256 * 192 * 4;

// The bitmap of a screen enlarged scale times, from the layouts: headers, then the rows from the
// bottom up, blue, green, red and a zero byte per pixel.
std::vector<std::uint8_t> OracleScaledBitmap(const ScreenBytes& screen, int scale) {
  const std::uint32_t width = 256 * scale, height = 192 * scale, pixelBytes = width * height * 4;
  std::vector<std::uint8_t> file = {'B', 'M'};
  auto put32 = [&file](std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
      file.push_back(static_cast<std::uint8_t>(v >> shift));
  };
  auto put16 = [&file](std::uint16_t v) {
    file.push_back(static_cast<std::uint8_t>(v));
    file.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  put32(54 + pixelBytes);
  put32(0);
  put32(54);
  put32(40);
  put32(width);
  put32(height);
  put16(1);
  put16(32);
  put32(0);
  put32(pixelBytes);
  for (int i = 0; i < 4; ++i) put32(0);
  for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
    for (int x = 0; x < static_cast<int>(width); ++x) {
      const Rgb c = OraclePixel(screen, x / scale, y / scale);
      file.insert(file.end(), {c.b, c.g, c.r, 0});
    }
  }
  return file;
}

class CollectionExportTest : public ::testing::Test {
 protected:
  // The screens written from one image named alone.
  int Export(const std::string& image, const std::string& outputDir, OutputOptions options = {}) {
    const ImagesExportResult result =
        ExportImages(files, {{image}, false, outputDir, options, 1}, view);
    EXPECT_TRUE(result.singleImage);
    return result.screens;
  }
  std::string Bitmap(const std::string& path, const ScreenBytes& screen) {
    return FirstDifference(files.files.at(path), OracleBitmapFile(screen));
  }

  FakeFileSystem files;
  RecordingImagesView view;
};

TEST_F(CollectionExportTest, EveryKindGivesItsScreensInOrderUnderSafeUniqueNames) {
  const ScreenBytes a = ColourfulScreen(21), b = ColourfulScreen(22), c = ColourfulScreen(23);
  const ArchivedFile archived[] = {ScreenFile("PIC?", a),
                                   {"text", 'B', 0, std::vector<std::uint8_t>(500, 9), {}, {}},
                                   ScreenFile("PIC/", b),
                                   ScreenFile("con", c)};
  files.files["in/a.scl"] = BuildScl(archived);
  files.files["in/b.$C"] = BuildHobeta(ScreenFile("  PIC_ ", c));
  files.files["in/aux.scr"] = std::vector<std::uint8_t>(a.begin(), a.end());

  EXPECT_EQ(Export("in/a.scl", "out"), 3);
  EXPECT_EQ(Export("in/b.$C", "out"), 1);
  EXPECT_EQ(Export("in/aux.scr", "out"), 1);
  EXPECT_EQ(view.written, (Names{"PIC_.bmp", "PIC_1.bmp", "con_.bmp", "PIC_11.bmp", "aux_.bmp"}));
  EXPECT_EQ(Bitmap("out/PIC_.bmp", a), "");
  EXPECT_EQ(Bitmap("out/PIC_1.bmp", b), "");
  EXPECT_EQ(Bitmap("out/con_.bmp", c), "");
  EXPECT_EQ(Bitmap("out/PIC_11.bmp", c), "");
  EXPECT_EQ(Bitmap("out/aux_.bmp", a), "");
}

TEST_F(CollectionExportTest, AScreenFileOfAnotherFormatIsDecodedAsThatFormat) {
  // A Timex hi-res file: 512 x 384, and 1024 x 768 at scale 2.
  std::vector<std::uint8_t> hiRes = PseudoRandomBytes(8, 12289);
  files.files["in/hi.scr"] = hiRes;
  EXPECT_EQ(Export("in/hi.scr", "out", {OutputFormat::Bmp, 2, false}), 1);
  const std::vector<std::uint8_t>& bitmap = files.files.at("out/hi.bmp");
  ASSERT_GE(bitmap.size(), 26u);
  EXPECT_EQ(bitmap[18] | bitmap[19] << 8, 1024);  // the width and height in the info header
  EXPECT_EQ(bitmap[22] | bitmap[23] << 8, 768);
  EXPECT_EQ(bitmap.size(), 54u + 1024 * 768 * 4);
  EXPECT_TRUE(view.warnings.empty());
}

TEST_F(CollectionExportTest, ABareScreensNameIsItsFileNameUnchanged) {
  // File names are already the platform's text: no code page is applied to them.
  const ScreenBytes screen = ColourfulScreen(5);
  files.files["Экран 1.scr"] = std::vector<std::uint8_t>(screen.begin(), screen.end());
  EXPECT_EQ(Export("Экран 1.scr", "out"), 1);
  EXPECT_EQ(view.written, (Names{"Экран 1.bmp"}));
}

TEST_F(CollectionExportTest, ExistingFilesAreNeverReplaced) {
  const ScreenBytes screen = ColourfulScreen(6);
  files.files["s.scr"] = std::vector<std::uint8_t>(screen.begin(), screen.end());
  files.files["out/s.png"] = {1, 2, 3};
  files.files["out/s1.png"] = {4};
  // One more appears between the test and the creation.
  files.faults.beforeCreate = [this](const std::string& path) {
    if (path == "out/s11.png") files.files[path] = {5};
  };
  EXPECT_EQ(Export("s.scr", "out", {OutputFormat::Png, 1, false}), 1);
  EXPECT_EQ(view.written, (Names{"s111.png"}));
  EXPECT_EQ(files.files["out/s.png"], (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(files.files["out/s1.png"], (std::vector<std::uint8_t>{4}));
  EXPECT_EQ(files.files["out/s11.png"], (std::vector<std::uint8_t>{5}));
}

TEST_F(CollectionExportTest, ScaledBitmapsEnlargeEveryPixel) {
  const ScreenBytes screen = RealScreen("nzeemin_desolate__loading.scr");
  files.files["d.scr"] = std::vector<std::uint8_t>(screen.begin(), screen.end());
  EXPECT_EQ(Export("d.scr", "", {OutputFormat::Bmp, 3, false}), 1);
  EXPECT_EQ(FirstDifference(files.files.at("d.bmp"), OracleScaledBitmap(screen, 3)), "");
}

TEST_F(CollectionExportTest, PngFilesCarryTheScreenAndFlashOnlyWhenAskedFor) {
  ScreenBytes screen = RealScreen("mojontwins_MK2__gfx_title.scr");
  screen[AttributeIndex(3, 3)] = 0xB9;  // flash, white paper, blue ink
  files.files["m.scr"] = std::vector<std::uint8_t>(screen.begin(), screen.end());
  Export("m.scr", "still", {OutputFormat::Png, 2, false});
  Export("m.scr", "flash", {OutputFormat::Png, 2, true});
  const DecodedPng still = DecodePng(files.files.at("still/m.png"));
  const DecodedPng flash = DecodePng(files.files.at("flash/m.png"));
  EXPECT_EQ(still.frames.size(), 1u);
  EXPECT_EQ(still.width, 512u);
  ASSERT_EQ(flash.frames.size(), 2u);
  EXPECT_EQ(flash.frames[0], still.frames[0]);
  ASSERT_EQ(flash.frameControls.size(), 2u);
  EXPECT_EQ(flash.frameControls[1].delayNumerator * 1000 / flash.frameControls[1].delayDenominator,
            320);
  // Exactly the pixels of the flashing cell (rows and columns 48-63 at scale 2) change.
  for (std::size_t i = 0; i < still.frames[0].size(); ++i) {
    const std::size_t x = i % 512, y = i / 512;
    const bool inCell = x >= 48 && x < 64 && y >= 48 && y < 64;
    ASSERT_EQ(flash.frames[1][i] != still.frames[0][i], inCell) << x << ", " << y;
  }
  // A flash frame for a BMP cannot be: the option does nothing there.
  Export("m.scr", "bmp", {OutputFormat::Bmp, 1, true});
  EXPECT_EQ(Bitmap("bmp/m.bmp", screen), "");
}

TEST_F(CollectionExportTest, WarningsOfTheImageAreTold) {
  auto scl = BuildScl(std::vector<ArchivedFile>{ScreenFile("a", ColourfulScreen(1))});
  scl.back() ^= 0xFF;
  files.files["w.scl"] = scl;
  EXPECT_EQ(Export("w.scl", ""), 1);
  EXPECT_EQ(view.warnings,
            (std::vector<std::pair<std::string, Problem>>{{"w.scl", Problem::SclWrongChecksum}}));
}

TEST_F(CollectionExportTest, AShortWriteEndsTheExportAndRemovesTheHalfFile) {
  const ArchivedFile archived[] = {ScreenFile("one", ColourfulScreen(1)),
                                   ScreenFile("two", ColourfulScreen(2))};
  files.files["x.scl"] = BuildScl(archived);
  files.faults.writeCapacity = kBmpFileSize + 1000;
  EXPECT_EQ(Export("x.scl", "out"), 1);
  EXPECT_EQ(view.failures, (Failures{{"x.scl", "Stream write error"}}));
  EXPECT_EQ(view.written, (Names{"one.bmp"}));
  EXPECT_TRUE(files.files.contains("out/one.bmp"));
  EXPECT_EQ(files.files.size(), 2u) << "the image and one.bmp alone";
}

}  // namespace
}  // namespace orlaspin::testing
