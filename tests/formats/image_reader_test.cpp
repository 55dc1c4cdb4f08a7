#include "containers/image_reader.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "fake_file_system.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

std::vector<std::uint8_t> ScreenBytesVector(const ScreenBytes& screen) {
  return {screen.begin(), screen.end()};
}

std::vector<std::uint8_t> SampleTrd() {
  return TrdBuilder()
      .AddScreen("ONE", ColourfulScreen(1))
      .AddScreen("TWO", ColourfulScreen(2))
      .Build();
}

std::vector<std::uint8_t> SampleScl() {
  const ArchivedFile files[] = {ScreenFile("ONE", ColourfulScreen(1))};
  return BuildScl(files);
}

std::vector<std::uint8_t> SampleHobeta() {
  return BuildHobeta(ScreenFile("ONE", ColourfulScreen(1)));
}

// The TR-DOS disk identifier in the system sector, as a formatted disk has it.
std::vector<std::uint8_t> WithDiskIdentifier(std::vector<std::uint8_t> trd) {
  trd[8 * 256 + 0xE7] = 0x10;
  return trd;
}

TEST(FilePaths, StemAndNameComeFromTheLastPartOfThePath) {
  EXPECT_EQ(FileNamePart("a/b/GAME.trd"), "GAME.trd");
  EXPECT_EQ(FileNamePart("C:\\disks\\GAME.trd"), "GAME.trd");
  EXPECT_EQ(FileNamePart("GAME.trd"), "GAME.trd");
  EXPECT_EQ(FileStem("a/b/GAME.trd"), "GAME");
  EXPECT_EQ(FileStem("dir.v2/pic.$C"), "pic");
  EXPECT_EQ(FileStem("x.tar.scr"), "x.tar");
  EXPECT_EQ(FileStem("noext"), "noext");
  EXPECT_EQ(FileStem("dir/.scr"), ".scr");
  EXPECT_EQ(FileStem("trailing."), "trailing");
}

TEST(ReadCollection, ATrdIsReadAsOneWhateverItsFirstBytesSay) {
  // A disk whose first file is named SINCLAIR is still a disk.
  const auto trd = TrdBuilder().AddScreen("SINCLAIR", ColourfulScreen(1)).Build();
  const Collection collection = ReadCollection("odd.trd", trd);
  EXPECT_EQ(collection.kind, ImageKind::TrdImage);
  ASSERT_EQ(collection.files.size(), 1u);
  EXPECT_EQ(collection.files[0].name, "SINCLAIR");
  // Even an empty file is an empty disk.
  EXPECT_TRUE(ReadCollection("empty.trd", {}).files.empty());
}

TEST(ReadCollection, WithoutAKnownExtensionTheContentDecides) {
  EXPECT_EQ(ReadCollection("a.bin", SampleScl()).kind, ImageKind::SclArchive);
  EXPECT_EQ(ReadCollection("a.bin", SampleHobeta()).kind, ImageKind::HobetaFile);
  EXPECT_EQ(ReadCollection("a.bin", ScreenBytesVector(ColourfulScreen(4))).kind,
            ImageKind::BareScreen);
  EXPECT_EQ(ReadCollection("noext", WithDiskIdentifier(SampleTrd())).kind, ImageKind::TrdImage);
  EXPECT_EQ(
      ReadCollection("disk.img",
                     ReadFileBytes(TestdataPath("trd/reefactor_instapack__ZX_DEMOS_REFRESH.TRD")))
          .kind,
      ImageKind::TrdImage);
}

TEST(ReadCollection, ABareScreenIsNamedAfterItsFile) {
  const Collection collection =
      ReadCollection("shots/Title Screen.scr", ScreenBytesVector(ColourfulScreen(5)));
  ASSERT_EQ(collection.files.size(), 1u);
  const CollectionFile& file = collection.files[0];
  EXPECT_EQ(file.name, "Title Screen");
  EXPECT_TRUE(file.nameIsFileName);
  EXPECT_FALSE(file.extension.has_value());
  EXPECT_FALSE(file.start.has_value());
  EXPECT_EQ(file.length, 6912u);
  EXPECT_EQ(file.offset, 0u);
  EXPECT_TRUE(file.isScreen);
}

TEST(ReadCollection, AFileOfNoKindSaysWhatItIsNot) {
  const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
  try {
    ReadCollection("notes.txt", text);
    ADD_FAILURE() << "no error";
  } catch (const ImageFormatError& error) {
    EXPECT_EQ(error.Message(),
              "not a TR-DOS image, SCL archive, Hobeta file, 6912-byte screen, packed screen, "
              "FDI, UDI, TD0 or DSK disk image, TAP, TZX or PZX tape, SNA, Z80 or SZX "
              "snapshot, or NEX program");
  }
  // A disk without its identifier is not known by its contents.
  EXPECT_THROW(ReadCollection("disk.img", SampleTrd()), ImageFormatError);
}

TEST(ReadCollection, ABareScreenOfEveryFormatIsOneScreenTypedWithItsFormat) {
  struct Case {
    const char* name;
    std::size_t size;
    const char* type;
  };
  for (const Case& c : std::initializer_list<Case>{{"a.scr", 6912, "standard"},
                                                   {"a.SCR", 6913, "standard"},
                                                   {"a.scr", 6144, "pixels only"},
                                                   {"a.scr", 6976, "ULA+"},
                                                   {"a.scr", 12288, "Timex hi-colour"},
                                                   {"a.scr", 12352, "Timex hi-colour ULA+"},
                                                   {"a.scr", 12289, "Timex hi-res"},
                                                   {"a.Img", 13824, "gigascreen"},
                                                   {"a.mlt", 12288, "multicolour 8x1"},
                                                   {"a.mc", 12288, "multicolour 8x1 linear"},
                                                   {"a.ifl", 9216, "multicolour 8x2"},
                                                   {"a.mc4", 7680, "multicolour 8x4"},
                                                   {"a.atr", 768, "attributes only"},
                                                   {"a.bsc", 11136, "border screen"},
                                                   {"a.BMC4", 11904, "border multicolour 8x4"}}) {
    const Collection collection = ReadCollection(c.name, std::vector<std::uint8_t>(c.size, 0x5A));
    EXPECT_EQ(collection.kind, ImageKind::BareScreen) << c.name;
    ASSERT_EQ(collection.files.size(), 1u) << c.name;
    const CollectionFile& file = collection.files[0];
    EXPECT_EQ(file.name, "a");
    EXPECT_TRUE(file.isScreen) << c.name;
    EXPECT_EQ(file.type, c.type) << c.name;
    EXPECT_EQ(ListingCells(file)[1], c.type) << c.name;
    EXPECT_EQ(file.length, c.size) << c.name;
    EXPECT_EQ(file.offset, 0u) << c.name;
    EXPECT_EQ(ScreenFileSize(file), c.name == std::string("a.SCR") ? 6912 : c.size) << c.name;
  }
}

TEST(ReadCollection, AScreenExtensionThatOtherKindsShareNeedsTheFormatsSize) {
  // A TR-DOS disk as .img, and a file of another size.
  EXPECT_EQ(ReadCollection("disk.img", WithDiskIdentifier(SampleTrd())).kind, ImageKind::TrdImage);
  EXPECT_EQ(ReadCollection("pic.atr", ScreenBytesVector(ColourfulScreen(2))).files[0].type,
            "standard");
  EXPECT_THROW(ReadCollection("a.mc4", std::vector<std::uint8_t>(7681, 0)), ImageFormatError);
}

TEST(ReadCollection, AKnownExtensionOnTheWrongContentsIsAnError) {
  try {
    ReadCollection("short.scr", std::vector<std::uint8_t>(6911, 0));
    ADD_FAILURE() << "no error";
  } catch (const ImageFormatError& error) {
    EXPECT_EQ(error.Message(),
              "not a screen: it holds 6911 bytes, a .scr screen 6912, 6913, 6144, 6976, 12288, "
              "12352 or 12289");
  }
  EXPECT_THROW(ReadCollection("long.scr", std::vector<std::uint8_t>(6914, 0)), ImageFormatError);
  EXPECT_THROW(ReadCollection("a.scl", SampleHobeta()), ImageFormatError);
  EXPECT_THROW(ReadCollection("a.$C", std::vector<std::uint8_t>(10, 0)), ImageFormatError);
}

TEST(LoadImage, ReadsTheWholeFileThroughTheFileLayer) {
  FakeFileSystem files;
  files.files["a.scl"] = SampleScl();
  files.faults.readChunk = 100;  // many short reads
  const LoadedImage image = LoadImage(files, "a.scl");
  EXPECT_EQ(image.bytes, files.files["a.scl"]);
  EXPECT_EQ(image.collection.kind, ImageKind::SclArchive);
  EXPECT_EQ(files.opens, 1);
}

TEST(LoadImage, AMissingFileIsFileNotFoundAndAFolderIsAFolder) {
  FakeFileSystem files;
  files.folders.insert("dir.trd");
  for (const auto& [path, message] :
       {std::pair{"missing.trd", "File not found"}, std::pair{"dir.trd", "Is a folder"}}) {
    try {
      LoadImage(files, path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const Error& error) {
      EXPECT_EQ(error.Message(), message);
    }
  }
  EXPECT_EQ(files.opens, 0);
}

TEST(LoadImage, AFailedReadOrCloseRaisesItsIoError) {
  FakeFileSystem files;
  files.files["a.trd"] = SampleTrd();
  files.faults.readError = 5;
  EXPECT_THROW(
      {
        try {
          LoadImage(files, "a.trd");
        } catch (const Error& error) {
          EXPECT_EQ(error.Message(), "File access denied");
          throw;
        }
      },
      Error);
  files.faults.readError = 0;
  files.faults.closeError = 33;
  try {
    LoadImage(files, "a.trd");
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.Message(), "I/O error 33");
  }
}

TEST(LoadImage, ReadingStopsWhereNoImageReaches) {
  FakeFileSystem files;
  std::vector<std::uint8_t> huge = SampleTrd();
  huge.resize(kLargestImageRead + 5000, 0x55);
  files.files["huge.trd"] = huge;
  const LoadedImage image = LoadImage(files, "huge.trd");
  EXPECT_EQ(image.bytes.size(), kLargestImageRead);
  EXPECT_EQ(image.collection.files.size(), 2u);
}

TEST(IsKnownImage, AnImageIsKnownByItsWholeExtensionOrByItsContent) {
  const std::vector<std::uint8_t> none;
  for (const char* name : {"a.txt", "a.zip", "a.trd.bak", "trd", "a.$", "a.$AB"}) {
    EXPECT_FALSE(IsKnownImage(name, none)) << name;
  }
  EXPECT_TRUE(IsKnownImage("loading", ScreenBytesVector(ColourfulScreen(1))));
  EXPECT_TRUE(IsKnownImage("pack.bin", SampleScl()));
  EXPECT_TRUE(IsKnownImage("file.000", SampleHobeta()));
  EXPECT_TRUE(IsKnownImage("disk.img", WithDiskIdentifier(SampleTrd())));
  EXPECT_FALSE(IsKnownImage("disk.img", SampleTrd()));
  EXPECT_FALSE(IsKnownImage("notes.txt", std::vector<std::uint8_t>(6911, 'x')));
  // Screen files of the formats' sizes; a chr$ picture's header must give its size.
  EXPECT_TRUE(IsKnownImage("a.IMG", std::vector<std::uint8_t>(13824, 'x')));
  EXPECT_TRUE(IsKnownImage("a.bmc4", std::vector<std::uint8_t>(11904, 'x')));
  EXPECT_FALSE(IsKnownImage("a.chr$", none));
  EXPECT_FALSE(IsKnownImage("a.img", std::vector<std::uint8_t>(13825, 'x')));
  EXPECT_FALSE(IsKnownImage("a.ifl", none));
}

}  // namespace
}  // namespace orlaspin::testing
