// orlaspin-cli over collections: folder trees and archives, all cores, the gallery page and
// contact sheets.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli.h"
#include "cli_run.h"
#include "png_reader.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"
#include "zip_builder.h"

namespace orlaspin::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

Bytes Disk(std::uint32_t seed, int screens) {
  TrdBuilder builder;
  for (int i = 0; i < screens; ++i) {
    builder.AddScreen("S" + std::to_string(i), ColourfulScreen(seed + i));
  }
  return builder.AddDiskInfo("D").Build();
}

Bytes Screen(std::uint32_t seed) {
  const ScreenBytes screen = ColourfulScreen(seed);
  return {screen.begin(), screen.end()};
}

std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

// A collection as users keep one: disks in folders, an archive with a folder inside, and files
// that are no image.
class CliCollectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Put("games/A.trd", Disk(1, 2));
    Put("games/notes.txt", {'h', 'i'});
    Put("games/old/A.trd", Disk(10, 1));
    const ZipEntry members[] = {{.name = "pics/title.scr", .data = Screen(20)},
                                {.name = "readme.txt", .data = {'x'}}};
    Put("games/more.zip", BuildZip(members));
  }

  void Put(const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(input.File(name)).parent_path());
    WriteFileBytes(input.File(name), bytes);
  }

  TempFolder input;
  TempFolder output;
};

TEST_F(CliCollectionTest, ARecursiveExportKeepsTheTreeAndCountsWhatIsNoImage) {
  const std::string games = input.File("games");
  // A short option takes its value attached too, as getopt reads it.
  const CliRun run = Cli({"export", "-r", games, "-o" + output.Path(), "-j3"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "games/A/S0.bmp\n"
            "games/A/S1.bmp\n"
            "games/more/pics/title.bmp\n"
            "games/old/A/S0.bmp\n"
            "4 screens exported from 3 images, 2 files of no known kind skipped\n");
  EXPECT_EQ(ReadFileBytes(output.File("games/more/pics/title.bmp")).size(), 54u + 256 * 192 * 4);

  // Without -r a folder is refused; the archive alone is walked all the same.
  const CliRun unwalked = Cli({"export", games, "-o", output.File("again")});
  EXPECT_EQ(unwalked.status, 1);
  EXPECT_EQ(unwalked.err, "orlaspin-cli: " + games + ": Is a folder.\n");
  const CliRun archive = Cli({"list", input.File("games/more.zip")});
  EXPECT_EQ(archive.status, 0);
  EXPECT_EQ(archive.out,
            input.File("games/more.zip") + "/pics/title.scr:\ntitle\tstandard\t\t6912\t0\n");
  EXPECT_EQ(archive.err, "orlaspin-cli: 1 file of no known kind skipped\n");
}

TEST_F(CliCollectionTest, TheGalleryShowsEveryPictureUnderItsImage) {
  const CliRun run = Cli(
      {"export", "-r", input.File("games"), "-o", output.Path(), "--format", "png", "--gallery"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\nindex.html\n"), std::string::npos) << run.out;
  const std::string page = ReadText(output.File("index.html"));
  std::size_t at = 0;
  for (const std::string& expected :
       Names{input.File("games") + "/A.trd", "src=\"games/A/S0.png\"", "src=\"games/A/S1.png\"",
             "games/more.zip/pics/title.scr", "src=\"games/more/pics/title.png\"",
             input.File("games") + "/old/A.trd", "src=\"games/old/A/S0.png\""}) {
    const std::size_t found = page.find(expected, at);
    ASSERT_NE(found, std::string::npos) << expected << " after " << at;
    at = found;
  }
  // A second run rewrites our own page in place, leaving nothing beside it.
  const Names second = {"export", input.File("games/A.trd"), "-o", output.Path(), "--gallery"};
  const CliRun again = Cli(second);
  EXPECT_EQ(again.out, "S0.bmp\nS1.bmp\nindex.html\n2 screens exported\n");
  EXPECT_EQ(ReadText(output.File("index.html")).find("title.png"), std::string::npos);
  EXPECT_EQ(output.Names(), (Names{"S0.bmp", "S1.bmp", "games", "index.html"}));

  // A page of the user's own under that name is never touched.
  const std::string mine = "<p>my own index page</p>";
  WriteFileBytes(output.File("index.html"), Bytes(mine.begin(), mine.end()));
  EXPECT_EQ(Cli(second).out, "S01.bmp\nS11.bmp\nindex1.html\n2 screens exported\n");
  EXPECT_EQ(ReadText(output.File("index.html")), mine);
}

TEST_F(CliCollectionTest, ASheetIsOnePageOrNumberedPagesAndNeverReplacesAFile) {
  const std::string sheet = output.File("sheets/all.png");
  const CliRun run = Cli({"sheet", "-r", input.File("games"), "-o", sheet});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            sheet + "\n4 screens on 1 page from 3 images, 2 files of no known kind skipped\n");
  const Bytes page = ReadFileBytes(sheet);
  const DecodedPng decoded = DecodePng(page);
  EXPECT_GT(decoded.width, 128u);
  EXPECT_GT(decoded.height, 3u * 96);

  const CliRun refused = Cli({"sheet", input.File("games/A.trd"), "-o", sheet});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("it is not replaced"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadFileBytes(sheet), page);

  // Enough screens to fill more than a page of the default size.
  for (int disk = 0; disk < 3; ++disk)
    Put("many/" + std::to_string(disk) + ".trd", Disk(100 * disk, 60));
  const std::string pages = output.File("big.png");
  const CliRun many = Cli({"sheet", "-r", input.File("many"), "-o", pages});
  EXPECT_EQ(many.status, 0) << many.err;
  EXPECT_EQ(many.out, output.File("big-001.png") + "\n" + output.File("big-002.png") +
                          "\n180 screens on 2 pages from 3 images\n");
  EXPECT_FALSE(std::filesystem::exists(pages));
}

// A sheet named .bmp (any case) is a BMP of the same page: bottom row first, blue, green, red.
TEST_F(CliCollectionTest, ASheetNamedBmpIsABitmapOfTheSamePage) {
  const Names png = {"sheet", input.File("games/A.trd"), "-o", output.File("s.png")};
  const Names bmp = {"sheet", input.File("games/A.trd"), "-o", output.File("s.BMP")};
  ASSERT_EQ(Cli(png).status + Cli(bmp).status, 0);
  const DecodedPng page = DecodePng(ReadFileBytes(output.File("s.png")));
  const Bytes file = ReadFileBytes(output.File("s.BMP"));
  const std::size_t w = page.width, h = page.height, start = 54;
  ASSERT_EQ(file.size(), start + 4 * w * h);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 2), "BM");
  for (std::size_t i = 0; i < w * h; ++i) {
    const std::size_t at = start + 4 * ((h - 1 - i / w) * w + i % w);
    ASSERT_EQ((Rgb{file[at + 2], file[at + 1], file[at]}), page.frames[0][i]) << i;
  }
}

TEST(CliCollectionOptions, WrongJobsAndASheetWithoutItsFileAreUsageErrors) {
  for (const auto& [args, message] : std::vector<std::pair<Names, std::string>>{
           {{"export", "a.trd", "-j", "0"}, "--jobs is a whole number from 1 to 256, not \"0\""},
           {{"export", "a.trd", "--jobs=x"}, "--jobs is a whole number from 1 to 256, not \"x\""},
           {{"export", "a.trd", "-j", "257"},
            "--jobs is a whole number from 1 to 256, not \"257\""},
           {{"sheet", "a.trd"}, "sheet needs -o FILE.png|FILE.bmp"},
           {{"sheet", "a.trd", "-o", "s.jpg"}, "-o s.jpg: a sheet is written as .bmp or .png only"},
           {{"list", "a.trd", "--gallery"}, "list has no option --gallery"},
           {{"export", "a.trd", "-rx"}, "export has no option -rx"},
       }) {
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("orlaspin-cli: " + message + "\n")) << run.err;
  }
}

}  // namespace
}  // namespace orlaspin::testing
