// orlaspin-cli over real files: every image kind, the output options, several images at once.
#include <gtest/gtest.h>

#include <sstream>

#include "archive_builders.h"
#include "export/file_names.h"
#include "containers/catalogue.h"
#include "cli.h"
#include "cli_run.h"
#include "io/disk_file.h"
#include "oracle.h"
#include "listed_image.h"
#include "recording_views.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

using Names = std::vector<std::string>;

// The names of the palettes, as every image of a JSON listing ends.
constexpr const char* kJsonPalettes =
    "\"palettes\": [\"orlaspin\", \"fuse\", \"srgb\", \"pulsar\", \"alone\", \"orthodox\", "
    "\"skoolkit\"]";

// A path as JSON writes it: a backslash (a Windows separator) doubled.
std::string JsonPath(const std::string& path) {
  std::string json;
  for (const char c : path) {
    json += c;
    if (c == '\\') json += c;
  }
  return json;
}

std::string ScreenPath(const std::string& scrName) { return TestdataPath("scr/" + scrName); }

class CliFormatsTest : public ::testing::Test {
 protected:
  std::string Put(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = input.File(name);
    WriteFileBytes(path, bytes);
    return path;
  }

  TempFolder input;
  TempFolder output;
};

TEST_F(CliFormatsTest, ListsArchivesHobetaFilesAndBareScreens) {
  const std::vector<ArchivedFile> archived = {
      ScreenFile("ninja", RealScreen("mojontwins_MK2__gfx_title.scr")),
      {"b\\ck", 0x01, 24000, std::vector<std::uint8_t>(700, 3), {}, {}}};
  const std::string scl = Put("games.scl", BuildScl(archived));
  const std::string hobeta = Put("pic.$C", BuildHobeta(archived[0]));
  const std::string scr = ScreenPath("nzeemin_desolate__loading.scr");

  EXPECT_EQ(Cli({"list", scl}).out,
            "ninja   \tC\t16384\t6912\t37\n"
            "b\\x5cck    \t\\x01\t24000\t700\t" +
                std::to_string(37 + 27 * 256) + "\n");
  EXPECT_EQ(Cli({"list", hobeta}).out, "ninja   \tC\t16384\t6912\t17\n");
  EXPECT_EQ(Cli({"list", scr}).out, "nzeemin_desolate__loading\tstandard\t\t6912\t0\n");

  const CliRun several = Cli({"list", hobeta, scr});
  EXPECT_EQ(several.status, 0);
  EXPECT_EQ(several.out, hobeta + ":\nninja   \tC\t16384\t6912\t17\n\n" + scr +
                             ":\nnzeemin_desolate__loading\tstandard\t\t6912\t0\n");
}

TEST_F(CliFormatsTest, ListsAsJsonForScripts) {
  const std::string hobeta =
      Put("x.$C", BuildHobeta({"a\"b", 'C', 5, std::vector<std::uint8_t>(10, 0), {}, {}}));
  const std::string scr = Put("s.scr", std::vector<std::uint8_t>(6912, 0));
  const std::string bad = Put("bad.scl", std::vector<std::uint8_t>(20, 0));
  const CliRun run = Cli({"list", "--json", hobeta, scr, bad});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(
      run.out,
      "[\n"
      "  {\"image\": \"" +
          JsonPath(hobeta) +
          "\", \"kind\": \"hobeta\", \"warnings\": [], \"files\": [\n"
          "    {\"name\": \"a\\\"b     \", \"extension\": \"C\", \"start\": 5, \"length\": 10, "
          "\"offset\": 17, \"screen\": false, \"type\": null}\n"
          "  ], " +
          kJsonPalettes +
          "},\n"
          "  {\"image\": \"" +
          JsonPath(scr) +
          "\", \"kind\": \"scr\", \"warnings\": [], \"files\": [\n"
          "    {\"name\": \"s\", \"extension\": null, \"start\": null, \"length\": 6912, "
          "\"offset\": 0, \"screen\": true, \"type\": \"standard\"}\n"
          "  ], " +
          kJsonPalettes +
          "},\n"
          "  {\"image\": \"" +
          JsonPath(bad) +
          "\", \"error\": \"not an SCL archive: it does not begin with "
          "\\\"SINCLAIR\\\"\"}\n"
          "]\n");
  EXPECT_NE(run.err.find(bad + ": not an SCL archive"), std::string::npos) << run.err;
  // An empty disk gives an empty list of files.
  const std::string empty = Put("empty.trd", TrdBuilder().AddDiskInfo("EMPTY").Build());
  EXPECT_EQ(Cli({"list", "--json", empty}).out,
            "[\n  {\"image\": \"" + JsonPath(empty) +
                "\", \"kind\": \"trd\", \"warnings\": [], \"files\": [], " + kJsonPalettes +
                "}\n]\n");
}

TEST_F(CliFormatsTest, AFileOfNoKnownKindIsNamedInTheError) {
  const std::string text = Put("readme.txt", std::vector<std::uint8_t>{'h', 'i'});
  const CliRun run = Cli({"list", text});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "orlaspin-cli: " + text +
                         ": not a TR-DOS image, SCL archive, Hobeta file, 6912-byte screen, packed "
                         "screen, FDI, UDI, TD0 or DSK disk image, TAP, TZX or PZX tape, SNA, "
                         "Z80 or SZX snapshot, or NEX program.\n");
  const CliRun exportRun = Cli({"export", text, "--output-dir", output.Path()});
  EXPECT_EQ(exportRun.status, 1);
  EXPECT_EQ(exportRun.err, run.err);
  EXPECT_TRUE(output.Names().empty());
}

TEST_F(CliFormatsTest, AWrongChecksumIsAWarningOnStandardError) {
  auto scl = BuildScl(std::vector<ArchivedFile>{ScreenFile("pic", ColourfulScreen(1))});
  scl[scl.size() - 1] ^= 1;
  const std::string path = Put("w.scl", scl);
  const CliRun run = Cli({"export", path, "--output-dir", output.Path()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "pic.bmp\n1 screen exported\n");
  EXPECT_TRUE(run.err.starts_with("orlaspin-cli: warning: " + path + ": wrong SCL checksum"))
      << run.err;
}

TEST_F(CliFormatsTest, SeveralImagesGoIntoFoldersAndAFailureDoesNotStopTheRun) {
  const std::string out = output.File("made");
  const std::string scr = ScreenPath("UzixLS_zx-midiplayer__title.scr");
  const std::string missing = input.File("gone.trd");
  const std::string disk =
      Put("disk.trd", TrdBuilder().AddScreen("A", ColourfulScreen(1)).AddDiskInfo("A").Build());
  const CliRun run = Cli({"export", "--format=png", scr, missing, disk, "--output-dir", out});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "UzixLS_zx-midiplayer__title.png\n"
            "disk/A.png\n"
            "2 screens exported from 2 images, 1 failed\n");
  EXPECT_EQ(run.err, "orlaspin-cli: " + missing + ": File not found.\n");
  EXPECT_GT(ReadFileBytes(out + "/disk/A.png").size(), 8u);

  // Again into the same folders: new names, nothing replaced.
  const CliRun again = Cli({"export", "--format", "png", scr, disk, "--output-dir", out});
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out,
            "UzixLS_zx-midiplayer__title1.png\n"
            "disk/A1.png\n"
            "2 screens exported from 2 images\n");
}

TEST_F(CliFormatsTest, TheProgressLineShowsOnlyOnATerminalAndOnlyForSeveralImages) {
  const std::string a = ScreenPath("UzixLS_zx-midiplayer__title.scr");
  const std::string b = ScreenPath("mojontwins_MK2__gfx_title.scr");
  const Names args = {"export", a, b, "--output-dir", output.Path()};
  const CliRun quiet = Cli(args, false);
  EXPECT_EQ(quiet.err, "");

  TempFolder second;
  const CliRun shown = Cli({"export", a, b, "--output-dir", second.Path()}, true);
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.err.find("\r0 images, 1 screen"), std::string::npos);
  EXPECT_NE(shown.err.find("\r1 image, 1 screen"), std::string::npos);
  EXPECT_NE(shown.err.find("\r2 images, 2 screens"), std::string::npos);
  // Each line is blanked before anything else is printed, and at the end.
  const std::string blank = std::string("\r").append(19, ' ').append("\r");  // 19: the last line
  EXPECT_TRUE(shown.err.ends_with(blank)) << shown.err;
  EXPECT_EQ(shown.out, quiet.out);

  TempFolder third;
  EXPECT_EQ(Cli({"export", a, "--output-dir", third.Path()}, true).err, "");
}

TEST_F(CliFormatsTest, OptionsOutOfPlaceOrRangeAreUsageErrors) {
  const std::string scr = ScreenPath("UzixLS_zx-midiplayer__title.scr");
  const std::pair<Names, std::string> cases[] = {
      {{"export", scr, "--scale", "0"}, "--scale is a whole number from 1 to 8, not \"0\""},
      {{"export", scr, "--scale=9"}, "--scale is a whole number from 1 to 8, not \"9\""},
      {{"export", scr, "--scale", "2x"}, "--scale is a whole number from 1 to 8, not \"2x\""},
      {{"export", scr, "--format", "gif"}, "--format is bmp or png, not \"gif\""},
      {{"export", scr, "--flash"}, "--flash needs --format png: a BMP file cannot blink"},
      {{"export", scr, "--format"}, "--format needs a value"},
      {{"export", scr, "--json"}, "export has no option --json"},
      {{"list", scr, "--scale", "2"}, "list has no option --scale"},
      {{"list", scr, "--json=yes"}, "list has no option --json=yes"},
  };
  for (const auto& [args, message] : cases) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_EQ(run.err, "orlaspin-cli: " + message + "\nTry 'orlaspin-cli --help'.\n");
    EXPECT_EQ(run.out, "");
  }
  EXPECT_TRUE(output.Names().empty());
}

TEST_F(CliFormatsTest, ImagesNamedLikeOptionsComeAfterTheDoubleDash) {
  const std::string path = Put("--odd.scr", std::vector<std::uint8_t>(6912, 0));
  const CliRun run = Cli({"list", "--", "--odd.scr"});
  EXPECT_EQ(run.status, 1);  // relative to the current folder, where it is not
  EXPECT_EQ(Cli({"list", "--", path}).out, "--odd\tstandard\t\t6912\t0\n");
}

}  // namespace
}  // namespace orlaspin::testing
