// Hostile catalogue names through the real file system: every byte in every place, device
// names, names that differ only in case, names of spaces or dots alone, long runs of one name, a
// folder in the way. Files land in the output folder, under the rule's names, and no file that
// exists is ever replaced, on a file system that tells case apart and on one that does not.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/collection_export.h"
#include "export/file_names.h"
#include "cli.h"
#include "io/disk_file.h"
#include "export_runs.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

// An image whose entries carry the given names, each with a screen of its own.
Bytes ImageNamed(const std::vector<std::string>& names) {
  TrdBuilder builder;
  for (std::size_t i = 0; i < names.size(); ++i) {
    builder.AddScreen(names[i], ColourfulScreen(static_cast<std::uint32_t>(i + 1)));
  }
  return builder.AddDiskInfo("NAMES").Build();
}

bool FolderIgnoresCase(const TempFolder& folder) {
  const std::string probe = folder.File("case-probe");
  WriteFileBytes(probe, {});
  const bool ignores = std::filesystem::exists(PathFromUtf8(folder.File("CASE-PROBE")));
  std::filesystem::remove(PathFromUtf8(probe));
  return ignores;
}

std::string Folded(std::string name, bool ignoreCase) {
  if (ignoreCase) {
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return name;
}

// The names the uniqueness rule must pick for the stems, one after another, in a folder that
// already holds existing.
std::vector<std::string> ExpectedNames(const std::vector<std::string>& stems,
                                       const std::vector<std::string>& existing, bool ignoreCase) {
  std::vector<std::string> taken;
  for (const std::string& name : existing) taken.push_back(Folded(name, ignoreCase));
  std::vector<std::string> names;
  for (std::string stem : stems) {
    while (std::count(taken.begin(), taken.end(), Folded(stem + ".bmp", ignoreCase)) > 0)
      stem += "1";
    names.push_back(stem + ".bmp");
    taken.push_back(Folded(names.back(), ignoreCase));
  }
  return names;
}

class HostileNames : public ::testing::Test {
 protected:
  ImageExport ExportImage(const Bytes& image) {
    return ExportImageFile(image, imagePath, out.Path());
  }

  TempFolder place;
  TempFolder out;
  const std::string imagePath = place.File("image.trd");
};

TEST_F(HostileNames, EveryByteInEveryPlaceGivesTheRuleStemAndAFileInTheFolder) {
  const std::uint8_t part[] = {'B', 'M'};
  const std::span<const std::uint8_t> parts[] = {part};
  for (std::size_t position = 0; position < 8; ++position) {
    for (int byte = 1; byte < 256; ++byte) {
      std::string name = "ABCDEFGH";
      name[position] = static_cast<char>(byte);
      const std::string stem = MakeSafeName(name);
      ASSERT_EQ(stem, ExpectedSafeStem(name)) << "byte " << byte << " at " << position;
      const std::string fileName = FileNameFromCatalogueBytes(stem) + ".bmp";
      const std::string path = JoinPath(out.Path(), fileName);
      ASSERT_TRUE(WriteNewFile(SystemFileSystem(), path, parts))
          << "byte " << byte << " at " << position;
      ASSERT_EQ(out.Names(), std::vector<std::string>{fileName})
          << "byte " << byte << " at " << position;
      std::filesystem::remove(PathFromUtf8(path));
    }
  }
}

TEST_F(HostileNames, DeviceNamesLandInFilesOfTheirOwn) {
  const std::vector<std::string> names = {"CON",     "prn",   "Aux",   "NUL",    "COM0", "com9",
                                          "LPT1",    "lpt0",  "nul.x", "AUX .A", "CON.", "con .t",
                                          "CONSOLE", "COM10", "LPT",   "_NUL"};
  const Bytes image = ImageNamed(names);
  const ImageExport exported = ExportImage(image);
  EXPECT_TRUE(CompletedInto(exported, out.Path(), image));
  EXPECT_EQ(exported.run.view.written,
            (std::vector<std::string>{"CON_.bmp", "prn_.bmp", "Aux_.bmp", "NUL_.bmp", "COM0_.bmp",
                                      "com9_.bmp", "LPT1_.bmp", "lpt0_.bmp", "nul_.x.bmp",
                                      "AUX_ .A.bmp", "CON_..bmp", "con_ .t.bmp", "CONSOLE.bmp",
                                      "COM10.bmp", "LPT.bmp", "_NUL.bmp"}));
}

TEST_F(HostileNames, NamesThatDifferOnlyInCaseNeverReplaceAFile) {
  const bool ignoreCase = FolderIgnoresCase(out);
  const Bytes existing = {'m', 'i', 'n', 'e'};
  WriteFileBytes(out.File("Pic.BMP"), existing);

  const Bytes image = ImageNamed({"pic", "PIC", "Pic", "pIC1"});
  const ImageExport exported = ExportImage(image);
  EXPECT_TRUE(CompletedInto(exported, out.Path(), image));
  EXPECT_EQ(exported.run.view.written,
            ExpectedNames({"pic", "PIC", "Pic", "pIC1"}, {"Pic.BMP"}, ignoreCase));
}

TEST_F(HostileNames, NamesOfSpacesDotsOrUnderscoresAloneStillGetFilesOfTheirOwn) {
  const std::vector<std::string> names = {"        ", "        ", " ",   ".", "..",
                                          "........", "________", " . ", "_"};
  const Bytes image = ImageNamed(names);
  const ImageExport exported = ExportImage(image);
  EXPECT_TRUE(CompletedInto(exported, out.Path(), image));
  EXPECT_EQ(exported.run.view.written,
            (std::vector<std::string>{".bmp", "1.bmp", "11.bmp", "..bmp", "...bmp", ".........bmp",
                                      "________.bmp", ".1.bmp", "_.bmp"}));
}

// 300 screens of one name, as a tape of screens named "screen" holds them: none is lost, in the
// window and in orlaspin-cli alike (both save through SaveUnderFreeName). One more "1" each while
// the name fits (on Linux up to 255 bytes), then screen~n for the n-th name tried.
TEST_F(HostileNames, ThreeHundredScreensOfOneNameAreAllSaved) {
  std::size_t ones = 0;
  for (std::size_t n = 1; n <= 300; ++n) {
    const Bytes bytes = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
    const std::span<const std::uint8_t> parts[] = {bytes};
    const std::string name =
        SaveUnderFreeName(SystemFileSystem(), out.Path(), "screen", ".bmp", parts, false).fileName;
    EXPECT_EQ(ReadFileBytes(out.File(name)), bytes) << name;
    if (ones + 1 == n && name == "screen" + std::string(ones, '1') + ".bmp") {
      ++ones;
      continue;
    }
    EXPECT_EQ(name, "screen~" + std::to_string(n) + ".bmp");
#ifndef _WIN32
    EXPECT_EQ(ones, 255u - 10 + 1);  // the names with ones were those of up to 255 bytes
#endif
  }
  EXPECT_EQ(out.Names().size(), 300u);
}

TEST_F(HostileNames, AFolderOfTheCandidateNameEndsTheRunWithTheCreationError) {
  std::filesystem::create_directory(PathFromUtf8(out.File("PIC.bmp")));
  const Bytes image = ImageNamed({"PIC", "OTHER"});
  const ImageExport exported = ExportImage(image);
  ASSERT_TRUE(exported.run.error);
  EXPECT_TRUE(exported.run.error->starts_with(
      "Cannot create file \"" + SystemFileSystem().FullPath(out.File("PIC.bmp")) + "\". "))
      << *exported.run.error;
  EXPECT_TRUE(IsKnownErrorText(*exported.run.error)) << *exported.run.error;
  EXPECT_TRUE(FolderHoldsExport(exported.before, out.Path(), exported.run, image));
  EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(out.File("PIC.bmp"))));

  // The command line says the same, with the full stop of the error box, and counts nothing.
  std::ostringstream printed, errors;
  const std::vector<std::string> args = {"export", imagePath, "--output-dir", out.Path()};
  EXPECT_EQ(RunCli(args, printed, errors), 1);
  EXPECT_EQ(printed.str(), "");
  EXPECT_TRUE(errors.str().starts_with("orlaspin-cli: " + imagePath + ": " + *exported.run.error))
      << errors.str();
  EXPECT_TRUE(errors.str().ends_with(".\n")) << errors.str();
}

// Several images at once each get a folder named after the image's file; a name of dots alone
// would be the output folder itself or its parent.
TEST_F(HostileNames, ImageFilesNamedWithDotsAloneKeepTheirScreensInsideTheOutputFolder) {
  const Bytes image = ImageNamed({"PIC"});
  const std::string output = place.File("out");
  std::vector<std::string> args = {"export"};
  for (const char* name : {"...trd", "..trd", ". ..trd", "....trd"}) {
    WriteFileBytes(place.File(name), image);
    args.push_back(place.File(name));
  }
  args.insert(args.end(), {"--output-dir", output});

  std::ostringstream printed, errors;
  EXPECT_EQ(RunCli(args, printed, errors), 0) << errors.str();
  EXPECT_EQ(place.Names(),
            (std::vector<std::string>{". ..trd", "....trd", "...trd", "..trd", "out"}))
      << "a file was written beside the output folder";
  std::size_t bitmaps = 0;
  for (const auto& [name, contents] : ReadFolder(output)) {
    ASSERT_FALSE(contents) << name << " lies in the output folder itself";
    EXPECT_NE(name.find_first_not_of(". "), std::string::npos) << "a folder named " << name;
    bitmaps += ReadFolder(JoinPath(output, name)).size();
  }
  EXPECT_EQ(bitmaps, 4u);
}

}  // namespace
}  // namespace orlaspin::testing
