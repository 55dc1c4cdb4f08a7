// orlaspin-cli as a user meets it: the real executable in a process of its own, its exit status
// and messages when things go wrong, in the native and the Windows build.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "io/disk_file.h"
#include "oracle.h"
#include "program_run.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

using Names = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// prefix and number: appended, which keeps GCC's -Wrestrict quiet about string concatenation.
std::string Numbered(const char* prefix, int number) {
  std::string name = prefix;
  name += std::to_string(number);
  return name;
}

const std::string kTryHelp = "Try 'orlaspin-cli --help'.\n";

class CliProcess : public ::testing::Test {
 protected:
  ProgramRun Cli(const Names& args) { return RunProgram(ORLASPIN_CLI, args); }

  // A disk of TR-DOS's making, its information sector written, in the test's folder.
  std::string Disk(const std::string& name, TrdBuilder builder) {
    const std::string path = place.File(name);
    builder.AddDiskInfo("TEST").WriteTo(path);
    return path;
  }

  std::string Folder(const std::string& name) {
    const std::string path = place.File(name);
    std::filesystem::create_directories(PathFromUtf8(path));
    return path;
  }

  // The folder's files with what they hold, and its folders as nothing.
  static std::map<std::string, std::optional<Bytes>> Contents(const std::string& folder) {
    std::map<std::string, std::optional<Bytes>> contents;
    for (const auto& item : std::filesystem::directory_iterator(PathFromUtf8(folder))) {
      const std::string path = Utf8FromPath(item.path());
      contents[Utf8FromPath(item.path().filename())] =
          item.is_regular_file() ? std::optional(ReadFileBytes(path)) : std::nullopt;
    }
    return contents;
  }

  TempFolder place;
};

TEST_F(CliProcess, AMissingOutputFolderIsMadeWithItsParentsForOneImageAndForMany) {
  const std::string one = Disk("one.trd", TrdBuilder().AddScreen("PIC", ColourfulScreen(1)));
  const std::string two = Disk("two.trd", TrdBuilder().AddScreen("PIC", ColourfulScreen(2)));

  const std::string single = place.File("single/deeper");
  const ProgramRun first = Cli({"export", "--output-dir", single, one});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "PIC.bmp\n1 screen exported\n");
  EXPECT_EQ(ReadFileBytes(JoinPath(single, "PIC.bmp")), OracleBitmapFile(ColourfulScreen(1)));

  const std::string several = place.File("several/deeper");
  const ProgramRun second = Cli({"export", "--output-dir", several, one, two});
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, "one/PIC.bmp\ntwo/PIC.bmp\n2 screens exported from 2 images\n");
  EXPECT_EQ(ReadFileBytes(JoinPath(several, "two/PIC.bmp")), OracleBitmapFile(ColourfulScreen(2)));
}

// A file where the output folder or one above it should be: an error on standard error with
// status 1, never an abort, for one image and for many.
TEST_F(CliProcess, AnOutputFolderThatCannotBeMadeIsAnErrorNotAnAbort) {
  const std::string disk = Disk("disk.trd", TrdBuilder().AddScreen("PIC", ColourfulScreen(1)));
  const std::string file = place.File("file");
  WriteFileBytes(file, Bytes{'m', 'i', 'n', 'e'});
  const std::string expected = "orlaspin-cli: Cannot create folder \"" +
                               SystemFileSystem().FullPath(file) +
                               "\". Something that is not a folder has that name.\n";
  for (const std::string& output : {file, JoinPath(file, "deeper")}) {
    for (const Names& images : {Names{disk}, Names{disk, disk}}) {
      Names args = {"export", "-o", output};
      args.insert(args.end(), images.begin(), images.end());
      const ProgramRun run = Cli(args);
      EXPECT_EQ(run.status, 1) << output;
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(run.err, expected);
    }
  }
  EXPECT_EQ(ReadFileBytes(file), (Bytes{'m', 'i', 'n', 'e'}));
}

TEST_F(CliProcess, AnImageThatCannotBeReadIsNamedInItsError) {
  const std::string missing = place.File("GAME.trd");
  const std::string folder = Folder("games.trd");
  const std::string out = Folder("out");
  for (const char* command : {"list", "export"}) {
    for (const auto& [image, message] :
         {std::pair{missing, "File not found."}, std::pair{folder, "Is a folder."}}) {
      Names args = {command, image};
      if (args[0] == "export") args.insert(args.end(), {"-o", out});
      const ProgramRun run = Cli(args);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(run.err, "orlaspin-cli: " + image + ": " + message + "\n");
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(out)));
}

TEST_F(CliProcess, AnArgumentLikeNoOptionOrAnUnknownCommandIsAUsageErrorThatDoesNothing) {
  const std::string disk = Disk("disk.trd", TrdBuilder().AddScreen("PIC", ColourfulScreen(1)));
  const std::string out = place.File("out");
  const std::pair<Names, std::string> cases[] = {
      {{"export", "-x", disk, "-o", out}, "export has no option -x"},
      {{"list", "-o", out, disk}, "list has no option -o"},
      {{"convert", disk}, "no command \"convert\": the commands are list, export and sheet"},
  };
  for (const auto& [args, message] : cases) {
    const ProgramRun run = Cli(args);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "orlaspin-cli: " + message + "\n" + kTryHelp);
  }
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(out)));
}

TEST_F(CliProcess, ShortOptionsAreTheLongOnes) {
  const std::string disk = Disk("disk.trd", TrdBuilder().AddScreen("PIC", ColourfulScreen(3)));
  const std::string shortOut = place.File("short"), longOut = place.File("long");
  const ProgramRun shortRun = Cli({"export", "-o", shortOut, "-f", "png", "-s", "2", disk});
  const ProgramRun longRun =
      Cli({"export", "--output-dir", longOut, "--format", "png", "--scale", "2", disk});
  EXPECT_EQ(shortRun.status, 0) << shortRun.err;
  EXPECT_EQ(shortRun.out, "PIC.png\n1 screen exported\n");
  EXPECT_EQ(shortRun.out, longRun.out);
  EXPECT_EQ(Contents(shortOut), Contents(longOut));
  EXPECT_GT(ReadFileBytes(JoinPath(shortOut, "PIC.png")).size(), 8u);
}

TEST_F(CliProcess, CountsOfOneAreSingular) {
  const std::string disk = Disk("disk.trd", TrdBuilder().AddScreen("PIC", ColourfulScreen(1)));
  const std::string none = Disk("none.trd", TrdBuilder().AddEntry({.name = "CODE", .length = 9}));
  EXPECT_EQ(Cli({"export", "-o", Folder("a"), disk}).out, "PIC.bmp\n1 screen exported\n");
  EXPECT_EQ(Cli({"export", "-o", Folder("b"), none}).out, "0 screens exported\n");
  EXPECT_EQ(Cli({"export", "-o", Folder("c"), disk, place.File("gone.trd")}).out,
            "disk/PIC.bmp\n1 screen exported from 1 image, 1 failed\n");
}

// Where the user would not notice otherwise: a disk without the TR-DOS mark, screens reaching
// past the end of the image. The files are those of the bytes there and zeros, as without a
// warning.
TEST_F(CliProcess, APartialScreenAndAMissingMarkAreWarningsThatChangeNoOutput) {
  const std::size_t size = 4096 + kScreenBytes + 1000;
  TrdBuilder builder(size);
  builder.AddScreen("WHOLE", ColourfulScreen(1)).AddScreen("INTEL1", ColourfulScreen(2));
  builder.AddEntry({.name = "GONE", .firstTrack = 200});
  const std::string disk = place.File("cut.trd");
  builder.WriteTo(disk);  // no information sector: no mark

  const std::string out = Folder("out");
  const ProgramRun run = Cli({"export", "-o", out, disk});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "WHOLE.bmp\nINTEL1.bmp\nGONE.bmp\n3 screens exported\n");
  const std::string warning = "orlaspin-cli: warning: " + disk + ": ";
  EXPECT_EQ(run.err,
            warning +
                "the disk information sector lacks the TR-DOS mark; the image is read as a "
                "TR-DOS disk all the same\n" +
                warning + "the screen \"INTEL1\" lies partly past the end of the image: " +
                std::to_string(kScreenBytes - 1000) +
                " of its 6912 bytes are missing and come out black\n" + warning +
                "the screen \"GONE\" lies wholly past the end of the image: it comes out "
                "black\n");
  ScreenBytes partial{};
  const ScreenBytes second = ColourfulScreen(2);
  std::copy_n(second.begin(), 1000, partial.begin());
  EXPECT_EQ(ReadFileBytes(JoinPath(out, "WHOLE.bmp")), OracleBitmapFile(ColourfulScreen(1)));
  EXPECT_EQ(ReadFileBytes(JoinPath(out, "INTEL1.bmp")), OracleBitmapFile(partial));
  EXPECT_EQ(ReadFileBytes(JoinPath(out, "GONE.bmp")), OracleBitmapFile(ScreenBytes{}));

  const ProgramRun listed = Cli({"list", disk});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.err, run.err);
}

TEST_F(CliProcess, SkipIdenticalWritesOnlyScreensNotAlreadyThere) {
  const std::string disk = Disk("disk.trd", TrdBuilder()
                                                .AddScreen("PIC", ColourfulScreen(1))
                                                .AddScreen("PIC", ColourfulScreen(2))
                                                .AddScreen("OTHER", ColourfulScreen(3)));
  const std::string out = Folder("out");
  EXPECT_EQ(Cli({"export", "-o", out, disk}).out,
            "PIC.bmp\nPIC1.bmp\nOTHER.bmp\n3 screens exported\n");
  const auto exported = Contents(out);

  const ProgramRun again = Cli({"export", "--skip-identical", "-o", out, disk});
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "0 screens exported, 3 skipped as identical\n");
  EXPECT_EQ(Contents(out), exported);

  // A file of the user's own under a screen's name is no copy of it, and stays as it is.
  const Bytes mine = {'m', 'i', 'n', 'e'};
  WriteFileBytes(JoinPath(out, "OTHER.bmp"), mine);
  const ProgramRun changed = Cli({"export", "--skip-identical", "-o", out, disk});
  EXPECT_EQ(changed.out, "OTHER1.bmp\n1 screen exported, 2 skipped as identical\n");
  EXPECT_EQ(ReadFileBytes(JoinPath(out, "OTHER.bmp")), mine);
  EXPECT_EQ(ReadFileBytes(JoinPath(out, "OTHER1.bmp")), OracleBitmapFile(ColourfulScreen(3)));

  // Without the option every screen gets a copy of its own, as before.
  EXPECT_EQ(Cli({"export", "-o", out, disk}).out,
            "PIC11.bmp\nPIC111.bmp\nOTHER11.bmp\n3 screens exported\n");
}

// Many bare screens of one name are told apart by their extension, then numbered, so their names
// never grow too long; each is one picture, with no folder of its own.
TEST_F(CliProcess, ThreeHundredScreensOfOneNameGetPicturesOfTheirOwn) {
  const ScreenBytes screen = ColourfulScreen(4);
  constexpr int kImages = 300;
  Names args = {"export", "-f", "png", "-o", place.File("out")};
  for (int i = 1; i <= kImages; ++i) {
    const std::string path = JoinPath(Folder(Numbered("d", i)), "x.scr");
    WriteFileBytes(path, screen);
    args.push_back(path);
  }
  const ProgramRun run = Cli(args);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.ends_with("\n300 screens exported from 300 images\n")) << run.out;
  const auto pictures = Contents(place.File("out"));
  EXPECT_EQ(pictures.size(), static_cast<std::size_t>(kImages));
  EXPECT_TRUE(pictures.contains("x.png"));
  EXPECT_TRUE(pictures.contains("x-scr.png"));
  for (int i = 2; i < kImages; ++i) {
    EXPECT_TRUE(pictures.contains(Numbered("x-scr-", i) + ".png")) << i;
  }
  EXPECT_EQ(pictures.at("x-scr-299.png"), pictures.at("x.png"));
}

}  // namespace
}  // namespace orlaspin::testing
