// The POSIX file layer: errno values mapped onto the table's codes, and names from Windows-1251.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>

#include "io/disk_file.h"
#include "io/errors.h"
#include "test_files.h"

namespace orlaspin {
namespace {

void ExpectOpenError(const std::string& path, int code, const std::string& message) {
  try {
    SystemFileSystem().OpenForReading(path);
    ADD_FAILURE() << "no error for " << path;
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), code) << path;
    EXPECT_EQ(error.Message(), message) << path;
  }
}

class PosixFilesTest : public ::testing::Test {
 protected:
  testing::TempFolder folder;
};

TEST_F(PosixFilesTest, ErrnoValuesWithATableEntryTakeItsCode) {
  const std::string file = folder.File("file");
  testing::WriteFileBytes(file, std::vector<std::uint8_t>{1});
  ExpectOpenError(folder.File("missing"), 2, "File not found");
  ExpectOpenError(file + "/below", 3, "Invalid filename");  // ENOTDIR
}

TEST_F(PosixFilesTest, OtherErrnoValuesAreShownByNumber) {
  const std::string loop = folder.File("loop");
  ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
  ExpectOpenError(loop, ELOOP, "I/O error " + std::to_string(ELOOP));
  ExpectOpenError(folder.File(std::string(300, 'n')), ENAMETOOLONG,
                  "I/O error " + std::to_string(ENAMETOOLONG));
}

TEST_F(PosixFilesTest, RunningOutOfDescriptorsIsTooManyOpenFiles) {
  const std::string file = folder.File("file");
  testing::WriteFileBytes(file, std::vector<std::uint8_t>{1});
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit low = saved;
  low.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<std::unique_ptr<ReadableFile>> open;
  try {
    for (int i = 0; i < 64; ++i) open.push_back(SystemFileSystem().OpenForReading(file));
    ADD_FAILURE() << "64 opens succeeded";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 4);
    EXPECT_EQ(error.Message(), "Too many open files");
  }
  open.clear();
  ::setrlimit(RLIMIT_NOFILE, &saved);
}

TEST_F(PosixFilesTest, CreationErrorsGiveThePlatformsReason) {
  const std::uint8_t bytes[] = {'B', 'M'};
  const std::span<const std::uint8_t> parts[] = {bytes};
  const std::string inFolder = folder.File("PIC.bmp");
  std::filesystem::create_directory(inFolder);
  try {
    WriteNewFile(SystemFileSystem(), inFolder, parts);
    FAIL();
  } catch (const Error& error) {
    EXPECT_EQ(error.Message(), "Cannot create file \"" + inFolder + "\". Is a directory");
    EXPECT_EQ(error.Code(), EISDIR);
  }
  const std::string inMissing = folder.File("missing/A.bmp");
  try {
    WriteNewFile(SystemFileSystem(), inMissing, parts);
    FAIL();
  } catch (const Error& error) {
    EXPECT_EQ(error.Message(),
              "Cannot create file \"" + inMissing + "\". No such file or directory");
    EXPECT_EQ(error.Code(), ENOENT);
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"PIC.bmp"});
}

TEST_F(PosixFilesTest, ANameTakenByAFifoIsTakenWithoutBlocking) {
  const std::uint8_t bytes[] = {'B', 'M'};
  const std::span<const std::uint8_t> parts[] = {bytes};
  const std::string fifo = folder.File("P.bmp");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(SystemFileSystem().IsFile(fifo));
  EXPECT_FALSE(WriteNewFile(SystemFileSystem(), fifo, parts));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"P.bmp"});
}

TEST_F(PosixFilesTest, LinksListAsWhatTheyLeadToExceptThatALinkToAFolderIsNoFolder) {
  testing::WriteFileBytes(folder.File("file"), std::vector<std::uint8_t>{1});
  ASSERT_EQ(::mkdir(folder.File("sub").c_str(), 0700), 0);
  ASSERT_EQ(::symlink("file", folder.File("to-file").c_str()), 0);
  ASSERT_EQ(::symlink("sub", folder.File("to-folder").c_str()), 0);
  ASSERT_EQ(::symlink("..", folder.File("sub/to-parent").c_str()), 0);
  ASSERT_EQ(::symlink("missing", folder.File("dangling").c_str()), 0);
  ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
  testing::WriteFileBytes(folder.File("bytes-\xC0\xFF"), std::vector<std::uint8_t>{2});

  std::map<std::string, EntryKind> kinds;
  for (const FolderEntry& entry : SystemFileSystem().ListFolder(folder.Path())) {
    kinds[entry.name] = entry.kind;
  }
  EXPECT_EQ(kinds, (std::map<std::string, EntryKind>{{"file", EntryKind::File},
                                                     {"sub", EntryKind::Folder},
                                                     {"to-file", EntryKind::File},
                                                     {"to-folder", EntryKind::LinkToFolder},
                                                     {"dangling", EntryKind::Other},
                                                     {"fifo", EntryKind::Other},
                                                     {"bytes-\xC0\xFF", EntryKind::File}}));
  const std::vector<FolderEntry> sub = SystemFileSystem().ListFolder(folder.File("sub"));
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_EQ(sub[0].kind, EntryKind::LinkToFolder);
}

TEST_F(PosixFilesTest, AFolderThatCannotBeListedRaisesTheTablesError) {
  testing::WriteFileBytes(folder.File("file"), std::vector<std::uint8_t>{1});
  for (const auto& [path, code] :
       {std::pair{folder.File("missing"), 2}, std::pair{folder.File("file"), 3}}) {
    try {
      SystemFileSystem().ListFolder(path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const Error& error) {
      EXPECT_EQ(error.Code(), code) << path;
    }
  }
}

TEST(FileNameFromCatalogueBytes, ReadsHighBytesAsWindows1251) {
  EXPECT_EQ(FileNameFromCatalogueBytes("PIC 1.x"), "PIC 1.x");
  EXPECT_EQ(FileNameFromCatalogueBytes("\xC0\xE1\xFF"), "Абя");
  EXPECT_EQ(FileNameFromCatalogueBytes("\xA8\xB8\xB9"), "Ёё№");
  EXPECT_EQ(FileNameFromCatalogueBytes("\x80\x88"), "Ђ€");
  EXPECT_EQ(FileNameFromCatalogueBytes("A\x98Z"), "A_Z");  // no character at 0x98
}

}  // namespace
}  // namespace orlaspin
