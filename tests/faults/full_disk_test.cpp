// A real disk filling up in the middle of a batch: the small disk that ctest mounts for the run
// (ORLASPIN_SMALL_DISK, a 500 KB tmpfs), seen natively and through Wine.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "io/disk_file.h"
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

  // The command line on the full disk: the system's text and the file, no count, nothing new.
  const FolderContents before = ReadFolder(disk);
  std::ostringstream printed, errors;
  const std::vector<std::string> args = {"export", imagePath, "--output-dir", disk};
  EXPECT_EQ(RunCli(args, printed, errors), 1);
  EXPECT_EQ(printed.str(), "");
  EXPECT_TRUE(errors.str().starts_with("orlaspin-cli: " + imagePath + ": Cannot write file \"" +
                                       SystemFileSystem().FullPath(JoinPath(disk, "SCR01.bmp"))))
      << errors.str();
  EXPECT_EQ(ReadFolder(disk), before);
}

// Many images on a disk that fills up: told once, with the file and the system's text; the images
// after it are not tried, and only whole pictures are left.
TEST(FullDisk, AFullDiskEndsARunOfManyImagesWithOneMessage) {
  const std::string disk = SmallDisk();
  if (disk.empty()) GTEST_SKIP() << "no small disk mounted (ctest mounts one when run as root)";
  TempFolder place;
  std::vector<std::string> args = {"export", "-j", "1", "-o", disk};
  for (const char* name : {"a.trd", "b.trd"}) {
    args.push_back(place.File(name));
    TrdBuilder builder;
    for (int i = 0; i < 4; ++i) builder.AddScreen("SCR" + std::to_string(i), ColourfulScreen(i));
    builder.AddDiskInfo("FULL").WriteTo(args.back());
  }
  std::ostringstream printed, errors;
  EXPECT_EQ(RunCli(args, printed, errors), 1);
  const std::string told = "orlaspin-cli: " + args[5] + ": Cannot write file \"" +
                           SystemFileSystem().FullPath(JoinPath(disk, "a/SCR2.bmp")) + "\". ";
  EXPECT_TRUE(errors.str().starts_with(told) && errors.str().ends_with(".\n")) << errors.str();
#ifndef _WIN32
  EXPECT_EQ(errors.str(), told + std::strerror(ENOSPC) + ".\n");
#endif
  EXPECT_EQ(printed.str(),
            "a/SCR0.bmp\na/SCR1.bmp\n2 screens exported from 1 image, 1 failed; the "
            "disk is full, the images after it were not tried\n");
  const FolderContents written = ReadFolder(JoinPath(disk, "a"));
  EXPECT_EQ(written, (FolderContents{{"SCR0.bmp", OracleBitmapFile(ColourfulScreen(0))},
                                     {"SCR1.bmp", OracleBitmapFile(ColourfulScreen(1))}}));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(JoinPath(disk, "b"))));
}

}  // namespace
}  // namespace orlaspin::testing
