// What depends on Windows: an image held open by another program, a read-only image, device
// names that would swallow a screen, a drive that ignores case, and catalogue bytes 0x80-0xFF
// as characters of the ANSI code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "containers/catalogue.h"
#include "cli.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "export_runs.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"
#include "io/win/wide_text.h"

namespace orlaspin::testing {
namespace {

Bytes TwoScreens() {
  TrdBuilder builder;
  builder.AddScreen("ONE", ColourfulScreen(1));
  builder.AddScreen("TWO", ColourfulScreen(2));
  return builder.Build();
}

// Another program's handle on a file, with the sharing it allows.
class HeldOpen {
 public:
  HeldOpen(const std::string& path, DWORD access, DWORD sharing)
      : handle_(CreateFileW(Widen(path).c_str(), access, sharing, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class WindowsFaults : public ::testing::Test {
 protected:
  TempFolder place;
  TempFolder out;
  const std::string imagePath = place.File("image.trd");
};

TEST_F(WindowsFaults, AnImageHeldWithoutSharingGivesIOError32AndChangesNothing) {
  const Bytes image = TwoScreens();
  WriteFileBytes(imagePath, image);
  testing::ListedImage state = LoadedState(imagePath);
  const HeldOpen lock(imagePath, GENERIC_READ, 0);
  ASSERT_TRUE(lock.IsOpen());

  try {
    state.ReadCatalogue(SystemFileSystem(), imagePath);
    ADD_FAILURE() << "the load completed";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 32);
    EXPECT_EQ(error.Message(), "I/O error 32");
  }
  EXPECT_EQ(state.EntryCount, 2);

  EXPECT_TRUE(EndedWith(Export(state, SystemFileSystem(), out.Path()), "I/O error 32"));
  EXPECT_TRUE(out.Names().empty());

  std::ostringstream printed, errors;
  const std::vector<std::string> args = {"export", imagePath, "--output-dir", out.Path()};
  EXPECT_EQ(RunCli(args, printed, errors), 1);
  EXPECT_EQ(errors.str(), "orlaspin-cli: " + imagePath + ": I/O error 32.\n");
}

// The image is only read, so a program writing it, and sharing reading, is no obstacle; nor is
// the read-only attribute.
TEST_F(WindowsFaults, AnImageOpenForWritingElsewhereOrReadOnlyIsExportedNormally) {
  const Bytes image = TwoScreens();
  WriteFileBytes(imagePath, image);
  {
    const HeldOpen writer(imagePath, GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer.IsOpen());
    EXPECT_TRUE(CompletedInto(ExportImageFile(image, imagePath, out.Path()), out.Path(), image));
  }
  ASSERT_TRUE(SetFileAttributesW(Widen(imagePath).c_str(), FILE_ATTRIBUTE_READONLY));
  testing::ListedImage state = LoadedState(imagePath);
  const FolderContents before = ReadFolder(out.Path());
  const ExportOutcome run = Export(state, SystemFileSystem(), out.Path());
  EXPECT_TRUE(Completed(run, 2));
  EXPECT_TRUE(FolderHoldsExport(before, out.Path(), run, image));
  SetFileAttributesW(Widen(imagePath).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Why the device rule exists: a file opened as NUL.bmp is the null device, and what is written to
// it lands nowhere.
TEST_F(WindowsFaults, ADeviceNameWithAnExtensionIsNoFileHere) {
  const HANDLE device = CreateFileW(Widen(out.File("NUL.bmp")).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(device, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(device, "BM", 2, &written, nullptr));
  CloseHandle(device);
  EXPECT_TRUE(out.Names().empty());
}

TEST_F(WindowsFaults, TheDriveIgnoresCase) {
  WriteFileBytes(out.File("case.bmp"), {});
  EXPECT_NE(GetFileAttributesW(Widen(out.File("CASE.BMP")).c_str()), INVALID_FILE_ATTRIBUTES);
}

// Every byte from 0x80 reaches the file system as the ANSI code page's character: the file's
// name read back through the ANSI interface is the stem's bytes.
TEST_F(WindowsFaults, CatalogueBytesFrom0x80AreCharactersOfTheAnsiCodePage) {
  const std::uint8_t part[] = {'B', 'M'};
  const std::span<const std::uint8_t> parts[] = {part};
  for (int byte = 0x80; byte < 0x100; ++byte) {
    const std::string stem = std::string("A") + static_cast<char>(byte);
    ASSERT_TRUE(WriteNewFile(SystemFileSystem(),
                             JoinPath(out.Path(), FileNameFromCatalogueBytes(stem) + ".bmp"),
                             parts));
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((out.Path() + "\\*.bmp").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << "byte " << byte;
    FindClose(search);
    EXPECT_EQ(std::string(found.cFileName), stem + ".bmp")
        << "byte " << byte << ", code page " << GetACP();
    for (const std::string& name : out.Names())
      DeleteFileW(Widen(JoinPath(out.Path(), name)).c_str());
  }
}

}  // namespace
}  // namespace orlaspin::testing
