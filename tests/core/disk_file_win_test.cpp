// The Win32 file layer: the system's own error codes, sharing, attributes and wide paths.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <map>

#include "export/file_names.h"
#include "containers/catalogue.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "listed_image.h"
#include "recording_views.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin {
namespace {

std::wstring Wide(const std::string& path) { return testing::PathFromUtf8(path).wstring(); }

int OpenErrorCode(const std::string& path, std::string& message) {
  try {
    SystemFileSystem().OpenForReading(path);
  } catch (const Error& error) {
    message = error.Message();
    return error.Code();
  }
  return 0;
}

class WinFilesTest : public ::testing::Test {
 protected:
  std::string Image(const std::string& name) {
    const std::string path = folder.File(name);
    testing::TrdBuilder().AddEntry({.name = "NEW"}).WriteTo(path);
    return path;
  }

  testing::TempFolder folder;
};

TEST_F(WinFilesTest, AnImageLockedByAnotherProgramIsIoError32AndChangesNothing) {
  testing::ListedImage state;
  const std::string old = folder.File("old.trd");
  testing::TrdBuilder().AddEntry({.name = "OLD1"}).AddEntry({.name = "OLD2"}).WriteTo(old);
  testing::OpenImage(state, SystemFileSystem(), old);

  const std::string path = Image("locked.trd");
  const HANDLE lock = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  std::string message;
  EXPECT_EQ(OpenErrorCode(path, message), 32);
  EXPECT_EQ(message, "I/O error 32");
  try {
    testing::OpenImage(state, SystemFileSystem(), path);
    ADD_FAILURE() << "the load did not fail";
  } catch (const Error& error) {
    EXPECT_EQ(WithFullStop(error.Message()), "I/O error 32.");
  }
  CloseHandle(lock);
  EXPECT_EQ(state.EntryCount, 2);
  EXPECT_EQ(testing::ListedCell(state, 0, 1), "OLD2    ");
}

TEST_F(WinFilesTest, AnImageWithTheReadOnlyAttributeIsListedAndDecoded) {
  const std::string path = Image("ro.trd");
  ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
  testing::ListedImage state;
  testing::RecordingExportView view;
  testing::OpenImage(state, SystemFileSystem(), path);
  testing::TempFolder out;
  const int count = testing::ExportListed(state, SystemFileSystem(), view, out.Path());
  SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(state.EntryCount, 1);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(view.decoded.size(), 1u);
}

TEST_F(WinFilesTest, SystemCodesPickTheTableMessages) {
  std::string message;
  EXPECT_EQ(OpenErrorCode(folder.File("missing.trd"), message), 2);
  EXPECT_EQ(message, "File not found");
  EXPECT_EQ(OpenErrorCode(folder.File("missing\\x.trd"), message), 3);
  EXPECT_EQ(message, "Invalid filename");
  EXPECT_EQ(OpenErrorCode(folder.Path(), message), 5);
  EXPECT_EQ(message, "File access denied");
}

TEST_F(WinFilesTest, AFolderInTheWayGivesTheSystemsReasonTrimmed) {
  const std::string path = folder.File("PIC.bmp");
  ASSERT_TRUE(CreateDirectoryW(Wide(path).c_str(), nullptr));
  const std::uint8_t bytes[] = {'B', 'M'};
  const std::span<const std::uint8_t> parts[] = {bytes};
  try {
    WriteNewFile(SystemFileSystem(), path, parts);
    FAIL() << "no error";
  } catch (const Error& error) {
    const std::string prefix = "Cannot create file \"" + SystemFileSystem().FullPath(path) + "\". ";
    ASSERT_TRUE(error.Message().starts_with(prefix)) << error.Message();
    EXPECT_EQ(prefix.find('/'), std::string::npos) << "not a full Windows path: " << prefix;
    const std::string reason = error.Message().substr(prefix.size());
    ASSERT_FALSE(reason.empty());
    EXPECT_GT(static_cast<unsigned char>(reason.back()), ' ');
    EXPECT_NE(reason.back(), '.');
    EXPECT_EQ(error.Code(), 5);
  }
}

TEST_F(WinFilesTest, AMissingFolderListsAsPathNotFound) {
  try {
    SystemFileSystem().ListFolder(folder.File("missing"));
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 3);
    EXPECT_EQ(error.Message(), "Invalid filename");
  }
}

TEST_F(WinFilesTest, ALinkToAFolderListsAsALinkNotAFolder) {
  ASSERT_TRUE(CreateDirectoryW(Wide(folder.File("sub")).c_str(), nullptr));
  // Wine answers success without making the link.
  if (!CreateSymbolicLinkW(Wide(folder.File("link")).c_str(), Wide(folder.File("sub")).c_str(),
                           SYMBOLIC_LINK_FLAG_DIRECTORY) ||
      GetFileAttributesW(Wide(folder.File("link")).c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no symbolic links here";
  }
  std::map<std::string, EntryKind> kinds;
  for (const FolderEntry& entry : SystemFileSystem().ListFolder(folder.Path())) {
    kinds[entry.name] = entry.kind;
  }
  EXPECT_EQ(kinds, (std::map<std::string, EntryKind>{{"sub", EntryKind::Folder},
                                                     {"link", EntryKind::LinkToFolder}}));
}

TEST_F(WinFilesTest, PathsInAnyLanguageWork) {
  const std::string inside = folder.File("Экраны");
  ASSERT_TRUE(CreateDirectoryW(Wide(inside).c_str(), nullptr));
  const std::string path = inside + "\\диск.trd";
  testing::TrdBuilder().AddScreen("PIC", ScreenBytes{}).WriteTo(path);
  testing::ListedImage state;
  testing::RecordingExportView batch;
  testing::OpenImage(state, SystemFileSystem(), path);
  EXPECT_EQ(testing::ExportListed(state, SystemFileSystem(), batch, inside), 1);
  EXPECT_TRUE(std::filesystem::is_regular_file(testing::PathFromUtf8(inside + "\\PIC.bmp")));
}

}  // namespace
}  // namespace orlaspin
