#include "export/batch_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "containers/catalogue.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "fake_file_system.h"
#include "oracle.h"
#include "program_state.h"
#include "recording_views.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin {
namespace {

using testing::TrdBuilder;
using Names = std::vector<std::string>;

TEST(UnsafeNameChars, HoldsExactlyTheNineReservedCharacters) {
  EXPECT_EQ(UnsafeNameChars.count(), 9u);
  for (const unsigned char c : std::string_view("\"*/:<>?\\|"))
    EXPECT_TRUE(UnsafeNameChars[c]) << c;
}

TEST(MakeSafeName, ReplacesUnsafeAndControlBytesOneForOne) {
  EXPECT_EQ(MakeSafeName("A:B*C?"), "A_B_C_");
  EXPECT_EQ(MakeSafeName("\"/<>\\|"), "______");
  for (int c = 1; c < 32; ++c)
    EXPECT_EQ(MakeSafeName(std::string{'A', static_cast<char>(c), 'B'}), "A_B") << c;
  EXPECT_EQ(MakeSafeName("\x01PIC"), "_PIC");
  EXPECT_EQ(MakeSafeName("\x1F"), "_");
  EXPECT_EQ(MakeSafeName("A.B-C\x7F\x80\xC0\xFF"), "A.B-C\x7F\x80\xC0\xFF");
}

TEST(MakeSafeName, TrimsOuterSpacesOnly) {
  EXPECT_EQ(MakeSafeName(" MY PIC "), "MY PIC");
  EXPECT_EQ(MakeSafeName("SCREEN  "), "SCREEN");
  EXPECT_EQ(MakeSafeName("        "), "");
  EXPECT_EQ(MakeSafeName(""), "");
  EXPECT_EQ(MakeSafeName("ABCDEFGH"), "ABCDEFGH");
}

TEST(MakeSafeName, PutsAnUnderscoreAfterADeviceWord) {
  const std::pair<const char*, const char*> cases[] = {
      {"CON", "CON_"},       {"nul.x", "nul_.x"}, {"AUX .A", "AUX_ .A"}, {"  prn   ", "prn_"},
      {"Com0", "Com0_"},     {"COM9.", "COM9_."}, {"lpt5", "lpt5_"},     {"LPT0.A.B", "LPT0_.A.B"},
      {"CON:", "CON_"},      {"CONX", "CONX"},    {"COM", "COM"},        {"COM10", "COM10"},
      {"XCON", "XCON"},      {"LPT", "LPT"},      {"C ON", "C ON"},      {".CON", ".CON"},
      {"NUL  .", "NUL_  ."}, {"COMA", "COMA"}};
  for (const auto& [name, stem] : cases) EXPECT_EQ(MakeSafeName(name), stem) << name;
  EXPECT_TRUE(IsDeviceName("aux  .txt"));
  EXPECT_FALSE(IsDeviceName("AUX_"));
}

TEST(CompletionText, EndsWithTheCountAfterItsSpace) {
  EXPECT_EQ(CompletionText(0), "Конвертирование завершено. Количество файлов: 0");
  EXPECT_EQ(CompletionText(24), "Конвертирование завершено. Количество файлов: 24");
}

// A batch through the real file layer into a folder of its own.
class ExportTest : public ::testing::Test {
 protected:
  ExportTest() { state.ZxPalette = kZxPaletteColours; }

  void Open(const TrdBuilder& builder) {
    state.ImagePath = folder.File("disk.trd");
    builder.WriteTo(state.ImagePath);
    testing::RecordingCatalogueView grid;
    LoadCatalogue(state, SystemFileSystem(), grid, state.ImagePath);
  }
  int Export() { return ExportScreens(state, SystemFileSystem(), view, output.Path()); }
  std::string Bmp(const std::string& name) const {
    return testing::FirstDifference(testing::ReadFileBytes(output.File(name)),
                                    testing::OracleBitmapFile(screens.at(name)));
  }

  testing::TempFolder folder;
  testing::TempFolder output;
  ProgramState state;
  testing::RecordingBatchView view;
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
  ASSERT_TRUE(view.completion.has_value());
  EXPECT_EQ(*view.completion, std::make_pair(CompletionText(3), 3));
  EXPECT_EQ(view.repaints, 3);

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
  Open(TrdBuilder().AddScreen("COM", screen).AddScreen("COM", screen).AddScreen("lpt", screen)
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
  EXPECT_EQ(*view.completion, std::make_pair(CompletionText(0), 0));
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
  EXPECT_FALSE(view.completion.has_value());

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
  EXPECT_FALSE(view.completion.has_value());
}

// Real disks: every 6912-byte file, in catalogue order, from the bytes its raw entry points at
// (sound data that merely claims the length included).
TEST_F(ExportTest, ConvertsEveryScreenOfRealDisks) {
  for (const char* name : {"reefactor_zx-spectrum-instapack__ZX_DEMOS_CC999GFX.TRD",
                           "moroz1999_vsjo-kubikami__release_vsjo-kubikami-en-gs.trd"}) {
    const std::string disk = std::string(ORLASPIN_TESTDATA) + "/trd/" + name;
    const std::vector<std::uint8_t> image = testing::ReadFileBytes(disk);
    std::vector<ScreenBytes> expected;
    for (std::size_t at = 0; at < 2048 && image[at] != 0; at += 16) {
      if ((image[at + 11] | (image[at + 12] << 8)) != 6912) continue;
      const std::size_t offset = (image[at + 15] * 16 + image[at + 14]) * 256;
      ScreenBytes& screen = expected.emplace_back();
      if (offset < image.size()) {
        std::copy_n(image.begin() + offset, std::min(screen.size(), image.size() - offset),
                    screen.begin());
      }
    }
    view = {};
    state.ImagePath = disk;
    testing::RecordingCatalogueView grid;
    LoadCatalogue(state, SystemFileSystem(), grid, disk);
    EXPECT_EQ(Export(), static_cast<int>(expected.size())) << name;
    ASSERT_EQ(view.written.size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      screens[view.written[i]] = expected[i];
      EXPECT_EQ(Bmp(view.written[i]), "") << name << ": " << view.written[i];
    }
    if (std::string_view(name).find("CC999GFX") != std::string_view::npos) {
      EXPECT_EQ(expected.size(), 24u);
    }
  }
}

// The batch over the in-memory file system, for what real files cannot stage on demand.
class FakeExportTest : public ::testing::Test {
 protected:
  FakeExportTest() {
    state.ZxPalette = kZxPaletteColours;
    state.ImagePath = "disk.trd";
    files.files["disk.trd"] =
        TrdBuilder().AddScreen("RACE", screen).AddScreen("NEXT", screen).Build();
    testing::RecordingCatalogueView grid;
    LoadCatalogue(state, files, grid, state.ImagePath);
  }
  int Export() { return ExportScreens(state, files, view, "out"); }

  const ScreenBytes screen = testing::ColourfulScreen(60);
  testing::FakeFileSystem files;
  ProgramState state;
  testing::RecordingBatchView view;
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
  EXPECT_EQ(files.files.size(), 2u) << "the image and RACE.bmp alone";
  EXPECT_FALSE(view.completion.has_value());
}

TEST_F(FakeExportTest, AFailedReadOfTheImageEndsTheRunBeforeAnySave) {
  files.faults.openError = 32;
  EXPECT_THROW(Export(), Error);
  EXPECT_EQ(files.files.size(), 1u);
  EXPECT_TRUE(view.written.empty());
  EXPECT_FALSE(view.completion.has_value());
}

}  // namespace
}  // namespace orlaspin
