// orlaspin-cli's layouts, picture names and filters over a small collection, and the rows of a
// contact sheet.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_run.h"
#include "encoders/bitmap_font.h"
#include "export/contact_sheet.h"
#include "png_reader.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"
#include "zip_builder.h"

namespace orlaspin::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

Bytes Screen(std::uint32_t seed) {
  const ScreenBytes screen = ColourfulScreen(seed);
  return {screen.begin(), screen.end()};
}

// Every file below folder, "/" between parts, sorted.
Names FilesBelow(const std::string& folder) {
  Names names;
  if (!std::filesystem::exists(folder)) return names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      names.push_back(std::filesystem::relative(entry.path(), folder).generic_string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Two disks of one name in two folders and an archive with a bare screen in a folder.
class CliLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Put("games/A.trd", TrdBuilder()
                           .AddScreen("S0", ColourfulScreen(1))
                           .AddScreen("S1", ColourfulScreen(2))
                           .AddDiskInfo("D")
                           .Build());
    Put("games/old/A.trd", TrdBuilder().AddScreen("S0", ColourfulScreen(3)).Build());
    const ZipEntry members[] = {{.name = "pics/title.scr", .data = Screen(4)}};
    Put("games/more.zip", BuildZip(members));
  }

  void Put(const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(input.File(name)).parent_path());
    WriteFileBytes(input.File(name), bytes);
  }

  TempFolder input;
  TempFolder output;
};

TEST_F(CliLayoutTest, LayoutsAndTemplatesNameEveryPictureSafelyWithoutReplacingOne) {
  const std::string longText(300, 'L');
  struct Case {
    Names options;
    Names files;          // written below the output folder; "~N" stands for a cut name
    std::string problem;  // not empty: a usage error that says so
  };
  const Case cases[] = {
      {{},
       {"games/A/S0.bmp", "games/A/S1.bmp", "games/more/pics/title.bmp", "games/old/A/S0.bmp"},
       ""},
      {{"--layout", "flat"}, {"A-S0.bmp", "A-S1.bmp", "A-trd-S0.bmp", "title.bmp"}, ""},
      {{"--layout=flat", "--name", "{image}_{index}"},
       {"A-trd_1.bmp", "A_1.bmp", "A_2.bmp", "title_1.bmp"},
       ""},
      {{"--name", "{kind}-{ext}-{start}-{name}"},
       {"games/A/trd-C-16384-S0.bmp", "games/A/trd-C-16384-S1.bmp",
        "games/more/pics/scr-standard--title.bmp", "games/old/A/trd-C-16384-S0.bmp"},
       ""},
      {{"--name", "x/{name}: {image} "},
       {"games/A/x_S0_ A.bmp", "games/A/x_S1_ A.bmp", "games/more/pics/x_title_ title.bmp",
        "games/old/A/x_S0_ A.bmp"},
       ""},
      {{"--layout", "flat", "--name", "same"},
       {"same.bmp", "same1.bmp", "same11.bmp", "same111.bmp"},
       ""},
      {{"--layout", "flat", "--name", longText + "{name}"}, {"~1", "~2", "~3", "~4"}, ""},
      {{"--name", "{title}"}, {}, "no field {title}"},
      {{"--name", "{name"}, {}, "the \"{\" at character 1 is not closed"},
      {{"--name", "a{na{me}"}, {}, "the \"{\" at character 2 is not closed"},
      {{"--name", "name}"}, {}, "the \"}\" at character 5 closes no \"{\""},
      {{"--name="}, {}, "an empty name"},
      {{"--layout", "deep"}, {}, "--layout is tree or flat, not \"deep\""},
  };
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const std::string out = output.File(std::to_string(++run));
    Names args = {"export", "-r", input.File("games"), "-o", out};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun result = Cli(args);
    const Names written = FilesBelow(out);
    if (!c.problem.empty()) {
      EXPECT_EQ(result.status, 2);
      EXPECT_NE(result.err.find(c.problem), std::string::npos) << result.err;
      EXPECT_TRUE(result.err.ends_with("\nTry 'orlaspin-cli --help'.\n")) << result.err;
      EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2) << result.err;
      EXPECT_FALSE(std::filesystem::exists(out));
      continue;
    }
    EXPECT_EQ(result.status, 0) << result.err;
    ASSERT_EQ(written.size(), c.files.size()) << ::testing::PrintToString(written);
    for (std::size_t i = 0; i < written.size(); ++i) {
      if (!c.files[i].starts_with("~")) {
        EXPECT_EQ(written[i], c.files[i]);
        continue;
      }
      // Too long for the file system: the n-th name tried is the text cut short, "~n" and .bmp.
      const std::string tail = c.files[i] + ".bmp";
      EXPECT_TRUE(written[i].ends_with(tail)) << written[i];
      EXPECT_LE(written[i].size(), 255u);
      EXPECT_EQ(written[i].find_first_not_of('L'), written[i].size() - tail.size()) << written[i];
    }
  }
}

TEST_F(CliLayoutTest, FiltersTakeImagesFoldersMembersAndFilesByTheirPaths) {
  const std::string games = input.File("games");
  Put("games/notes.txt", {'h', 'i'});
  // An exclude leaves a folder out unread; an include keeps the images that match it.
  const CliRun disks = Cli({"export", "-r", games, "-o", output.File("a"), "--include", "*.TRD",
                            "--exclude", "old", "-v"});
  EXPECT_EQ(disks.status, 0) << disks.err;
  EXPECT_EQ(disks.out, "games/A/S0.bmp\ngames/A/S1.bmp\n2 screens exported from 1 image\n");
  EXPECT_EQ(disks.err, "orlaspin-cli: skipped: " + games +
                           "/more.zip/pics/title.scr: left out: matches no "
                           "--include\norlaspin-cli: skipped: " +
                           games +
                           "/notes.txt: left out: matches no "
                           "--include\norlaspin-cli: skipped: " +
                           games +
                           "/old: left out: matches --exclude "
                           "old\n");

  // A file's name is a part of its path below its image's.
  const CliRun names =
      Cli({"export", "-r", games, "-o", output.File("b"), "--include", "[!t]?", "-v"});
  EXPECT_EQ(names.status, 0) << names.err;
  EXPECT_EQ(FilesBelow(output.File("b")),
            (Names{"games/A/S0.bmp", "games/A/S1.bmp", "games/old/A/S0.bmp"}));
  const CliRun one = Cli({"list", "-r", games, "--include", "A.trd/s1", "--exclude", "pics", "-v"});
  EXPECT_TRUE(one.out.starts_with(games + "/A.trd:\nS1      \tC\t16384\t6912\t")) << one.out;
  EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 2) << one.out;
  EXPECT_NE(one.err.find("skipped: " + games + "/A.trd: 1 file in it left out"), std::string::npos)
      << one.err;
  EXPECT_NE(one.err.find("skipped: " + games +
                         "/more.zip/pics/title.scr: left out: matches "
                         "--exclude pics"),
            std::string::npos)
      << one.err;
}

// Bare screens in one folder share rows under the folder's heading; --columns and --thumb-width
// shape them.
TEST_F(CliLayoutTest, SheetRowsAreSharedAndShapedByColumnsAndThumbnailWidth) {
  for (int i = 0; i < 5; ++i) Put("art/" + std::to_string(i) + ".scr", Screen(10 + i));
  struct Case {
    Names options;
    int width, columns, rows;
  };
  const Case cases[] = {{{}, 128, 5, 1},
                        {{"--columns", "2"}, 128, 2, 3},
                        {{"--thumb-width", "64"}, 64, 5, 1},
                        {{"--columns=9", "--thumb-width=384"}, 384, 4, 2}};
  int run = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const std::string sheet = output.File(std::to_string(++run) + ".png");
    Names args = {"sheet", "-r", input.File("art"), "-o", sheet};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun result = Cli(args);
    ASSERT_EQ(result.status, 0) << result.err;
    const DecodedPng page = DecodePng(ReadFileBytes(sheet));
    const int height = c.width * 3 / 4;
    const int cellHeight = height + kSheetNameGap + kGlyphSize;
    // As wide as its row or its heading, the folder's path with its "/".
    const int heading = kGlyphSize * static_cast<int>(input.File("art/").size());
    const int row = c.columns * c.width + (c.columns - 1) * kSheetGap;
    EXPECT_EQ(page.width, static_cast<std::uint32_t>(2 * kSheetMargin + std::max(row, heading)));
    const int firstRow = kSheetMargin + kGlyphSize + kSheetHeadingGap;
    EXPECT_EQ(page.height, static_cast<std::uint32_t>(firstRow + c.rows * cellHeight +
                                                      (c.rows - 1) * kSheetGap + kSheetMargin));
    // Each screen's frame at its cell, in order along the rows; a screen is shrunk to its box,
    // never enlarged, and centred in it.
    const int left = (c.width - std::min(c.width, 256)) / 2;
    const int top = (height - std::min(height, 192)) / 2;
    for (int i = 0; i < 5; ++i) {
      const int x = kSheetMargin + (i % c.columns) * (c.width + kSheetGap) + left - 1;
      const int y = firstRow + (i / c.columns) * (cellHeight + kSheetGap) + top - 1;
      ASSERT_LT(static_cast<std::uint32_t>(y), page.height);
      const Rgb at = page.frames[0][static_cast<std::size_t>(y) * page.width + x];
      EXPECT_EQ(at, (Rgb{RedOf(kSheetFrame), GreenOf(kSheetFrame), BlueOf(kSheetFrame)})) << i;
    }
  }
}

}  // namespace
}  // namespace orlaspin::testing
