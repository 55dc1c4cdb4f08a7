#include "export/images_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "archive_builders.h"
#include "export/output_folders.h"
#include "fake_file_system.h"
#include "io/disk_file.h"
#include "recording_views.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"
#include "zip_builder.h"

namespace orlaspin::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using Failures = std::vector<std::pair<std::string, std::string>>;

constexpr std::size_t kBmpFileSize = 54 + 256 * 192 * 4;

Bytes ScreenVector(std::uint32_t seed) {
  const ScreenBytes screen = ColourfulScreen(seed);
  return {screen.begin(), screen.end()};
}

Bytes Trd(std::uint32_t seed, int screens = 1) {
  TrdBuilder builder;
  for (int i = 0; i < screens; ++i) {
    builder.AddScreen("PIC" + std::to_string(i), ColourfulScreen(seed + i));
  }
  return builder.AddDiskInfo("T").Build();
}

ImagesExportResult ExportAll(FileSystem& files, Names paths, RecordingImagesView& view,
                             bool walk = false, int jobs = 1, OutputOptions options = {}) {
  return ExportImages(files, {std::move(paths), walk, "out", options, jobs}, view);
}

TEST(OutputFolders, AnImagesFolderIsItsStemOrTheNextNameThatIsFree) {
  FakeFileSystem files;
  files.folders.insert("out/old");  // a folder of an earlier run is used again
  files.files["out/taken"] = {1};   // a file is in the way
  OutputFolders folders(files, "out");
  const auto image = [&](std::size_t root, const std::string& name) {
    return folders.FolderFor(root, Names{name}, "");
  };
  EXPECT_EQ(image(0, "old"), "old");
  EXPECT_EQ(image(1, "taken"), "taken-2");
  EXPECT_EQ(image(2, "old"), "old-2");  // given out this run
  EXPECT_EQ(image(2, "old"), "old-3");  // every image a folder of its own
  EXPECT_EQ(image(3, "   "), "-2");
  EXPECT_EQ(image(4, ".."), "..-2");  // never the parent
  EXPECT_EQ(image(5, "."), ".-2");
  EXPECT_EQ(image(6, "Nul"), "Nul_");
  EXPECT_EQ(image(7, "a:b"), "a_b");
  EXPECT_EQ(files.folders,
            (std::set<std::string>{"out/old", "out/taken-2", "out/old-2", "out/old-3", "out/-2",
                                   "out/..-2", "out/.-2", "out/Nul_", "out/a_b"}));
}

TEST(OutputFolders, APlaceImagesWereFoundInIsOneFolderPerNamedPath) {
  FakeFileSystem files;
  files.files["out/c/games/taken"] = {1};
  OutputFolders folders(files, "out");
  EXPECT_EQ(folders.FolderFor(0, Names{"c", "games", "A"}, ""), "c/games/A");
  EXPECT_EQ(folders.FolderFor(0, Names{"c", "games", "A"}, ""), "c/games/A-2");
  EXPECT_EQ(folders.FolderFor(0, Names{"c", "games", "taken", "B"}, ""), "c/games/taken-2/B");
  EXPECT_EQ(folders.FolderFor(0, Names{"c", "other", "A"}, ""), "c/other/A");
  // Another named path of the same name: its own folder beside the first.
  EXPECT_EQ(folders.FolderFor(1, Names{"c", "games", "A"}, ""), "c-2/games/A");
  // An image named like a folder met before takes a name of its own.
  EXPECT_EQ(folders.FolderFor(0, Names{"c", "games"}, ""), "c/games-2");
}

TEST(ExportImages, EachImageGetsAFolderAndAFailedImageDoesNotStopTheRun) {
  FakeFileSystem files;
  files.files["disks/GAME.trd"] = TrdBuilder()
                                      .AddScreen("title", ColourfulScreen(1))
                                      .AddScreen("end", ColourfulScreen(2))
                                      .Build();
  files.files["disks/notes.txt"] = {'h', 'i'};
  files.files["disks/empty.trd"] = TrdBuilder().Build();
  files.files["disks/GAME.scl"] =
      BuildScl(std::vector<ArchivedFile>{ScreenFile("title", ColourfulScreen(3))});
  RecordingImagesView view;
  const ImagesExportResult result =
      ExportAll(files,
                {"disks/GAME.trd", "disks/notes.txt", "disks/missing.scr", "disks/empty.trd",
                 "disks/GAME.scl"},
                view, false, 1, {OutputFormat::Png, 1, false});

  EXPECT_EQ(result.images, 5);
  EXPECT_EQ(result.screens, 3);
  EXPECT_EQ(result.failedImages, 2);
  EXPECT_FALSE(result.singleImage);
  EXPECT_EQ(view.finished, 5);
  EXPECT_EQ(view.written, (Names{"GAME/title.png", "GAME/end.png", "GAME-scl/title.png"}));
  ASSERT_EQ(view.failures.size(), 2u);
  EXPECT_EQ(view.failures[0].first, "disks/notes.txt");
  EXPECT_EQ(view.failures[1],
            std::make_pair(std::string("disks/missing.scr"), std::string("File not found")));
  // The output folder was made; an image without screens and the failed ones made none.
  EXPECT_EQ(files.folders, (std::set<std::string>{"out", "out/GAME", "out/GAME-scl"}));
  EXPECT_TRUE(files.files.contains("out/GAME-scl/title.png"));
}

TEST(ExportImages, ScreensWrittenBeforeAnImageFailsAreCounted) {
  FakeFileSystem files;
  files.folders.insert("out");
  files.files["a.trd"] = Trd(1, 2);
  files.faults.writeCapacity = kBmpFileSize + 10;
  RecordingImagesView view;
  const ImagesExportResult result = ExportAll(files, {"a.trd", "a.trd"}, view);
  EXPECT_EQ(result.screens, 1);
  EXPECT_EQ(result.failedImages, 2);
  EXPECT_EQ(view.written, (Names{"a/PIC0.bmp"}));
}

TEST(ExportImages, AnOutputFolderThatCannotBeMadeEndsTheRunAtOnce) {
  FakeFileSystem files;
  files.files["out"] = {1};
  files.files["a.scr"] = ScreenVector(1);
  RecordingImagesView view;
  EXPECT_THROW(ExportAll(files, {"a.scr", "a.scr"}, view), Error);
  EXPECT_TRUE(view.written.empty());
  EXPECT_EQ(view.finished, 0);
}

TEST(ExportImages, OneNamedFileGoesIntoTheOutputFolderAndOneNamedArchiveDoesNot) {
  FakeFileSystem files;
  files.files["a.trd"] = Trd(1);
  files.files["z.zip"] =
      BuildZip(std::vector<ZipEntry>{{.name = "in/b.scr", .data = ScreenVector(2)}});
  RecordingImagesView view;
  EXPECT_TRUE(ExportAll(files, {"a.trd"}, view).singleImage);
  const ImagesExportResult archive = ExportAll(files, {"z.zip"}, view);
  EXPECT_FALSE(archive.singleImage);
  EXPECT_EQ(archive.images, 1);
  EXPECT_EQ(view.written, (Names{"PIC0.bmp", "z/in/b.bmp"}));  // a screen has no folder of its own
  EXPECT_EQ(files.files.at("out/z/in/b.bmp").size(), kBmpFileSize);

  // A named file that fails is still the one image.
  RecordingImagesView failed;
  const ImagesExportResult missing = ExportAll(files, {"gone.trd"}, failed);
  EXPECT_TRUE(missing.singleImage);
  EXPECT_EQ(failed.failures, (Failures{{"gone.trd", "File not found"}}));
}

TEST(ExportImages, AWalkKeepsTheFoldersAndArchivesAboveEachImageAndCountsWhatItSkips) {
  const ZipEntry entries[] = {
      {.name = "GAMES/A.trd", .data = Trd(1)},
      {.name = "GAMES/B.trd", .data = Trd(2)},
      {.name = "readme.txt", .data = {'h', 'i'}},
      {.name = "broken.trd", .data = Trd(3), .crc = 1},
  };
  FakeFileSystem files;
  files.folders = {"c", "c/sub"};
  files.files["c/games.zip"] = BuildZip(entries);
  files.files["c/sub/A.trd"] = Trd(4);
  files.files["c/sub/notes.txt"] = {'x'};
  RecordingImagesView view;
  const ImagesExportResult result = ExportAll(files, {"c"}, view, true);
  EXPECT_EQ(view.written,
            (Names{"c/games/GAMES/A/PIC0.bmp", "c/games/GAMES/B/PIC0.bmp", "c/sub/A/PIC0.bmp"}));
  EXPECT_EQ(view.warnings, (std::vector<std::pair<std::string, Problem>>{
                               {"c/games.zip/broken.trd", Problem::MemberWrongCrc}}));
  EXPECT_EQ(result.images, 3);
  EXPECT_EQ(result.skippedFiles, 2);
  EXPECT_EQ(result.failedImages, 0);

  // Without a walk a named folder is a failure.
  RecordingImagesView unwalked;
  const ImagesExportResult refused = ExportAll(files, {"c"}, unwalked);
  EXPECT_EQ(refused.failedImages, 1);
  EXPECT_EQ(unwalked.failures, (Failures{{"c", "Is a folder"}}));
}

// The tree of files under root: each path inside it with its bytes.
std::map<std::string, Bytes> TreeOf(const std::string& root) {
  std::map<std::string, Bytes> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    tree[std::filesystem::relative(entry.path(), root).generic_string()] =
        ReadFileBytes(entry.path().string());
  }
  return tree;
}

TEST(ExportImages, ManyJobsGiveTheSameNamesFilesAndReportsAsOne) {
  TempFolder input;
  // Images of one stem in several places, archives, failures and images without screens, so
  // that the folder names depend on the order of the images.
  const auto put = [&](const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(std::filesystem::path(input.File(name)).parent_path());
    WriteFileBytes(input.File(name), bytes);
  };
  for (int i = 0; i < 6; ++i) {
    const std::string n = std::to_string(i);
    put("c/d" + n + "/GAME.trd", Trd(10 * i, 1 + i % 3));
    put("c/d" + n + "/GAME.scr", ScreenVector(10 * i + 5));
    put("c/d" + n + "/bad.scl", {1, 2, 3});
    put("c/d" + n + "/empty.trd", TrdBuilder().Build());
    put("c/z" + n + ".zip",
        BuildZip(std::vector<ZipEntry>{{.name = "GAME.trd", .data = Trd(100 + i, 2)},
                                       {.name = "GAME.scl", .data = {9}}}));
  }
  const auto run = [&](int jobs) {
    TempFolder output;
    RecordingImagesView view;
    const ImagesExportResult result = ExportImages(
        SystemFileSystem(),
        {{input.File("c"), input.File("c/d0/GAME.trd")}, true, output.File("out"), {}, jobs}, view);
    EXPECT_EQ(result.images, 37);
    EXPECT_EQ(result.failedImages, 12);
    return std::tuple(view.written, view.failures, view.finished, TreeOf(output.File("out")));
  };
  const auto one = run(1);
  EXPECT_EQ(std::get<0>(one).size(), 6u * 2 + 6 + 6 * 2 + 1);
  for (const int jobs : {2, 4, 7}) EXPECT_EQ(run(jobs), one) << jobs << " jobs";
}

}  // namespace
}  // namespace orlaspin::testing
