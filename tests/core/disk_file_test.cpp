// The file layer of the platform being built, and the helpers above it.
#include "io/disk_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "io/errors.h"
#include "fake_file_system.h"
#include "test_files.h"

namespace orlaspin {
namespace {

TEST(JoinPath, AddsOneSeparatorWhereNeeded) {
  EXPECT_EQ(JoinPath("", "a.bmp"), "a.bmp");
  EXPECT_EQ(JoinPath("out", "a.bmp"), "out/a.bmp");
  EXPECT_EQ(JoinPath("out/", "a.bmp"), "out/a.bmp");
  EXPECT_EQ(JoinPath("C:\\out\\", "a.bmp"), "C:\\out\\a.bmp");
}

TEST(ReadFully, GathersShortReadsUntilTheEnd) {
  testing::FakeFileSystem files;
  std::vector<std::uint8_t> bytes(1000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  files.files["f"] = bytes;
  files.faults.readChunk = 3;
  const auto file = files.OpenForReading("f");
  std::vector<std::uint8_t> target(1200, 0xEE);
  EXPECT_EQ(ReadFully(*file, std::span(target).first(400)), 400u);
  EXPECT_TRUE(std::equal(target.begin(), target.begin() + 400, bytes.begin()));
  EXPECT_EQ(ReadFully(*file, target), 600u);
  EXPECT_TRUE(std::equal(target.begin(), target.begin() + 600, bytes.begin() + 400));
  EXPECT_EQ(target[600], 0xEE);
}

TEST(ReadFileStart, ReadsUpToTheLimitWhateverTheChunksAndClosesTheFile) {
  testing::FakeFileSystem files;
  std::vector<std::uint8_t> bytes(200000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13);
  files.files["f"] = bytes;
  files.faults.readChunk = 1000;
  EXPECT_EQ(ReadFileStart(files, "f", 1 << 20), bytes);
  EXPECT_EQ(ReadFileStart(files, "f", 150001),
            std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 150001));
  EXPECT_TRUE(ReadFileStart(files, "f", 0).empty());
  files.files["empty"] = {};
  EXPECT_TRUE(ReadFileStart(files, "empty", 100).empty());
  files.faults.closeError = 5;
  EXPECT_THROW(ReadFileStart(files, "f", 10), Error);
}

class SystemFilesTest : public ::testing::Test {
 protected:
  testing::TempFolder folder;
  FileSystem& files = SystemFileSystem();
};

TEST_F(SystemFilesTest, IsFileOnlyForRegularFiles) {
  testing::WriteFileBytes(folder.File("a.trd"), std::vector<std::uint8_t>{1});
  std::filesystem::create_directory(testing::PathFromUtf8(folder.File("dir.trd")));
  EXPECT_TRUE(files.IsFile(folder.File("a.trd")));
  EXPECT_FALSE(files.IsFile(folder.File("dir.trd")));
  EXPECT_FALSE(files.IsFile(folder.File("missing.trd")));
  EXPECT_FALSE(files.IsFile(""));
}

TEST_F(SystemFilesTest, ReadsFromAnOffsetAndPastTheEnd) {
  std::vector<std::uint8_t> bytes(5000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
  testing::WriteFileBytes(folder.File("a.trd"), bytes);
  const auto file = files.OpenForReading(folder.File("a.trd"));
  std::vector<std::uint8_t> target(100);
  file->Seek(4950);
  EXPECT_EQ(ReadFully(*file, target), 50u);
  EXPECT_TRUE(std::equal(target.begin(), target.begin() + 50, bytes.begin() + 4950));
  file->Seek(1109760);
  EXPECT_EQ(file->Read(target), 0u);
  file->Close();
}

TEST_F(SystemFilesTest, AMissingImageIsFileNotFound) {
  try {
    files.OpenForReading(folder.File("missing.trd"));
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 2);
    EXPECT_EQ(error.Message(), "File not found");
  }
}

// A file is complete before it has its name, and it never takes a name that is in use.
TEST_F(SystemFilesTest, ATemporaryFileTakesItsNameOnlyWhenTheNameIsFree) {
  const std::string path = folder.File("a.bmp");
  const std::vector<std::uint8_t> bytes = {1, 2, 3};
  std::string first;
  {
    const auto file = files.CreateTemporary(path, first);
    EXPECT_EQ(file->Write(bytes), 3u);
    EXPECT_TRUE(file->Close());
  }
  EXPECT_EQ(testing::PathFromUtf8(first).parent_path(), testing::PathFromUtf8(folder.Path()));
  EXPECT_FALSE(files.IsFile(path));
  EXPECT_TRUE(files.RenameWithoutReplacing(first, path));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.bmp"});
  EXPECT_EQ(testing::ReadFileBytes(path), bytes);

  std::string second;
  EXPECT_TRUE(files.CreateTemporary(path, second)->Close());
  EXPECT_NE(second, first);
  EXPECT_FALSE(files.RenameWithoutReplacing(second, path));
  EXPECT_EQ(testing::ReadFileBytes(path), bytes);
  EXPECT_TRUE(files.IsFile(second));
  const std::string inTheWay = folder.File("b.bmp");
  std::filesystem::create_directory(testing::PathFromUtf8(inTheWay));
  EXPECT_THROW(files.RenameWithoutReplacing(second, inTheWay), Error);
  files.Remove(second);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"a.bmp", "b.bmp"}));
}

TEST_F(SystemFilesTest, CreateFoldersMakesEveryMissingFolderOfThePath) {
  CreateFolders(files, folder.File("x/y/../z/"));
  EXPECT_TRUE(files.IsFolder(folder.File("x/y")));
  EXPECT_TRUE(files.IsFolder(folder.File("x/z")));
  CreateFolders(files, folder.File("x/z"));
  testing::WriteFileBytes(folder.File("x/file"), std::vector<std::uint8_t>{1});
  try {
    CreateFolders(files, folder.File("x/file/deeper"));
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Message(), "Cannot create folder \"" + files.FullPath(folder.File("x/file")) +
                                   "\". Something that is not a folder has that name");
  }
}

TEST_F(SystemFilesTest, AFolderListsItsFilesAndFoldersByTheirOwnNames) {
  testing::WriteFileBytes(folder.File("a.trd"), std::vector<std::uint8_t>{1});
  testing::WriteFileBytes(folder.File("Экран.scr"), std::vector<std::uint8_t>{2});
  std::filesystem::create_directory(testing::PathFromUtf8(folder.File("games")));
  std::filesystem::create_directory(testing::PathFromUtf8(folder.File("пусто")));
  testing::WriteFileBytes(folder.File("games/inner.trd"), std::vector<std::uint8_t>{3});

  std::vector<FolderEntry> entries = files.ListFolder(folder.Path());
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, "a.trd");
  EXPECT_EQ(entries[0].kind, EntryKind::File);
  EXPECT_EQ(entries[1].name, "games");
  EXPECT_EQ(entries[1].kind, EntryKind::Folder);
  EXPECT_EQ(entries[2].name, "Экран.scr");
  EXPECT_EQ(entries[2].kind, EntryKind::File);
  EXPECT_EQ(entries[3].name, "пусто");
  EXPECT_EQ(entries[3].kind, EntryKind::Folder);
  EXPECT_TRUE(files.ListFolder(folder.File("пусто")).empty());
  const std::vector<FolderEntry> inner = files.ListFolder(folder.File("games"));
  ASSERT_EQ(inner.size(), 1u);
  EXPECT_EQ(inner[0].name, "inner.trd");
}

TEST_F(SystemFilesTest, FullPathResolvesAgainstTheCurrentFolder) {
  const auto here = std::filesystem::current_path();
  std::filesystem::current_path(testing::PathFromUtf8(folder.Path()));
  const std::string full = files.FullPath("a.bmp");
  std::filesystem::current_path(here);
  EXPECT_EQ(testing::PathFromUtf8(full),
            std::filesystem::canonical(testing::PathFromUtf8(folder.Path())) / "a.bmp");
  EXPECT_EQ(files.FullPath(full), full);
}

}  // namespace
}  // namespace orlaspin
