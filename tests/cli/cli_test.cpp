// orlaspin-cli run in-process on images built here.
#include "cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "io/disk_file.h"
#include "oracle.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin {
namespace {

using testing::TrdBuilder;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Cli(std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
 protected:
  // The disk with its information sector, as TR-DOS writes it.
  std::string Image(TrdBuilder builder) {
    const std::string path = folder.File("disk.trd");
    builder.AddDiskInfo("DISK").WriteTo(path);
    return path;
  }

  testing::TempFolder folder;
  testing::TempFolder output;
};

TEST_F(CliTest, ListPrintsTheFiveColumnsOfEachEntry) {
  const std::string image = Image(
      TrdBuilder()
          .AddEntry({.name = "SCREEN", .start = 16384, .firstSector = 5, .firstTrack = 2})
          .AddEntry({.name = "A\\B\x01\x7F\xC0", .extension = 0, .length = 5, .firstTrack = 255})
          .AddEntry({.name = "ABCDEFGH", .extension = '\t', .start = 65535, .length = 0}));
  const Outcome run = Cli({"list", image});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "SCREEN  \tC\t16384\t6912\t9472\n"
            "A\\x5cB\\x01\\x7fА  \t\\x00\t0\t5\t1044480\n"  // 0xC0 is Cyrillic A
            "ABCDEFGH\t\\x09\t65535\t0\t4096\n");
}

// A walk over a screen, a text file and a broken image: quiet prints the error alone, verbose
// also the file skipped and the failed image again at the end, and neither changes the files.
TEST_F(CliTest, QuietPrintsErrorsAloneAndVerboseNamesWhatWasSkippedOrFailed) {
  const std::string walked = folder.File("walked");
  std::filesystem::create_directory(testing::PathFromUtf8(walked));
  testing::WriteFileBytes(walked + "/pic.scr", testing::ColourfulScreen(3));
  testing::WriteFileBytes(walked + "/notes.txt", std::vector<std::uint8_t>{'h', 'i'});
  testing::WriteFileBytes(walked + "/bad.scl",
                          std::vector<std::uint8_t>{'S', 'I', 'N', 'C', 'L', 'A', 'I', 'R', 1});
  const std::string failed = "orlaspin-cli: " + walked + "/bad.scl: ";
  for (const char* verbosity : {"-q", "-v"}) {
    SCOPED_TRACE(verbosity);
    const std::string out = output.File(verbosity);
    const Outcome run = Cli({"export", verbosity, "-r", walked, "-o", out});
    EXPECT_EQ(run.status, 1);
    const auto written = std::filesystem::recursive_directory_iterator(testing::PathFromUtf8(out));
    EXPECT_EQ(std::count_if(begin(written), end(written),
                            [](const auto& entry) { return entry.is_regular_file(); }),
              1);
    const bool quiet = verbosity[1] == 'q';
    EXPECT_EQ(run.out.empty(), quiet);
    EXPECT_EQ(run.err.rfind(failed, 0), 0u);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n') == 1, quiet);
    EXPECT_EQ(
        run.err.find("skipped: " + walked + "/notes.txt: of no known kind") != std::string::npos,
        !quiet);
    EXPECT_EQ(run.err.ends_with("orlaspin-cli: failed: " + walked + "/bad.scl\n"), !quiet);
  }
}

TEST_F(CliTest, ListOfAnEmptyCatalogueIsEmpty) {
  const Outcome run = Cli({"list", Image(TrdBuilder())});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
}

TEST_F(CliTest, ExportWritesEachScreenAndCounts) {
  const ScreenBytes first = testing::ColourfulScreen(70);
  const ScreenBytes second = testing::ColourfulScreen(71);
  const std::string image = Image(TrdBuilder()
                                      .AddScreen("PIC", first)
                                      .AddEntry({.name = "CODE", .length = 100})
                                      .AddScreen("PIC", second)
                                      .AddScreen("A/B", first));
  const Outcome run = Cli({"export", image, "--output-dir", output.Path()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "PIC.bmp\nPIC1.bmp\nA_B.bmp\n3 screens exported\n");
  EXPECT_EQ(testing::FirstDifference(testing::ReadFileBytes(output.File("PIC.bmp")),
                                     testing::OracleBitmapFile(first)),
            "");
  EXPECT_EQ(testing::FirstDifference(testing::ReadFileBytes(output.File("PIC1.bmp")),
                                     testing::OracleBitmapFile(second)),
            "");
}

TEST_F(CliTest, ExportWritesIntoTheCurrentFolderByDefault) {
  const std::string image = Image(TrdBuilder().AddScreen("HERE", ScreenBytes{}));
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(testing::PathFromUtf8(output.Path()));
  const Outcome run = Cli({"export", image});
  std::filesystem::current_path(here);
  EXPECT_EQ(run.out, "HERE.bmp\n1 screen exported\n");
  EXPECT_EQ(output.Names(), std::vector<std::string>{"HERE.bmp"});
}

// One reading of name bytes on every build: 0xAA is "Є" and 0xC0 "А" (Windows-1251), whatever
// the system's code page, in the listing, the file's name and the gallery alike.
TEST_F(CliTest, NameBytesShowAsTheSameTextInTheListingTheFileNameAndTheGallery) {
  const std::string image = Image(TrdBuilder().AddScreen("\xAA\xC0", ScreenBytes{}));
  const std::string text = "\u0404\u0410";
  EXPECT_TRUE(Cli({"list", image}).out.starts_with(text + "      \tC\t"));
  EXPECT_NE(Cli({"list", "--json", image}).out.find("\"name\": \"" + text + " "),
            std::string::npos);
  EXPECT_EQ(Cli({"export", image, "--output-dir", output.Path(), "--gallery"}).out,
            text + ".bmp\nindex.html\n1 screen exported\n");
  const auto page = testing::ReadFileBytes(output.File("index.html"));
  EXPECT_NE(std::string(page.begin(), page.end()).find("<b>" + text + " "), std::string::npos);
}

TEST_F(CliTest, AnErrorInTheMiddleEndsTheExportWithoutACount) {
  const std::string image = Image(TrdBuilder()
                                      .AddScreen("OK", ScreenBytes{})
                                      .AddScreen("PIC", ScreenBytes{})
                                      .AddScreen("NO", ScreenBytes{}));
  std::filesystem::create_directory(testing::PathFromUtf8(output.File("PIC.bmp")));
  const Outcome run = Cli({"export", image, "--output-dir", output.Path()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "OK.bmp\n");
  const std::string expected = "orlaspin-cli: " + image + ": Cannot create file \"" +
                               SystemFileSystem().FullPath(output.File("PIC.bmp")) + "\". ";
  EXPECT_TRUE(run.err.starts_with(expected)) << run.err;
  EXPECT_TRUE(run.err.ends_with(".\n")) << run.err;
  EXPECT_EQ(output.Names(), (std::vector<std::string>{"OK.bmp", "PIC.bmp"}));
}

TEST(CliUsage, ABadCommandLineIsOneLineThenWhereToLookWithStatus2) {
  const std::vector<std::vector<std::string>> bad = {{},
                                                     {"frobnicate"},
                                                     {"list"},
                                                     {"export"},
                                                     {"export", "x.trd", "--output-dir"},
                                                     {"list", "x.trd", "--output-dir", "d"},
                                                     {"export", "x.trd", "--bogus"},
                                                     {"list", ""},
                                                     {"--version", "extra"},
                                                     {"export", "x.trd", "--version"}};
  for (const auto& args : bad) {
    const Outcome run = Cli(args);
    EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
    EXPECT_EQ(run.out, "");
    const std::string tail = "\nTry 'orlaspin-cli --help'.\n";
    EXPECT_TRUE(run.err.starts_with("orlaspin-cli: ")) << run.err;
    EXPECT_TRUE(run.err.ends_with(tail)) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - tail.size()) << run.err;
  }
}

TEST(CliUsage, HelpAndVersionGoToStandardOutput) {
  const Outcome help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: orlaspin-cli")) << help.out;
  EXPECT_EQ(help.err, "");
  const Outcome version = Cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("orlaspin-cli 1.0.0 (zlib 1.")) << version.out;
  EXPECT_TRUE(version.out.ends_with(")\n")) << version.out;
}

}  // namespace
}  // namespace orlaspin
