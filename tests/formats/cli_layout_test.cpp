// orlaspin-cli's layouts, picture names and filters over a small collection, and sheet rows.
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

using Names = std::vector<std::string>;

std::vector<std::uint8_t> Screen(std::uint32_t seed) {
  const ScreenBytes screen = ColourfulScreen(seed);
  return {screen.begin(), screen.end()};
}

Names FilesBelow(const std::string& folder) {
  Names names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) names.push_back(relative(entry.path(), folder).generic_string());
  std::sort(names.begin(), names.end());
  return names;
}

// Two disks of one name in two folders, and an archive with a bare screen in a folder.
class CliLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TrdBuilder disk;
    disk.AddScreen("S0", ColourfulScreen(1)).AddScreen("S1", {}).AddDiskInfo("D");
    Put("games/A.trd", disk.Build());
    Put("games/old/A.trd", TrdBuilder().AddScreen("S0", ColourfulScreen(3)).Build());
    const ZipEntry members[] = {{.name = "pics/title.scr", .data = Screen(4)}};
    Put("games/more.zip", BuildZip(members));
  }
  void Put(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(input.File(name)).parent_path());
    WriteFileBytes(input.File(name), bytes);
  }
  TempFolder input, output;
};

TEST_F(CliLayoutTest, LayoutsAndTemplatesNameEveryPictureSafelyWithoutReplacingOne) {
  // files: written below the output folder ("~n": the text cut short, "~n.bmp"); or a problem
  // that makes the command line wrong.
  const std::string tooLong = std::string(300, 'L').append("{name}");
  const std::pair<std::vector<std::string_view>, Names> cases[] = {
      {{}, {"games/A/S0.bmp", "games/A/S1.bmp", "games/more/pics/title.bmp", "games/old/A/S0.bmp"}},
      {{"--layout", "flat"}, {"A-S0.bmp", "A-S1.bmp", "A-trd-S0.bmp", "title.bmp"}},
      {{"--layout=flat", "--name", "{image}_{index}"},
       {"A-trd_1.bmp", "A_1.bmp", "A_2.bmp", "title_1.bmp"}},
      {{"--name", "{kind}-{ext}-{start}-{name}: x/{image} "},
       {"games/A/trd-C-16384-S0_ x_A.bmp", "games/A/trd-C-16384-S1_ x_A.bmp",
        "games/more/pics/scr-standard--title_ x_title.bmp", "games/old/A/trd-C-16384-S0_ x_A.bmp"}},
      {{"--layout", "flat", "--name", tooLong}, {"~1", "~2", "~3", "~4"}},
      {{"--name", "{title}"}, {"no field {title}"}},
      {{"--name", "a{na{me}"}, {"the \"{\" at character 2 is not closed"}},
      {{"--name", "name}"}, {"the \"}\" at character 5 closes no \"{\""}},
      {{"--name="}, {"an empty name"}},
  };
  int run = 0;
  for (const auto& [options, files] : cases) {
    SCOPED_TRACE(::testing::PrintToString(options));
    const std::string out = output.File(std::to_string(++run));
    Names args = {"export", "-r", input.File("games"), "-o", out};
    args.insert(args.end(), options.begin(), options.end());
    const CliRun result = Cli(args);
    if (files.size() == 1) {
      EXPECT_TRUE(result.status == 2 && result.err.find(": " + files[0]) != std::string::npos &&
                  result.err.ends_with("\nTry 'orlaspin-cli --help'.\n") &&
                  !std::filesystem::exists(out))
          << result.err;
      continue;
    }
    const Names written = FilesBelow(out);
    ASSERT_EQ(written.size(), files.size()) << result.err << ::testing::PrintToString(written);
    for (std::size_t i = 0; i < written.size(); ++i) {
      const bool cut = files[i].starts_with("~");
      EXPECT_EQ(written[i],
                cut ? std::string(written[i].size() - files[i].size() - 4, 'L') + files[i] + ".bmp"
                    : files[i]);
      EXPECT_LE(written[i].size(), 255u);
    }
  }
}

TEST_F(CliLayoutTest, FiltersTakeImagesByPathOrFileNamesAndDoNotWalkAFolderLeftOut) {
  const std::string games = input.File("games");
  Put("games/notes.txt", {'h', 'i'});
  const CliRun run = Cli({"export", "-r", games, "-o", output.Path(), "--include", "*.TRD",
                          "--include", "TITLE", "--exclude", "old", "--exclude", "s0", "-v"});
  EXPECT_EQ(run.out,
            "games/A/S1.bmp\ngames/more/pics/title.bmp\n2 screens exported from 2 images\n");
  const std::string skipped = "orlaspin-cli: skipped: " + games;
  EXPECT_EQ(run.err, skipped + "/A.trd: 1 file in it left out by --include or --exclude\n" +
                         skipped + "/notes.txt: left out: matches no --include\n" + skipped +
                         "/old: left out: matches --exclude old\n");
}

// Bare screens in one folder share rows under the folder's path; --columns and --thumb-width
// shape them; a screen is never enlarged.
TEST_F(CliLayoutTest, SheetRowsAreSharedAndShapedByColumnsAndThumbnailWidth) {
  for (int i = 0; i < 5; ++i) Put("art/" + std::to_string(i) + ".scr", Screen(10 + i));
  const struct {
    Names options;
    int width, columns, rows;
  } cases[] = {{{}, 128, 5, 1},
               {{"--columns", "2"}, 128, 2, 3},
               {{"--columns=9", "--thumb-width=384"}, 384, 4, 2}};
  for (const auto& [options, width, columns, rows] : cases) {
    const std::string sheet = output.File(std::to_string(width + columns) + ".png");
    Names args = {"sheet", "-r", input.File("art"), "-o", sheet};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_EQ(Cli(args).status, 0);
    const DecodedPng page = DecodePng(ReadFileBytes(sheet));
    const int heading = kGlyphSize * static_cast<int>(input.File("art/").size());
    const int row = columns * width + (columns - 1) * kSheetGap;
    EXPECT_EQ(page.width, static_cast<unsigned>(2 * kSheetMargin + std::max(row, heading)));
    const int cellHeight = width * 3 / 4 + kSheetNameGap + kGlyphSize;
    EXPECT_EQ(page.height, static_cast<unsigned>(2 * kSheetMargin + kGlyphSize + kSheetHeadingGap +
                                                 rows * cellHeight + (rows - 1) * kSheetGap));
  }
}

}  // namespace
}  // namespace orlaspin::testing
