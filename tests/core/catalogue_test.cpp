#include "image_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "containers/collection.h"
#include "io/errors.h"
#include "fake_file_system.h"
#include "listed_image.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin {
namespace {

using testing::EntrySpec;
using testing::FakeFileSystem;
using testing::ListedImage;
using testing::TrdBuilder;

std::string Numbered(std::string name, int number) {
  name += std::to_string(number);
  return name;
}

bool SameTable(const app::CatalogueTable& a, const app::CatalogueTable& b) {
  return std::equal(a.begin(), a.end(), b.begin(),
                    [](const app::CatalogueSlot& x, const app::CatalogueSlot& y) {
                      return x.Bytes == y.Bytes && x.IsScreen == y.IsScreen;
                    });
}

// Lists a catalogue built in memory into a fresh table.
struct Listed {
  app::CatalogueTable table{};
  int entryCount = 0;
  explicit Listed(const TrdBuilder& builder) {
    FakeFileSystem files;
    files.files["a.trd"] = builder.Build();
    app::ImageDocument document;
    document.ReadCatalogue(files, "a.trd");
    table = document.Catalogue;
    entryCount = document.EntryCount;
  }
};

std::array<std::string, 5> CellsOf(const Listed& listed, int row) {
  const CatalogueEntry& entry = listed.table[row];
  return ListingCells(FileFromCatalogueEntry(entry, entry.FileOffset()));
}

TEST(CatalogueNames, EndAtTheFirstZeroByteAndKeepTrailingSpaces) {
  Listed listed(TrdBuilder()
                    .AddEntry({.name = std::string("AB\0\0\0\0\0\0", 8)})
                    .AddEntry({.name = "PIC"})
                    .AddEntry({.name = "ABCDEFGH"})
                    .AddEntry({.name = std::string("AB\0CD", 5)}));
  ASSERT_EQ(listed.entryCount, 4);
  EXPECT_EQ(listed.table[0].NameText(), "AB");
  EXPECT_EQ(listed.table[1].NameText(), "PIC     ");
  EXPECT_EQ(listed.table[2].NameText(), "ABCDEFGH");
  EXPECT_EQ(listed.table[3].NameText(), "AB");
}

TEST(CatalogueCells, ShowNameExtensionStartLengthAndOffsetInDecimal) {
  Listed listed(
      TrdBuilder()
          .AddEntry(
              {.name = "ONE", .extension = 'C', .start = 16384, .firstSector = 0, .firstTrack = 1})
          .AddEntry({.name = "TWO",
                     .extension = 0,
                     .start = 65535,
                     .length = 0,
                     .firstSector = 5,
                     .firstTrack = 2})
          .AddEntry({.name = "LAST", .length = 65535, .firstSector = 255, .firstTrack = 255})
          .AddEntry({.name = "ZERO", .start = 0, .length = 0, .firstSector = 0, .firstTrack = 0}));
  ASSERT_EQ(listed.entryCount, 4);
  using Cells = std::array<std::string, 5>;
  EXPECT_EQ(CellsOf(listed, 0), (Cells{"ONE     ", "C", "16384", "6912", "4096"}));
  EXPECT_EQ(CellsOf(listed, 1), (Cells{"TWO     ", std::string(1, '\0'), "65535", "0", "9472"}));
  EXPECT_EQ(CellsOf(listed, 2), (Cells{"LAST    ", "C", "0", "65535", "1109760"}));
  EXPECT_EQ(CellsOf(listed, 3), (Cells{"ZERO    ", "C", "0", "0", "0"}));
}

TEST(CatalogueScreenMark, FollowsTheLengthAloneAndIsSetOnTheTerminator) {
  Listed listed(
      TrdBuilder()
          .AddEntry({.name = "A", .extension = 'B', .start = 1, .length = 6912, .sectorCount = 0})
          .AddEntry({.name = "B", .length = 6911})
          .AddEntry({.name = "C", .length = 6913})
          .AddEntry({.name = "\x01"
                             "DELETED"})  // TR-DOS's mark of a deleted file
          .AddEntry({.name = std::string(1, '\0'), .length = 6912})
          .AddEntry({.name = "HIDDEN"}));
  ASSERT_EQ(listed.entryCount, 4);
  const std::uint8_t expected[] = {1, 0, 0, 1, 1};
  for (int slot = 0; slot < 5; ++slot)
    EXPECT_EQ(listed.table[slot].IsScreen, expected[slot]) << slot;
  EXPECT_EQ(listed.table[3].NameText(),
            "\x01"
            "DELETED");
}

TEST(CatalogueCount, RunsFromNoEntriesToAll128) {
  EXPECT_EQ(Listed(TrdBuilder()).entryCount, 0);
  TrdBuilder full;
  for (int i = 0; i < kCatalogueSlots; ++i) full.AddEntry({.name = Numbered("F", i), .length = 1});
  EXPECT_EQ(Listed(full).entryCount, 128);
}

// A load through the real file layer, into state that a previous image already filled.
class ReadCatalogueTest : public ::testing::Test {
 protected:
  std::string Image(const std::string& name, const TrdBuilder& builder) {
    const std::string path = folder.File(name);
    builder.WriteTo(path);
    return path;
  }
  void Load(const std::string& path) { testing::OpenImage(state, SystemFileSystem(), path); }

  testing::TempFolder folder;
  ListedImage state;
};

TEST_F(ReadCatalogueTest, ListsEveryEntry) {
  Load(Image("a.trd", TrdBuilder()
                          .AddEntry({.name = "SCREEN", .firstTrack = 3})
                          .AddEntry({.name = "DATA", .extension = 'B', .length = 100})));
  EXPECT_EQ(state.EntryCount, 2);
  EXPECT_EQ(testing::ListedCell(state, 0, 0), "SCREEN  ");
  EXPECT_EQ(testing::ListedCell(state, 4, 0), "12288");
  EXPECT_EQ(testing::ListedCell(state, 1, 1), "B");
  EXPECT_EQ(testing::ListedCell(state, 3, 1), "100");
}

TEST_F(ReadCatalogueTest, ASecondImageReplacesTheFirst) {
  Load(Image("three.trd",
             TrdBuilder().AddEntry({.name = "A"}).AddEntry({.name = "B"}).AddEntry({.name = "C"})));
  Load(Image("one.trd", TrdBuilder().AddEntry({.name = "X", .length = 5})));
  EXPECT_EQ(state.EntryCount, 1);
  EXPECT_EQ(testing::ListedCell(state, 0, 0), "X       ");
  EXPECT_EQ(state.Catalogue[0].IsScreen, 0);
  EXPECT_EQ(state.Catalogue[1].IsScreen, 0);  // the terminator now, a screen before

  Load(Image("empty.trd", TrdBuilder()));
  EXPECT_EQ(state.EntryCount, 0);
}

TEST_F(ReadCatalogueTest, AShortImageReadsAsZerosWhereItEnds) {
  TrdBuilder full;
  for (int i = 0; i < kCatalogueSlots; ++i) full.AddEntry({.name = Numbered("OLD", i)});
  Load(Image("full.trd", full));
  ASSERT_EQ(state.EntryCount, 128);

  // 40 bytes: two whole entries and the name of a third.
  Load(Image("short.trd", TrdBuilder(40)
                              .AddEntry({.name = "NEW0"})
                              .AddEntry({.name = "NEW1"})
                              .AddEntry({.name = "NEW2"})));
  EXPECT_EQ(state.EntryCount, 3);
  EXPECT_EQ(testing::ListedCell(state, 0, 2), "NEW2    ");
  EXPECT_EQ(testing::ListedCell(state, 1, 2), std::string(1, '\0'));
  EXPECT_EQ(testing::ListedCell(state, 4, 2), "0");
  for (int slot = 3; slot < kCatalogueSlots; ++slot) {
    const auto& bytes = state.Catalogue[slot].Bytes;
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }))
        << slot;
  }
}

TEST_F(ReadCatalogueTest, APathNamingNoFileChangesNothing) {
  Load(Image("a.trd", TrdBuilder().AddEntry({.name = "KEEP"})));
  const app::CatalogueTable before = state.Catalogue;
  std::filesystem::create_directory(testing::PathFromUtf8(folder.File("folder.trd")));

  Load(folder.File("missing.trd"));
  Load(folder.File("folder.trd"));
  Load("");
  EXPECT_EQ(state.EntryCount, 1);
  EXPECT_TRUE(SameTable(state.Catalogue, before));
}

TEST_F(ReadCatalogueTest, AReadOnlyImageIsListed) {
  const std::string path = Image("locked.trd", TrdBuilder().AddEntry({.name = "RO"}));
  namespace fs = std::filesystem;
  fs::permissions(testing::PathFromUtf8(path), fs::perms::owner_read | fs::perms::group_read);
  Load(path);
  fs::permissions(testing::PathFromUtf8(path), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(state.EntryCount, 1);
  EXPECT_EQ(testing::ListedCell(state, 0, 0), "RO      ");
}

// Every failing step of a load leaves the previous image in the table and the count.
class FailedLoadTest : public ::testing::TestWithParam<testing::FileFaults> {};

TEST_P(FailedLoadTest, ChangesNothing) {
  FakeFileSystem files;
  files.files["old.trd"] =
      TrdBuilder().AddEntry({.name = "OLD"}).AddEntry({.name = "OLD2", .length = 1}).Build();
  files.files["new.trd"] = TrdBuilder().AddEntry({.name = "NEW", .length = 1}).Build();
  ListedImage state;
  testing::OpenImage(state, files, "old.trd");
  const app::CatalogueTable before = state.Catalogue;

  files.faults = GetParam();
  try {
    testing::OpenImage(state, files, "new.trd");
    FAIL() << "the load did not fail";
  } catch (const Error& error) {
    EXPECT_EQ(error.Code(), 5);
    EXPECT_EQ(error.Message(), "File access denied");
  }
  EXPECT_TRUE(SameTable(state.Catalogue, before));
  EXPECT_EQ(state.EntryCount, 2);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, FailedLoadTest,
    ::testing::Values(testing::FileFaults{.openError = 5}, testing::FileFaults{.closeError = 5},
                      testing::FileFaults{.readError = 5},
                      testing::FileFaults{.readError = 5, .readsBeforeError = 3, .readChunk = 16}));

TEST(ReadCatalogueReads, TakeWhatEachReadDelivers) {
  FakeFileSystem files;
  TrdBuilder builder;
  for (int i = 0; i < 100; ++i)
    builder.AddEntry({.name = Numbered("E", i), .length = static_cast<std::uint16_t>(i)});
  files.files["x.trd"] = builder.Build();
  files.faults.readChunk = 7;
  ListedImage state;
  testing::OpenImage(state, files, "x.trd");
  EXPECT_EQ(state.EntryCount, 100);
  EXPECT_EQ(testing::ListedCell(state, 0, 99), "E99     ");
  EXPECT_EQ(testing::ListedCell(state, 3, 99), "99");
}

// The real disks, against a count made here straight from their bytes.
struct RealDisk {
  const char* file;
  int entries;
  int screens;
};

class RealDiskTest : public ::testing::TestWithParam<RealDisk> {};

TEST_P(RealDiskTest, ListsTheDocumentedEntriesAndScreens) {
  const std::string path = std::string(ORLASPIN_TESTDATA) + "/trd/" + GetParam().file;
  const std::vector<std::uint8_t> image = testing::ReadFileBytes(path);
  int entries = 0;
  int screens = 0;
  while (entries < 128 && image[entries * 16] != 0) {
    screens += (image[entries * 16 + 11] | (image[entries * 16 + 12] << 8)) == 6912;
    ++entries;
  }
  ASSERT_EQ(entries, GetParam().entries);
  ASSERT_EQ(screens, GetParam().screens);

  ListedImage state;
  testing::OpenImage(state, SystemFileSystem(), path);
  EXPECT_EQ(state.EntryCount, entries);
  int marked = 0;
  for (int slot = 0; slot < entries; ++slot) marked += state.Catalogue[slot].IsScreen;
  EXPECT_EQ(marked, screens);
}

INSTANTIATE_TEST_SUITE_P(
    SharedTestData, RealDiskTest,
    ::testing::Values(RealDisk{"reefactor_instapack__ZX_DEMOS_CC999GFX.TRD", 25, 24},
                      RealDisk{"reefactor_instapack__ZX_DEMOS_REFRESH.TRD", 43, 4}));

TEST(RealDiskCatalogue, ListsADeletedEntryAndStopsAtTheTerminator) {
  const std::string path =
      std::string(ORLASPIN_TESTDATA) + "/trd/reefactor_instapack__ZX_MYDISKS_16.TRD";
  const std::vector<std::uint8_t> image = testing::ReadFileBytes(path);
  ListedImage state;
  testing::OpenImage(state, SystemFileSystem(), path);

  ASSERT_GT(state.EntryCount, 0);
  ASSERT_LT(state.EntryCount, 128);
  EXPECT_EQ(image[state.EntryCount * 16], 0);
  bool deletedListed = false;
  for (int row = 0; row < state.EntryCount; ++row)
    deletedListed |= testing::ListedCell(state, 0, row).starts_with('\x01');
  EXPECT_TRUE(deletedListed);
  bool liveEntryAfterTerminator = false;
  for (int slot = state.EntryCount + 1; slot < 128; ++slot)
    liveEntryAfterTerminator |= image[slot * 16] > 1;
  EXPECT_TRUE(liveEntryAfterTerminator);
}

}  // namespace
}  // namespace orlaspin
