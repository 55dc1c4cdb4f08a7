// The batch of a listed TR-DOS catalogue, as the window runs it: every screen read from the
// image at its turn and saved as a bitmap under a safe, unique name.
#include <gtest/gtest.h>

#include <filesystem>

#include "export/collection_export.h"
#include "fake_file_system.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "listed_image.h"
#include "oracle.h"
#include "recording_views.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin {
namespace {

using testing::TrdBuilder;
using Names = std::vector<std::string>;

// A batch through the real file layer into a folder of its own.
class ExportTest : public ::testing::Test {
 protected:
  ExportTest() { state.ZxPalette = kZxPaletteColours; }

  void Open(const TrdBuilder& builder) { Open(builder.Build()); }
  void Open(std::span<const std::uint8_t> image) {
    state.ImagePath = folder.File("disk.trd");
    testing::WriteFileBytes(state.ImagePath, image);
    testing::OpenImage(state, SystemFileSystem(), state.ImagePath);
  }
  int Export() { return testing::ExportListed(state, SystemFileSystem(), view, output.Path()); }
  std::string Bmp(const std::string& name) const {
    return testing::FirstDifference(testing::ReadFileBytes(output.File(name)),
                                    testing::OracleBitmapFile(screens.at(name)));
  }

  testing::TempFolder folder;
  testing::TempFolder output;
  testing::ListedImage state;
  testing::RecordingExportView view;
  std::map<std::string, ScreenBytes> screens;  // what each file must show
};

TEST_F(ExportTest, TakesTheScreensInCatalogueOrderUnderUniqueNames) {
  const std::vector<std::uint8_t> notAScreen(6000, 0x55);
  for (int i = 0; i < 3; ++i)
    screens["SCREEN" + std::string(i, '1') + ".bmp"] = testing::ColourfulScreen(40 + i);
  Open(TrdBuilder()
           .AddScreen("SCREEN", screens["SCREEN.bmp"])
           .AddFile("SCREEN", 'B', notAScreen)
           .AddScreen("SCREEN  ", screens["SCREEN1.bmp"])
           .AddScreen(" SCREEN", screens["SCREEN11.bmp"]));
  EXPECT_EQ(Export(), 3);
  EXPECT_EQ(view.written, (Names{"SCREEN.bmp", "SCREEN1.bmp", "SCREEN11.bmp"}));
  EXPECT_EQ(output.Names(), (Names{"SCREEN.bmp", "SCREEN1.bmp", "SCREEN11.bmp"}));
  for (const auto& [name, screen] : screens) EXPECT_EQ(Bmp(name), "") << name;
  EXPECT_EQ(view.decoded.size(), 3u);

  // A second run into the same folder goes on with the suffix and leaves the first files be.
  for (int i = 3; i < 6; ++i)
    screens["SCREEN" + std::string(i, '1') + ".bmp"] = testing::ColourfulScreen(40 + i);
  Open(TrdBuilder()
           .AddScreen("SCREEN", screens["SCREEN111.bmp"])
           .AddScreen("SCREEN", screens["SCREEN1111.bmp"])
           .AddScreen("SCREEN", screens["SCREEN11111.bmp"]));
  view = {};
  EXPECT_EQ(Export(), 3);
  EXPECT_EQ(view.written, (Names{"SCREEN111.bmp", "SCREEN1111.bmp", "SCREEN11111.bmp"}));
  EXPECT_EQ(output.Names().size(), 6u);
  for (const auto& [name, screen] : screens) EXPECT_EQ(Bmp(name), "") << name;
}

TEST_F(ExportTest, NamesOfSpacesGiveTheBareExtensionThenTheSuffix) {
  const ScreenBytes screen = testing::ColourfulScreen(50);
  Open(TrdBuilder().AddScreen("        ", screen).AddScreen("", screen).AddScreen(" ", screen));
  EXPECT_EQ(Export(), 3);
  EXPECT_EQ(view.written, (Names{".bmp", "1.bmp", "11.bmp"}));
  EXPECT_EQ(output.Names(), (Names{".bmp", "1.bmp", "11.bmp"}));
}

TEST_F(ExportTest, MakesNamesSafeAndDeviceNamesRealFiles) {
  const ScreenBytes screen = testing::ColourfulScreen(51);
  Open(TrdBuilder()
           .AddScreen("A:B*C?", screen)
           .AddScreen("CON", screen)
           .AddScreen("nul.x", screen)
           .AddScreen("AUX .A", screen)
           .AddScreen("com7", screen)
           .AddScreen(std::string("AB\0C", 4), screen));
  EXPECT_EQ(Export(), 6);
  const Names expected = {"A_B_C_.bmp",  "CON_.bmp",  "nul_.x.bmp",
                          "AUX_ .A.bmp", "com7_.bmp", "AB.bmp"};
  EXPECT_EQ(view.written, expected);
  for (const std::string& name : expected) {
    screens[name] = screen;
    EXPECT_EQ(Bmp(name), "") << name;
  }
}

TEST_F(ExportTest, TheSuffixNeverMakesADeviceName) {
  const ScreenBytes screen = testing::ColourfulScreen(53);
  Open(TrdBuilder()
           .AddScreen("COM", screen)
           .AddScreen("COM", screen)
           .AddScreen("lpt", screen)
           .AddScreen("lpt", screen));
  EXPECT_EQ(Export(), 4);
  // COM1 and LPT1 are serial and printer ports on Windows, whatever follows their dot.
  EXPECT_EQ(view.written, (Names{"COM.bmp", "COM11.bmp", "lpt.bmp", "lpt11.bmp"}));
  EXPECT_EQ(output.Names(), (Names{"COM.bmp", "COM11.bmp", "lpt.bmp", "lpt11.bmp"}));
}

TEST_F(ExportTest, WithNoScreensWritesNothingAndCountsZero) {
  EXPECT_EQ(Export(), 0);  // no image opened
  Open(TrdBuilder()
           .AddEntry({.name = "TEXT", .length = 6911})
           .AddEntry({.name = "DATA", .length = 6913}));
  EXPECT_EQ(Export(), 0);
  EXPECT_TRUE(output.Names().empty());
}

TEST_F(ExportTest, TakesOnlyEntriesMarkedExactlyOne) {
  const ScreenBytes screen = testing::ColourfulScreen(52);
  Open(TrdBuilder().AddScreen("A", screen).AddScreen("B", screen).AddScreen("C", screen));
  state.Catalogue[1].IsScreen = 2;
  state.Catalogue[3].IsScreen = 1;  // past EntryCount: not walked
  EXPECT_EQ(Export(), 2);
  EXPECT_EQ(view.written, (Names{"A.bmp", "C.bmp"}));
}

TEST_F(ExportTest, AScreenBeyondTheImageIsSavedFromZeros) {
  Open(TrdBuilder(8192)
           .AddScreen("PART", testing::ColourfulScreen(53))
           .AddEntry({.name = "AWAY", .firstTrack = 200}));
  EXPECT_EQ(Export(), 2);
  ScreenBytes part{};
  std::copy_n(testing::ColourfulScreen(53).begin(), 8192 - 4096, part.begin());
  screens = {{"PART.bmp", part}, {"AWAY.bmp", ScreenBytes{}}};
  EXPECT_EQ(Bmp("PART.bmp"), "");
  EXPECT_EQ(Bmp("AWAY.bmp"), "");
}

TEST_F(ExportTest, AnImageThatVanishesEndsTheRunWithFileNotFound) {
  const ScreenBytes screen = testing::ColourfulScreen(54);
  Open(TrdBuilder().AddScreen("FIRST", screen).AddScreen("SECOND", screen));
  view.afterFileWritten = [&] { std::filesystem::remove(testing::PathFromUtf8(state.ImagePath)); };
  try {
    Export();
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 2);
    EXPECT_EQ(error.Message(), "File not found");
  }
  EXPECT_EQ(output.Names(), Names{"FIRST.bmp"});

  view = {};
  EXPECT_THROW(Export(), Error);  // missing from the start: not even the first is saved
  EXPECT_EQ(output.Names(), Names{"FIRST.bmp"});
  EXPECT_TRUE(view.written.empty());
}

TEST_F(ExportTest, AFolderNamedLikeTheCandidateEndsTheRun) {
  const ScreenBytes screen = testing::ColourfulScreen(55);
  Open(TrdBuilder().AddScreen("OK", screen).AddScreen("PIC", screen).AddScreen("LATER", screen));
  std::filesystem::create_directory(testing::PathFromUtf8(output.File("PIC.bmp")));
  try {
    Export();
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_TRUE(error.Message().starts_with(
        "Cannot create file \"" + SystemFileSystem().FullPath(output.File("PIC.bmp")) + "\". "))
        << error.Message();
  }
  EXPECT_EQ(output.Names(), (Names{"OK.bmp", "PIC.bmp"}));
  EXPECT_EQ(view.written, Names{"OK.bmp"});
}

// A real disk: every 6912-byte file, in catalogue order, from the bytes its raw entry points at.
TEST_F(ExportTest, ConvertsEveryScreenOfARealDisk) {
  const std::string disk = std::string(ORLASPIN_TESTDATA) +
                           "/trd/reefactor_instapack__ZX_DEMOS_CC999GFX.TRD";
  const std::vector<std::uint8_t> image = testing::ReadFileBytes(disk);
  std::vector<ScreenBytes> expected;
  for (std::size_t at = 0; at < 2048 && image[at] != 0; at += 16) {
    if ((image[at + 11] | (image[at + 12] << 8)) != 6912) continue;
    const std::size_t offset = (image[at + 15] * 16 + image[at + 14]) * 256;
    ASSERT_LE(offset + kScreenBytes, image.size());
    ScreenBytes& screen = expected.emplace_back();
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), screen.size(), screen.begin());
  }
  ASSERT_EQ(expected.size(), 24u);
  state.ImagePath = disk;
  testing::OpenImage(state, SystemFileSystem(), disk);
  EXPECT_EQ(Export(), 24);
  ASSERT_EQ(view.written.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    screens[view.written[i]] = expected[i];
    EXPECT_EQ(Bmp(view.written[i]), "") << view.written[i];
  }
}

// Sound data of up to 255 sectors whose entry says 6912 bytes is converted like a screen, from
// its first 6912 bytes; what lies past the image's end comes out as zero bytes.
TEST_F(ExportTest, ConvertsSoundDataThatClaimsTheScreenLength) {
  const ScreenBytes loading = testing::ColourfulScreen(70);
  const std::vector<testing::SoundFile> sounds = {
      {"GSDAT00", testing::PseudoRandomBytes(71, 255 * 256)},
      {"GSDAT01", testing::PseudoRandomBytes(72, 123 * 256 - 100)},
      {"GSDAT02", testing::PseudoRandomBytes(73, 200 * 256)},
  };
  // Track 0 is the catalogue; the files follow one another from track 1: the image ends 1000
  // bytes into the last sound file.
  constexpr std::size_t kLastSoundAt = (16 + 27 + 255 + 123) * 256;
  Open(testing::SoundDataDisk(loading, sounds, kLastSoundAt + 1000));

  screens["LOADING.bmp"] = loading;
  for (const testing::SoundFile& sound : sounds) {
    std::copy_n(sound.data.begin(), kScreenBytes, screens[sound.name + ".bmp"].begin());
  }
  std::fill(screens["GSDAT02.bmp"].begin() + 1000, screens["GSDAT02.bmp"].end(), 0);

  EXPECT_EQ(Export(), 4);
  EXPECT_EQ(view.written, (Names{"LOADING.bmp", "GSDAT00.bmp", "GSDAT01.bmp", "GSDAT02.bmp"}));
  for (const auto& [name, screen] : screens) EXPECT_EQ(Bmp(name), "") << name;
}

// The batch over the in-memory file system, for what real files cannot stage on demand.
class FakeExportTest : public ::testing::Test {
 protected:
  FakeExportTest() {
    state.ZxPalette = kZxPaletteColours;
    state.ImagePath = "disk.trd";
    files.files["disk.trd"] =
        TrdBuilder().AddScreen("RACE", screen).AddScreen("NEXT", screen).Build();
    testing::OpenImage(state, files, state.ImagePath);
  }
  int Export() { return testing::ExportListed(state, files, view, "out"); }

  const ScreenBytes screen = testing::ColourfulScreen(60);
  testing::FakeFileSystem files;
  testing::ListedImage state;
  testing::RecordingExportView view;
};

TEST_F(FakeExportTest, AFileAppearingBeforeTheCreationTakesTheNextName) {
  const std::vector<std::uint8_t> theirs = {1, 2, 3};
  files.faults.beforeCreate = [&](const std::string& path) {
    if (path == "out/RACE.bmp" && !files.files.contains(path)) files.files[path] = theirs;
  };
  EXPECT_EQ(Export(), 2);
  EXPECT_EQ(view.written, (Names{"RACE1.bmp", "NEXT.bmp"}));
  EXPECT_EQ(files.files["out/RACE.bmp"], theirs);
  EXPECT_EQ(
      testing::FirstDifference(files.files["out/RACE1.bmp"], testing::OracleBitmapFile(screen)),
      "");
}

TEST_F(FakeExportTest, AShortWriteEndsTheRunAndLeavesNoHalfFile) {
  files.faults.writeCapacity =
      testing::OracleBitmapFile(screen).size() + 1000;  // the second file falls short
  EXPECT_THROW(
      {
        try {
          Export();
        } catch (const Error& error) {
          EXPECT_EQ(error.Message(), "Stream write error");
          throw;
        }
      },
      Error);
  EXPECT_EQ(view.written, Names{"RACE.bmp"});
  EXPECT_TRUE(files.files.contains("out/RACE.bmp"));
  EXPECT_FALSE(files.files.contains("out/NEXT.bmp"));
  EXPECT_EQ(files.files.size(), 2u) << "the image and RACE.bmp alone";
}

TEST_F(FakeExportTest, AFailedReadOfTheImageEndsTheRunBeforeAnySave) {
  files.faults.openError = 32;
  EXPECT_THROW(Export(), Error);
  EXPECT_EQ(files.files.size(), 1u);
  EXPECT_TRUE(view.written.empty());
}

}  // namespace
}  // namespace orlaspin
