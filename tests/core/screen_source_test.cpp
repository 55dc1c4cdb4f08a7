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

CollectionFile FileAt(std::uint64_t offset, std::uint32_t length = kScreenBytes,
                      ScreenFormat format = ScreenFormat::Standard) {
  CollectionFile file;
  file.offset = offset;
  file.length = length;
  file.isScreen = true;
  file.screenFormat = format;
  return file;
}

std::vector<std::uint8_t> BytesOf(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

// Screens read from the image file at their turn, through the real file layer.
class ImageFileScreenSourceTest : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> Read(const std::string& path, const CollectionFile& file) {
    ImageFileScreenSource source(SystemFileSystem(), path);
    return source.ScreenFile(file);
  }

  testing::TempFolder folder;
};

TEST_F(ImageFileScreenSourceTest, ReadsTheScreenAtTheOffset) {
  const ScreenBytes screen = testing::ColourfulScreen(11);
  const std::string image = folder.File("a.trd");
  testing::TrdBuilder().PutBytes((2 * 16 + 5) * 256, screen).WriteTo(image);
  EXPECT_EQ(Read(image, FileAt((2 * 16 + 5) * 256)), BytesOf(screen));
}

TEST_F(ImageFileScreenSourceTest, AStandardScreenIs6912BytesWhateverItsLength) {
  const ScreenBytes screen = testing::ColourfulScreen(12);
  std::vector<std::uint8_t> file = BytesOf(screen);
  file.push_back(0xAB);
  const std::string image = folder.File("a.scr");
  testing::WriteFileBytes(image, file);
  EXPECT_EQ(Read(image, FileAt(0, kScreenBytes + 1)), BytesOf(screen));
}

TEST_F(ImageFileScreenSourceTest, AScreenOfAnotherFormatIsItsWholeLength) {
  const std::vector<std::uint8_t> hiRes = testing::PseudoRandomBytes(3, 12289);
  // The file ends 10 bytes short of the screen, 100 bytes in.
  std::vector<std::uint8_t> file(100, 0x55);
  file.insert(file.end(), hiRes.begin(), hiRes.end() - 10);
  const std::string image = folder.File("hires.scr");
  testing::WriteFileBytes(image, file);
  std::vector<std::uint8_t> expected = hiRes;
  std::fill(expected.end() - 10, expected.end(), 0);
  EXPECT_EQ(Read(image, FileAt(100, 12289, ScreenFormat::TimexHiRes)), expected);
}

TEST_F(ImageFileScreenSourceTest, BytesPastTheEndOfAShortImageAreZero) {
  const ScreenBytes current = testing::ColourfulScreen(22);
  const std::string image = folder.File("short.trd");
  testing::TrdBuilder(8192 + 100)
      .PutBytes(0, testing::ColourfulScreen(21))
      .PutBytes(8192, std::span(current).first(100))
      .WriteTo(image);
  std::vector<std::uint8_t> expected(kScreenBytes);
  std::copy_n(current.begin(), 100, expected.begin());
  EXPECT_EQ(Read(image, FileAt(8192)), expected);
  // Wholly beyond the end.
  EXPECT_EQ(Read(image, FileAt(1109760)), std::vector<std::uint8_t>(kScreenBytes));
}

TEST_F(ImageFileScreenSourceTest, AnImageGoneSinceItWasListedRaisesFileNotFound) {
  const std::string image = folder.File("a.trd");
  testing::TrdBuilder(0).PutBytes(0, testing::ColourfulScreen(5)).WriteTo(image);
  ImageFileScreenSource source(SystemFileSystem(), image);
  source.ScreenFile(FileAt(0));
  std::filesystem::remove(testing::PathFromUtf8(image));
  try {
    source.ScreenFile(FileAt(0));
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 2);
    EXPECT_EQ(error.Message(), "File not found");
  }
  EXPECT_THROW(Read("", FileAt(0)), Error);
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
    source.ScreenFile(FileAt(8192));
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
