// Faults that the operating system itself makes on POSIX systems: a disk out of file entries, a
// file-size limit, another user without write permission, special files given as the image or lying
// in the output folder; and the names of catalogue bytes 0x80-0xFF.
#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "export/file_names.h"
#include "encoders/bitmap_file.h"
#include "export/collection_export.h"
#include "containers/catalogue.h"
#include "cli.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "export_runs.h"
#include "oracle.h"
#include "program_run.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

Bytes FourScreens() {
  TrdBuilder builder;
  for (int i = 0; i < 4; ++i) builder.AddScreen("SCR" + std::to_string(i), ColourfulScreen(i));
  return builder.AddDiskInfo("FOUR").Build();
}

// Runs work in a child process (to change its limits or its user there) and returns the text
// it reported, or what ended the child.
std::string InChild(const std::function<std::string()>& work) {
  int channel[2];
  if (::pipe(channel) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    const std::string text = work();
    const ssize_t written = ::write(channel[1], text.data(), text.size());
    ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
  }
  ::close(channel[1]);
  std::string text;
  char buffer[256];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, got);
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
  return text;
}

// The message of the error that work raises, or "" when it raises none.
std::string ErrorOf(const std::function<void()>& work) {
  try {
    work();
  } catch (const Error& error) {
    return error.Message();
  }
  return {};
}

class PosixFaults : public ::testing::Test {
 protected:
  TempFolder place;
  TempFolder out;
  const std::string imagePath = place.File("image.trd");
};

// A tmpfs of the given options mounted on a fresh folder for the test's lifetime.
class SmallDisk {
 public:
  explicit SmallDisk(const char* options) {
    mounted_ = ::mount("tmpfs", folder_.Path().c_str(), "tmpfs", 0, options) == 0;
    error_ = errno;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.Path().c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  std::string Why() const { return std::strerror(error_); }
  const std::string& Path() const { return folder_.Path(); }

 private:
  TempFolder folder_;
  bool mounted_ = false;
  int error_ = 0;
};

TEST_F(PosixFaults, ADiskOutOfFileEntriesEndsTheRunWithTheCreationError) {
  const SmallDisk disk("size=10m,nr_inodes=3");
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here: " << disk.Why();
  const Bytes image = FourScreens();
  const ExportOutcome run = ExportImageFile(image, imagePath, disk.Path()).run;
  ASSERT_TRUE(run.error);
  const std::string refused =
      JoinPath(disk.Path(), "SCR" + std::to_string(run.view.written.size()) + ".bmp");
  EXPECT_EQ(*run.error, "Cannot create file \"" + refused + "\". No space left on device");
  EXPECT_LT(run.view.written.size(), 4u);
  EXPECT_TRUE(FolderHoldsExport({}, disk.Path(), run, image));
}

// A file-size limit (ulimit -f) with SIGXFSZ ignored makes the write fall short for real: in the
// file header, in the info header, at the start of the pixels or inside them.
TEST_F(PosixFaults, AFileSizeLimitInEachWriteOfABitmapLeavesNoFile) {
  const std::vector<std::uint8_t> bitmap = testing::BitmapOf(testing::WhitePicture());
  for (const rlim_t limit : {0, 10, 14, 20, 54, 1000, 196661}) {
    const std::string message = InChild([&] {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit size{limit, limit};
      ::setrlimit(RLIMIT_FSIZE, &size);
      return ErrorOf([&] {
        SaveUnderFreeName(SystemFileSystem(), out.Path(), "LIMIT", kBitmapExtension,
                          BitmapParts(bitmap), false);
      });
    });
    EXPECT_EQ(message, "Stream write error") << "limit " << limit;
    EXPECT_TRUE(out.Names().empty()) << "limit " << limit;
  }
}

// The command-line tool under such a limit is not killed halfway through a file.
TEST_F(PosixFaults, TheCommandLineUnderAFileSizeLimitReportsTheShortWriteAndLeavesNoFile) {
  WriteFileBytes(imagePath, FourScreens());
  const std::string errors = place.File("errors.txt");
  const std::string status = InChild([&] {
    const rlimit size{100000, 100000};
    ::setrlimit(RLIMIT_FSIZE, &size);
    ::signal(SIGXFSZ, SIG_DFL);
    const pid_t cli = ::fork();
    if (cli == 0) {
      const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(err, 2);
      ::execl(ORLASPIN_CLI, ORLASPIN_CLI, "export", imagePath.c_str(), "--output-dir",
              out.Path().c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int result = 0;
    ::waitpid(cli, &result, 0);
    if (WIFSIGNALED(result)) return "killed by signal " + std::to_string(WTERMSIG(result));
    return "exit " + std::to_string(WEXITSTATUS(result));
  });
  EXPECT_EQ(status, "exit 1");
  const Bytes printed = ReadFileBytes(errors);
  EXPECT_EQ(std::string(printed.begin(), printed.end()),
            "orlaspin-cli: " + imagePath + ": Stream write error.\n");
  EXPECT_TRUE(out.Names().empty());
}

TEST_F(PosixFaults, AnotherUserWithoutWritePermissionGetsTheCreationErrorAndNoFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  WriteFileBytes(imagePath, FourScreens());
  ::chmod(out.Path().c_str(), 0555);
  const std::string message = InChild([&] {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) return std::string("setuid failed");
    testing::ListedImage state = LoadedState(imagePath);
    ExportOutcome run = Export(state, SystemFileSystem(), out.Path());
    return run.error.value_or("completed");
  });
  EXPECT_EQ(message, "Cannot create file \"" + out.File("SCR0.bmp") + "\". Permission denied");
  EXPECT_TRUE(out.Names().empty());
}

TEST_F(PosixFaults, AnImageTheUserMayNotReadIsRefusedWithFileAccessDenied) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  WriteFileBytes(imagePath, FourScreens());
  ::chmod(imagePath.c_str(), 0600);
  const std::string messages = InChild([&] {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) return std::string("setuid failed");
    testing::ListedImage state;
    const std::string load =
        ErrorOf([&] { testing::OpenImage(state, SystemFileSystem(), imagePath); });
    std::ostringstream printed, errors;
    const std::vector<std::string> args = {"list", imagePath};
    RunCli(args, printed, errors);
    return load + "|" + std::to_string(state.EntryCount) + "|" + errors.str();
  });
  EXPECT_EQ(messages,
            "File access denied|0|orlaspin-cli: " + imagePath + ": File access denied.\n");
}

// A FIFO would block a read for ever, /dev/zero would never end: neither is a file to read.
TEST_F(PosixFaults, AFifoOrADeviceGivenAsTheImageIsNoFileAndNothingWaits) {
  const std::string fifo = place.File("fifo.trd");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string link = place.File("zero.trd");
  std::filesystem::create_symlink("/dev/zero", PathFromUtf8(link));
  WriteFileBytes(imagePath, FourScreens());

  for (const std::string& special : {fifo, std::string("/dev/zero"), link}) {
    SCOPED_TRACE(special);
    // Listing it changes nothing; exporting a listed image that became one raises the error.
    testing::ListedImage state = LoadedState(imagePath);
    testing::OpenImage(state, SystemFileSystem(), special);
    EXPECT_EQ(state.EntryCount, 4);
    state.ImagePath = special;
    EXPECT_TRUE(EndedWith(Export(state, SystemFileSystem(), out.Path()), "File not found"));
    EXPECT_TRUE(out.Names().empty());

    for (const auto& args :
         {std::vector<std::string>{"list", special},
          std::vector<std::string>{"export", special, "--output-dir", out.Path()}}) {
      std::ostringstream printed, errors;
      EXPECT_EQ(RunCli(args, printed, errors), 1);
      EXPECT_EQ(errors.str(), "orlaspin-cli: " + special + ": Not a regular file.\n");
    }
  }
}

// The race the existence test cannot close: a FIFO or a device put in the image's place just
// before the open. The open neither waits for a writer nor reads a device.
TEST_F(PosixFaults, AFifoOrADeviceSwappedInBeforeTheOpenIsRefusedAtOnce) {
  const std::string fifo = place.File("fifo.trd");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  for (const std::string& special : {fifo, std::string("/dev/zero")}) {
    EXPECT_EQ(ErrorOf([&] { SystemFileSystem().OpenForReading(special); }), "File not found")
        << special;
  }
}

// Links and FIFOs in the output folder take their names: nothing is written through a link.
TEST_F(PosixFaults, LinksAndFifosInTheOutputFolderAreSteppedOverNotWrittenThrough) {
  const std::string victim = place.File("victim");
  const std::string owned = place.File("owned");
  const Bytes ownedBytes = {'m', 'i', 'n', 'e'};
  WriteFileBytes(owned, ownedBytes);
  std::filesystem::create_symlink(PathFromUtf8(victim), PathFromUtf8(out.File("DANGLE.bmp")));
  std::filesystem::create_symlink(PathFromUtf8(owned), PathFromUtf8(out.File("OWNED.bmp")));
  ASSERT_EQ(::mkfifo(out.File("FIFO.bmp").c_str(), 0644), 0);

  TrdBuilder builder;
  for (const char* name : {"DANGLE", "OWNED", "FIFO"}) builder.AddScreen(name, ColourfulScreen(3));
  const Bytes image = builder.Build();
  const ImageExport exported = ExportImageFile(image, imagePath, out.Path());
  EXPECT_TRUE(CompletedInto(exported, out.Path(), image));
  EXPECT_EQ(exported.run.view.written,
            (std::vector<std::string>{"DANGLE1.bmp", "OWNED1.bmp", "FIFO1.bmp"}));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(victim)));
  EXPECT_EQ(ReadFileBytes(owned), ownedBytes);
}

// Someone else's link, FIFO or dangling link where an image's folder would go is no folder of
// the export's: nothing is written through it, the next name is taken.
TEST_F(PosixFaults, ImageFoldersAreNeverReachedThroughALinkOrAFifo) {
  const std::string outside = place.File("outside");
  std::filesystem::create_directory(PathFromUtf8(outside));
  std::filesystem::create_directory_symlink("../outside", PathFromUtf8(out.File("g")));
  std::filesystem::create_symlink(PathFromUtf8(place.File("nowhere")), PathFromUtf8(out.File("h")));
  ASSERT_EQ(::mkfifo(out.File("f").c_str(), 0644), 0);
  std::vector<std::string> args = {"export", "-o", out.Path()};
  for (const char* name : {"f.trd", "g.trd", "h.trd"}) {
    args.push_back(place.File(name));
    TrdBuilder().AddScreen("G", ColourfulScreen(7)).AddDiskInfo("G").WriteTo(args.back());
  }
  const ProgramRun run = RunProgram(ORLASPIN_CLI, args);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "f-2/G.bmp\ng-2/G.bmp\nh-2/G.bmp\n3 screens exported from 3 images\n");
  EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(outside)));
  EXPECT_TRUE(std::filesystem::is_fifo(PathFromUtf8(out.File("f"))));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(place.File("nowhere"))));
  EXPECT_EQ(ReadFileBytes(out.File("g-2/G.bmp")), OracleBitmapFile(ColourfulScreen(7)));
}

TEST_F(PosixFaults, AnOutputFolderTheUserMayNotMakeIsAnErrorWithStatus1) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  WriteFileBytes(imagePath, FourScreens());
  const std::string folder = place.File("new");
  const std::string ending = InChild([&] {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) return std::string("setuid failed");
    const ProgramRun run =
        RunProgram(ORLASPIN_CLI, {"export", "-o", JoinPath(folder, "deeper"), imagePath});
    return std::to_string(run.status) + "|" + run.out + "|" + run.err;
  });
  EXPECT_EQ(ending,
            "1||orlaspin-cli: Cannot create folder \"" + folder + "\". Permission denied.\n");
}

// A path that is no UTF-8 stays valid JSON: its odd bytes are written as the listing writes them.
TEST_F(PosixFaults, AListingInJsonEscapesPathBytesThatAreNoUtf8) {
  const std::string path = place.File("disk\xff\xc3(.scr");
  WriteFileBytes(path, ScreenBytes{});
  const ProgramRun run = RunProgram(ORLASPIN_CLI, {"list", "--json", path});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "[\n  {\"image\": \"" + place.File("disk\\\\xff\\\\xc3(.scr") +
                         "\", \"kind\": \"scr\", \"warnings\": [], \"files\": [\n"
                         "    {\"name\": \"disk\\\\xff\\\\xc3(\", \"extension\": null, "
                         "\"start\": null, \"length\": 6912, \"offset\": 0, \"screen\": true, "
                         "\"type\": \"standard\"}\n"
                         "  ], \"palettes\": [\"orlaspin\", \"fuse\", \"srgb\", \"pulsar\", "
                         "\"alone\", \"orthodox\", \"skoolkit\"]}\n]\n");
}

// The independent reading of Windows-1251: the C library's converter.
std::string FromWindows1251(char byte) {
  const iconv_t converter = ::iconv_open("UTF-8", "CP1251");
  char in[1] = {byte};
  char out[8] = {};
  char* from = in;
  char* to = out;
  std::size_t left = 1, room = sizeof out;
  const bool converted =
      ::iconv(converter, &from, &left, &to, &room) != static_cast<std::size_t>(-1);
  ::iconv_close(converter);
  return converted ? std::string(out, to) : "_";
}

TEST(PosixNames, CatalogueBytesFrom0x80AreWindows1251CharactersInUtf8) {
  for (int byte = 0x80; byte < 0x100; ++byte) {
    const std::string bytes(1, static_cast<char>(byte));
    EXPECT_EQ(FileNameFromCatalogueBytes(bytes), FromWindows1251(bytes[0])) << "byte " << byte;
  }
}

TEST_F(PosixFaults, RussianNamesBecomeRussianFileNames) {
  TrdBuilder builder;
  builder.AddScreen("\xCF\xD0\xC8\xC2\xC5\xD2", ColourfulScreen(1));  // ПРИВЕТ
  builder.AddScreen("\xEC\xE8\xF0 \x98", ColourfulScreen(2));  // мир and a byte with no letter
  const Bytes image = builder.Build();
  const ImageExport exported = ExportImageFile(image, imagePath, out.Path());
  EXPECT_TRUE(CompletedInto(exported, out.Path(), image));
  EXPECT_EQ(exported.run.view.written, (std::vector<std::string>{"ПРИВЕТ.bmp", "мир _.bmp"}));
}

}  // namespace
}  // namespace orlaspin::testing
