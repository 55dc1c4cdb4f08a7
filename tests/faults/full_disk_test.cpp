// A real disk filling up in the middle of a batch: the small disk that ctest mounts for the run
// (ORLASPIN_SMALL_DISK, a 500 KB tmpfs), seen natively and through Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "export_runs.h"
#include "oracle.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

// The small disk, emptied but for the mark the mount leaves in it; empty when there is none.
std::string SmallDisk() {
  const char* disk = std::getenv("ORLASPIN_SMALL_DISK");
  if (disk == nullptr) return {};
  const std::filesystem::path mark = PathFromUtf8(disk) / "small-disk";
  if (!std::filesystem::exists(mark)) return {};
  for (const auto& item : std::filesystem::directory_iterator(PathFromUtf8(disk))) {
    if (item.path() != mark) std::filesystem::remove_all(item);
  }
  return disk;
}

TEST(FullDisk, ADiskFillingUpMidBatchEndsTheRunWithTheFilesBeforeItComplete) {
  const std::string disk = SmallDisk();
  if (disk.empty()) GTEST_SKIP() << "no small disk mounted (ctest mounts one when run as root)";
  TempFolder place;
  const std::string imagePath = place.File("image.trd");
  TrdBuilder builder;
  for (int i = 0; i < 4; ++i) builder.AddScreen("SCR" + std::to_string(i), ColourfulScreen(i));
  const Bytes image = builder.AddDiskInfo("FULL").Build();

  // 500 KB of 4 KB pages holds two bitmaps of 49 pages and the first 27 pages of a third.
  const ImageExport exported = ExportImageFile(image, imagePath, disk);
  EXPECT_TRUE(EndedWith(exported.run, "Stream write error"));
  EXPECT_EQ(exported.run.view.written, (std::vector<std::string>{"SCR0.bmp", "SCR1.bmp"}));
  EXPECT_TRUE(FolderHoldsExport(exported.before, disk, exported.run, image));
  ASSERT_EQ(exported.run.view.decoded.size(), 3u);
  EXPECT_EQ(exported.run.view.decoded.back(), ColourfulScreen(2));
  EXPECT_EQ(exported.state.EntryCount, 4);

  // The command line on the full disk: the error with its full stop, no count, nothing new.
  const FolderContents before = ReadFolder(disk);
  std::ostringstream printed, errors;
  const std::vector<std::string> args = {"export", imagePath, "--output-dir", disk};
  EXPECT_EQ(RunCli(args, printed, errors), 1);
  EXPECT_EQ(printed.str(), "");
  EXPECT_EQ(errors.str(), "orlaspin-cli: " + imagePath + ": Stream write error.\n");
  EXPECT_EQ(ReadFolder(disk), before);
}

}  // namespace
}  // namespace orlaspin::testing
