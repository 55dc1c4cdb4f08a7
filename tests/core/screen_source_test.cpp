#include "containers/screen_source.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fake_file_system.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin {
namespace {

CollectionFile FileAt(std::uint64_t offset) {
  CollectionFile file;
  file.offset = offset;
  file.length = kScreenBytes;
  file.isScreen = true;
  return file;
}

// Screens read from the image file at their turn, through the real file layer.
class ImageFileScreenSourceTest : public ::testing::Test {
 protected:
  ScreenBytes Read(const std::string& path, std::uint64_t offset) {
    ImageFileScreenSource source(SystemFileSystem(), path);
    return source.Screen(FileAt(offset));
  }

  testing::TempFolder folder;
};

TEST_F(ImageFileScreenSourceTest, ReadsTheScreenAtTheOffset) {
  const ScreenBytes screen = testing::ColourfulScreen(11);
  const std::string image = folder.File("a.trd");
  testing::TrdBuilder().PutBytes((2 * 16 + 5) * 256, screen).WriteTo(image);
  EXPECT_EQ(Read(image, (2 * 16 + 5) * 256), screen);
}

TEST_F(ImageFileScreenSourceTest, BytesPastTheEndOfAShortImageAreZero) {
  const ScreenBytes current = testing::ColourfulScreen(22);
  const std::string image = folder.File("short.trd");
  testing::TrdBuilder(8192 + 100)
      .PutBytes(0, testing::ColourfulScreen(21))
      .PutBytes(8192, std::span(current).first(100))
      .WriteTo(image);
  ScreenBytes expected{};
  std::copy_n(current.begin(), 100, expected.begin());
  EXPECT_EQ(Read(image, 8192), expected);
  EXPECT_EQ(Read(image, 1109760), ScreenBytes{});  // wholly beyond the end
}

TEST_F(ImageFileScreenSourceTest, AnImageGoneSinceItWasListedRaisesFileNotFound) {
  const std::string image = folder.File("a.trd");
  testing::TrdBuilder(0).PutBytes(0, testing::ColourfulScreen(5)).WriteTo(image);
  ImageFileScreenSource source(SystemFileSystem(), image);
  source.Screen(FileAt(0));
  std::filesystem::remove(testing::PathFromUtf8(image));
  try {
    source.Screen(FileAt(0));
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 2);
    EXPECT_EQ(error.Message(), "File not found");
  }
  EXPECT_THROW(Read("", 0), Error);
}

// A failure of any file step raises its own error.
class FailedScreenReadTest : public ::testing::TestWithParam<testing::FileFaults> {};

TEST_P(FailedScreenReadTest, RaisesTheStepsError) {
  testing::FakeFileSystem files;
  files.files["a.trd"] =
      testing::TrdBuilder(0).PutBytes(8192, testing::ColourfulScreen(32)).Build();
  files.faults = GetParam();
  ImageFileScreenSource source(files, "a.trd");
  try {
    source.Screen(FileAt(8192));
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 32);
    EXPECT_EQ(error.Message(), "I/O error 32");
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FailedScreenReadTest,
    ::testing::Values(testing::FileFaults{.openError = 32}, testing::FileFaults{.seekError = 32},
                      testing::FileFaults{.readError = 32},
                      testing::FileFaults{.readError = 32, .readsBeforeError = 1, .readChunk = 512},
                      testing::FileFaults{.closeError = 32}));

}  // namespace
}  // namespace orlaspin
