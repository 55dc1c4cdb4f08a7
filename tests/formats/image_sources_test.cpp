#include "export/image_sources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "archive_builders.h"
#include "containers/image_reader.h"
#include "fake_file_system.h"
#include "io/disk_file.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"
#include "zip_builder.h"

namespace orlaspin::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

Bytes ScreenVector(std::uint32_t seed) {
  const ScreenBytes screen = ColourfulScreen(seed);
  return {screen.begin(), screen.end()};
}

Bytes Trd(std::uint32_t seed) {
  return TrdBuilder().AddScreen("PIC", ColourfulScreen(seed)).Build();
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string joined;
  for (const std::string& part : parts) joined += (joined.empty() ? "" : "|") + part;
  return joined;
}

// Every item as a line ("image PATH [FOLDERS]", "warning PATH", "failure PATH: MESSAGE"), the
// warnings' problems, and the images' bytes by path.
struct Walk {
  Lines lines;
  std::vector<Problem> problems;
  std::map<std::string, Bytes> bytes;
  int skipped = 0;
  Lines passed;  // skipped, with why
};

Walk WalkAll(ImageSources& sources) {
  Walk walk;
  while (std::optional<SourceItem> item = sources.Next()) {
    if (const auto* image = std::get_if<SourceImage>(&*item)) {
      walk.lines.push_back("image " + image->path + " [" + Joined(image->folders) + "]");
      walk.bytes[image->path] = image->bytes;
    } else if (const auto* warning = std::get_if<SourceWarning>(&*item)) {
      walk.lines.push_back("warning " + warning->path);
      walk.problems.push_back(warning->warning.problem);
    } else if (const auto* skipped = std::get_if<SourceSkipped>(&*item)) {
      walk.passed.push_back(skipped->path + ": " + skipped->why);
    } else {
      const auto& failure = std::get<SourceFailure>(*item);
      walk.lines.push_back("failure " + failure.path + ": " + failure.error.Message());
    }
  }
  walk.skipped = sources.SkippedCount();
  return walk;
}

Walk WalkAll(FileSystem& files, std::vector<std::string> named, bool walkFolders = true) {
  ImageSources sources(files, std::move(named), walkFolders);
  return WalkAll(sources);
}

// A gzip file of one member: its header, the raw deflate data, the CRC-32 and the length.
Bytes Gzip(const Bytes& data) {
  Bytes file = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0xFF};
  const Bytes deflated = RawDeflate(data);
  file.insert(file.end(), deflated.begin(), deflated.end());
  for (const std::uint32_t field : {Crc32Of(data), static_cast<std::uint32_t>(data.size())}) {
    for (int shift = 0; shift < 32; shift += 8)
      file.push_back(static_cast<std::uint8_t>(field >> shift));
  }
  return file;
}

// A gzip file stands for the file inside, named or met in a walk or an archive; standard input
// is an image named "stdin" whatever its content.
TEST(ImageSources, GzipFilesAndStandardInputAreReadAsTheFileInside) {
  FakeFileSystem files;
  files.folders = {"/g"};
  Bytes cut = Gzip(ScreenVector(1));
  cut.resize(cut.size() - 12);
  files.files["/g/a.scr.gz"] = Gzip(ScreenVector(1));
  files.files["/g/b.GZ"] = Gzip(ScreenVector(2));   // known by the content inside
  files.files["/g/c.dat"] = Gzip(ScreenVector(3));  // known by its signature
  files.files["/g/cut.scr.gz"] = cut;
  files.files["/g/bomb.scr.gz"] = Gzip(Bytes(kLargestImageRead + 1, 0));
  files.files["/g/notes.txt.gz"] = Gzip(Bytes(10, 'x'));
  const ZipEntry members[] = {{"in/d.trd.gz", Gzip(Trd(4))}};
  files.files["/g/e.zip"] = BuildZip(members);
  files.standardInput = ScreenVector(5);
  const Walk walk = WalkAll(files, {"/g", "/g/cut.scr.gz", "-"});
  EXPECT_EQ(walk.lines, (Lines{
                            "image /g/a.scr.gz [g|a]",
                            "image /g/b.GZ [g|b]",
                            "warning /g/bomb.scr.gz",
                            "image /g/c.dat [g|c]",
                            "warning /g/cut.scr.gz",
                            "image /g/e.zip/in/d.trd.gz [g|e|in|d]",
                            "failure /g/cut.scr.gz: the gzip data is cut short",
                            "image stdin [stdin]",
                        }));
  EXPECT_EQ(walk.problems,
            (std::vector<Problem>{Problem::GzipFileSkipped, Problem::GzipFileSkipped}));
  EXPECT_EQ(walk.bytes.at("/g/a.scr.gz"), ScreenVector(1));
  EXPECT_EQ(walk.bytes.at("/g/e.zip/in/d.trd.gz"), Trd(4));
  EXPECT_EQ(walk.bytes.at("stdin"), ScreenVector(5));
  EXPECT_EQ(walk.skipped, 1);  // notes.txt
}

TEST(ImageSources, NamedFilesAreImagesInTheOrderGivenWhateverTheirKind) {
  FakeFileSystem files;
  files.folders = {"/in"};
  files.files["/in/b.trd"] = Trd(1);
  files.files["/in/A.scr"] = ScreenVector(2);
  files.files["/in/notes.txt"] = {'h', 'i'};
  files.files["/in/.scr"] = ScreenVector(3);
  const Walk walk = WalkAll(
      files, {"/in/b.trd", "/missing.trd", "/in/notes.txt", "/in/A.scr", "/in", "/in/.scr"}, false);
  EXPECT_EQ(walk.lines, (Lines{
                            "image /in/b.trd [b]",
                            "failure /missing.trd: File not found",
                            "image /in/notes.txt [notes]",
                            "image /in/A.scr [A]",
                            "failure /in: Is a folder",
                            "image /in/.scr [.scr]",
                        }));
  EXPECT_EQ(walk.bytes.at("/in/b.trd"), files.files["/in/b.trd"]);
  EXPECT_EQ(walk.bytes.at("/in/A.scr"), files.files["/in/A.scr"]);
  EXPECT_EQ(walk.skipped, 0);
}

TEST(ImageSources, AWalkTakesEachFoldersEntriesInNameOrderAndSkipsWhatIsNoImage) {
  FakeFileSystem files;
  files.folders = {"/c", "/c/sub", "/c/sub/deeper", "/c/empty", "/c/Z"};
  files.files["/c/b.trd"] = Trd(1);
  files.files["/c/a.SCL"] = {'S', 'I', 'N', 'C', 'L', 'A', 'I', 'R', 0, 0, 0, 0, 0};
  files.files["/c/readme.txt"] = {'r', 'e', 'a', 'd'};
  files.files["/c/sub/x.$C"] = BuildHobeta(ScreenFile("X", ColourfulScreen(3)));
  files.files["/c/sub/deeper/pic"] = ScreenVector(4);  // known by its size alone
  files.files["/c/sub/data.bin"] = Bytes(100, 7);
  files.files["/c/Z/y.trd"] = Trd(5);
  files.others = {"/c/sub/device"};
  files.linksToFolders = {"/c/link"};
  const Walk walk = WalkAll(files, {"/c", "/c/b.trd"});
  EXPECT_EQ(walk.lines, (Lines{
                            "image /c/Z/y.trd [c|Z|y]",
                            "image /c/a.SCL [c|a]",
                            "image /c/b.trd [c|b]",
                            "image /c/sub/deeper/pic [c|sub|deeper|pic]",
                            "image /c/sub/x.$C [c|sub|x]",
                            "image /c/b.trd [b]",
                        }));
  EXPECT_EQ(walk.bytes.at("/c/sub/deeper/pic"), files.files["/c/sub/deeper/pic"]);
  EXPECT_EQ(walk.bytes.at("/c/sub/x.$C"), files.files["/c/sub/x.$C"]);
  EXPECT_EQ(walk.skipped, 3);  // readme.txt, data.bin and the device
  EXPECT_EQ(walk.passed[0], "/c/link: a link to a folder; not followed");
}

TEST(ImageSources, AFolderOrFileThatCannotBeReadFailsAndTheWalkGoesOn) {
  FakeFileSystem files;
  files.folders = {"/c", "/c/locked", "/c/open"};
  files.files["/c/open/A.scr"] = ScreenVector(1);
  files.files["/c/locked/B.scr"] = ScreenVector(2);
  files.unlistable["/c/locked"] = kAccessDenied;
  EXPECT_EQ(WalkAll(files, {"/c"}).lines, (Lines{
                                              "failure /c/locked: File access denied",
                                              "image /c/open/A.scr [c|open|A]",
                                          }));
  files.faults.readError = 5;
  EXPECT_EQ(WalkAll(files, {"/c/open/A.scr", "/c/open"}).lines,
            (Lines{"failure /c/open/A.scr: File access denied",
                   "failure /c/open/A.scr: File access denied"}));
}

TEST(ImageSources, ArchiveMembersAreImagesInFoldersUnderTheArchivesStem) {
  const ZipEntry entries[] = {
      {.name = "GAMES/", .deflate = false},
      {.name = "GAMES/A.trd", .data = Trd(1)},
      {.name = "PIC.scr", .data = ScreenVector(2), .deflate = false},
      {.name = "readme.txt", .data = {'h', 'i'}},
      {.name = "../../evil.scr", .data = ScreenVector(3)},
      {.name = "dir\\old.scr", .data = ScreenVector(4)},
      {.name = "bad.trd", .data = Trd(5), .crc = 1},
      {.name = "secret.scr", .data = ScreenVector(6), .encrypted = true},
  };
  FakeFileSystem files;
  files.folders = {"/c"};
  files.files["/c/games.zip"] = BuildZip(entries);
  const Walk walk = WalkAll(files, {"/c"});
  EXPECT_EQ(walk.lines, (Lines{
                            "image /c/games.zip/GAMES/A.trd [c|games|GAMES|A]",
                            "image /c/games.zip/PIC.scr [c|games|PIC]",
                            "image /c/games.zip/../../evil.scr [c|games|evil]",
                            "image /c/games.zip/dir\\old.scr [c|games|dir|old]",
                            "warning /c/games.zip/bad.trd",
                            "warning /c/games.zip/secret.scr",
                        }));
  EXPECT_EQ(walk.problems,
            (std::vector<Problem>{Problem::MemberWrongCrc, Problem::MemberEncrypted}));
  EXPECT_EQ(walk.bytes.at("/c/games.zip/GAMES/A.trd"), entries[1].data);
  EXPECT_EQ(walk.bytes.at("/c/games.zip/PIC.scr"), entries[2].data);
  EXPECT_EQ(walk.bytes.at("/c/games.zip/dir\\old.scr"), entries[5].data);
  EXPECT_EQ(walk.skipped, 1);
}

TEST(ImageSources, ArchivesInsideArchivesAreReadThreeDeep) {
  const ZipEntry fourth[] = {{.name = "deepest.scr", .data = ScreenVector(1)}};
  const ZipEntry third[] = {{.name = "deep.scr", .data = ScreenVector(2)},
                            {.name = "level4.zip", .data = BuildZip(fourth)}};
  const ZipEntry second[] = {{.name = "level3.zip", .data = BuildZip(third), .deflate = false}};
  // A member known as an archive by its signature alone.
  const ZipEntry packed[] = {{.name = "packed.scr", .data = ScreenVector(3)}};
  const ZipEntry first[] = {{.name = "mid.scr", .data = ScreenVector(4)},
                            {.name = "sub/level2.zip", .data = BuildZip(second)},
                            {.name = "PACKAGE", .data = BuildZip(packed)}};
  FakeFileSystem files;
  files.files["/in/outer.ZIP"] = BuildZip(first);
  const Walk walk = WalkAll(files, {"/in/outer.ZIP"});
  EXPECT_EQ(walk.lines, (Lines{
                            "image /in/outer.ZIP/mid.scr [outer|mid]",
                            "image /in/outer.ZIP/sub/level2.zip/level3.zip/deep.scr "
                            "[outer|sub|level2|level3|deep]",
                            "warning /in/outer.ZIP/sub/level2.zip/level3.zip/level4.zip",
                            "image /in/outer.ZIP/PACKAGE/packed.scr [outer|PACKAGE|packed]",
                        }));
  EXPECT_EQ(walk.problems, std::vector<Problem>{Problem::ArchiveTooDeep});
  EXPECT_EQ(walk.bytes.at("/in/outer.ZIP/sub/level2.zip/level3.zip/deep.scr"), third[0].data);
}

TEST(ImageSources, ADamagedArchiveGivesWhatItCanWithWarningsAndANonArchiveFails) {
  const ZipEntry entries[] = {{.name = "A.scr", .data = ScreenVector(1)},
                              {.name = "B.scr", .data = ScreenVector(2)}};
  const Bytes whole = BuildZip(entries);
  FakeFileSystem files;
  files.folders = {"/c"};
  files.files["/c/cut.zip"] = Bytes(whole.begin(), whole.end() - 40);
  // The size of a screen, but a ".zip" is read as an archive.
  files.files["/c/pic.zip"] = ScreenVector(3);
  files.files["/c/text.zip"] = {'n', 'o'};
  const Walk walk = WalkAll(files, {"/c"});
  ASSERT_EQ(walk.lines.size(), 5u);
  EXPECT_EQ(walk.lines[0], "warning /c/cut.zip");
  EXPECT_EQ(walk.problems, std::vector<Problem>{Problem::ZipNoEndRecord});
  EXPECT_EQ(walk.lines[1], "image /c/cut.zip/A.scr [c|cut|A]");
  EXPECT_EQ(walk.lines[2], "image /c/cut.zip/B.scr [c|cut|B]");
  EXPECT_TRUE(walk.lines[3].starts_with("failure /c/pic.zip: not a ZIP archive: "))
      << walk.lines[3];
  EXPECT_TRUE(walk.lines[4].starts_with("failure /c/text.zip: not a ZIP archive: "))
      << walk.lines[4];
  EXPECT_EQ(walk.bytes.at("/c/cut.zip/B.scr"), entries[1].data);
}

TEST(ImageSources, FilesAreReadOneAtATimeAsTheyAreAskedFor) {
  const ZipEntry entries[] = {{.name = "A.scr", .data = ScreenVector(1)},
                              {.name = "B.scr", .data = ScreenVector(2)}};
  FakeFileSystem files;
  files.folders = {"/c"};
  files.files["/c/1.scr"] = ScreenVector(3);
  files.files["/c/2.zip"] = BuildZip(entries);
  files.files["/c/3.scr"] = ScreenVector(4);
  ImageSources sources(files, {"/c"}, true);
  EXPECT_EQ(files.opens, 0);
  std::vector<int> opensAfterEach;
  while (sources.Next()) opensAfterEach.push_back(files.opens);
  EXPECT_EQ(opensAfterEach, (std::vector<int>{1, 2, 2, 3}));
}

class ImageSourcesOnDisk : public ::testing::Test {
 protected:
  std::string Put(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = folder.File(name);
    std::filesystem::create_directories(PathFromUtf8(path).parent_path());
    WriteFileBytes(path, bytes);
    return path;
  }

  TempFolder folder;
};

TEST_F(ImageSourcesOnDisk, AWalkOfRealFoldersFindsTheirImagesInNameOrder) {
  const ZipEntry entries[] = {{.name = "in/zip.scr", .data = ScreenVector(1)}};
  Put("Игры/b.trd", Trd(2));
  Put("Игры/a/x.scr", ScreenVector(3));
  Put("Игры/a/notes.txt", Bytes{'n'});
  Put("Игры/c.zip", BuildZip(entries));
  std::filesystem::create_directory(PathFromUtf8(folder.File("Игры/empty")));
  const std::string root = folder.File("Игры");
  const Walk walk = WalkAll(SystemFileSystem(), {root + "/"});
  EXPECT_EQ(walk.lines, (Lines{
                            "image " + root + "/a/x.scr [Игры|a|x]",
                            "image " + root + "/b.trd [Игры|b]",
                            "image " + root + "/c.zip/in/zip.scr [Игры|c|in|zip]",
                        }));
  EXPECT_EQ(walk.bytes.at(root + "/a/x.scr"), ScreenVector(3));
  EXPECT_EQ(walk.skipped, 1);
}

TEST_F(ImageSourcesOnDisk, ALinkBackToAFolderAboveIsNotFollowed) {
  Put("top/a.scr", ScreenVector(1));
  Put("top/sub/b.scr", ScreenVector(2));
  std::error_code error;
  std::filesystem::create_directory_symlink(PathFromUtf8(folder.File("top")),
                                            PathFromUtf8(folder.File("top/sub/up")), error);
  if (error) GTEST_SKIP() << "no links to folders here: " << error.message();
  const std::string root = folder.File("top");
  const Walk walk = WalkAll(SystemFileSystem(), {root});
  EXPECT_EQ(walk.lines, (Lines{"image " + root + "/a.scr [top|a]",
                               "image " + root + "/sub/b.scr [top|sub|b]"}));
  EXPECT_EQ(walk.skipped, 0);
  EXPECT_EQ(walk.passed, Lines{root + "/sub/up: a link to a folder; not followed"});
}

TEST(ImageSources, TheRealCalmCommanderArchiveHoldsNoImage) {
  FakeFileSystem files;
  files.folders = {"/c"};
  files.files["/c/CalmCommander_v1.3.zip"] =
      ReadFileBytes(TestdataPath("zip/perrada69_CalmCommander__build_CalmCommander_v1.3.zip"));
  const Walk walk = WalkAll(files, {"/c"});
  EXPECT_TRUE(walk.lines.empty());
  EXPECT_EQ(walk.skipped, 18);
}

}  // namespace
}  // namespace orlaspin::testing
