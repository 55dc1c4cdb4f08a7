// Odd images through the real file system: too short, exactly one catalogue long, a catalogue
// without its end, entries past the end or over one another, a folder given as the image, a
// multi-gigabyte sparse file, an image changed or deleted between listing and export.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "containers/catalogue.h"
#include "cli.h"
#include "cli_run.h"
#include "export_runs.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

// prefix and number: appended, which keeps GCC's -Wrestrict quiet about string concatenation.
std::string Numbered(const char* prefix, int number) {
  std::string name = prefix;
  name += std::to_string(number);
  return name;
}

// 128 entries, no end mark; every eighth a screen at its own place, some past the end.
Bytes FullCatalogue(std::size_t imageSize) {
  TrdBuilder builder(imageSize);
  for (int i = 0; i < 128; ++i) {
    builder.AddEntry({.name = Numbered("E", i),
                      .length = static_cast<std::uint16_t>(i % 8 ? 1000 : 6912),
                      .firstSector = static_cast<std::uint8_t>(i * 3),
                      .firstTrack = static_cast<std::uint8_t>(i / 2)});
  }
  for (std::size_t at = 2048; at < imageSize; ++at) {
    const std::uint8_t byte = static_cast<std::uint8_t>(at * 131 >> 3);
    builder.PutBytes(at, std::span(&byte, 1));
  }
  return builder.Build();
}

Bytes Cut(Bytes image, std::size_t size) {
  image.resize(size);
  return image;
}

class OddImages : public ::testing::Test {
 protected:
  // Lists the image from a real file and exports it; the run must complete, its files complete.
  void ExpectCompleteExport(const Bytes& image) {
    EXPECT_TRUE(CompletedInto(ExportImageFile(image, imagePath, out.Path()), out.Path(), image));
  }

  TempFolder place;
  TempFolder out;
  const std::string imagePath = place.File("image.trd");
};

TEST_F(OddImages, ShortImagesListWhatTheyHoldAndExportItCompletely) {
  const Bytes full = FullCatalogue(40000);
  for (const std::size_t size : {0, 1, 15, 16, 2047, 2048, 2049, 4096 + 100}) {
    SCOPED_TRACE(size);
    ExpectCompleteExport(Cut(full, size));
  }
}

TEST_F(OddImages, ACatalogueWithoutItsEndListsAll128Entries) {
  const Bytes image = FullCatalogue(40000);
  WriteFileBytes(imagePath, image);
  EXPECT_EQ(LoadedState(imagePath).EntryCount, 128);
  ExpectCompleteExport(image);

  const CliRun listed = Cli({"list", imagePath});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 128);
}

TEST_F(OddImages, EntriesPastTheEndAcrossItOrOverOneAnotherGiveTheBytesThereAndZeros) {
  TrdBuilder builder(4096 + kScreenBytes / 2);
  builder.AddScreen("ACROSS", ColourfulScreen(1));
  builder.AddEntry({.name = "PAST", .firstSector = 255, .firstTrack = 255});
  builder.AddEntry({.name = "OVERLAP", .firstSector = 3, .firstTrack = 1});
  builder.AddEntry({.name = "CATALOG", .firstSector = 0, .firstTrack = 0});
  builder.AddEntry({.name = "ACROSS", .firstSector = 0, .firstTrack = 1});
  ExpectCompleteExport(builder.Build());
}

TEST_F(OddImages, AFolderGivenAsTheImageIsNoImage) {
  std::filesystem::create_directory(PathFromUtf8(imagePath));
  testing::ListedImage state = LoadedState(imagePath);
  EXPECT_EQ(state.EntryCount, 0);
  state.EntryCount = 1;
  state.Catalogue[0].IsScreen = 1;
  state.ImagePath = imagePath;
  const ExportOutcome run = Export(state, SystemFileSystem(), out.Path());
  EXPECT_TRUE(EndedWith(run, "File not found"));
  EXPECT_TRUE(out.Names().empty());

  for (const auto& args :
       {std::vector<std::string>{"list", imagePath},
        std::vector<std::string>{"export", imagePath, "--output-dir", out.Path()}}) {
    const CliRun cli = Cli(args);
    EXPECT_EQ(cli.status, 1);
    EXPECT_EQ(cli.err, "orlaspin-cli: " + imagePath + ": Is a folder.\n");
  }
}

// The reads stop at what the catalogue and the screens need, however large the file.
TEST_F(OddImages, AMultiGigabyteSparseImageIsReadOnlyWhereItMatters) {
  TrdBuilder builder(4096 + kScreenBytes);
  builder.AddScreen("FIRST", ColourfulScreen(1));
  builder.AddEntry({.name = "LAST", .firstSector = 255, .firstTrack = 255});
  const Bytes start = builder.Build();
  WriteFileBytes(imagePath, start);
  std::filesystem::resize_file(PathFromUtf8(imagePath), 5ull << 30);

  testing::ListedImage state = LoadedState(imagePath);
  const ExportOutcome run = Export(state, SystemFileSystem(), out.Path());
  EXPECT_TRUE(Completed(run, 2));
  EXPECT_TRUE(FolderHoldsExport({}, out.Path(), run, start));

  const TempFolder cliOut;
  const CliRun cli = Cli({"export", imagePath, "--output-dir", cliOut.Path()});
  EXPECT_EQ(cli.status, 0) << cli.err;
  EXPECT_EQ(cli.out, "FIRST.bmp\nLAST.bmp\n2 screens exported\n");
}

TEST_F(OddImages, AnImageChangedAfterListingIsExportedFromItsNewBytesAtTheListedPlaces) {
  TrdBuilder builder;
  for (int i = 0; i < 4; ++i) builder.AddScreen(Numbered("S", i), ColourfulScreen(i));
  const Bytes original = builder.Build();
  WriteFileBytes(imagePath, original);
  testing::ListedImage state = LoadedState(imagePath);

  // The same catalogue, other bytes after it, and shorter: the third screen ends halfway, the
  // fourth is gone.
  Bytes changed = FullCatalogue(4096 + 2 * kScreenBytes + kScreenBytes / 2);
  std::copy_n(original.begin(), 2048, changed.begin());
  WriteFileBytes(imagePath, changed);
  const ExportOutcome run = Export(state, SystemFileSystem(), out.Path());
  EXPECT_TRUE(Completed(run, 4));
  EXPECT_EQ(run.view.written, (std::vector<std::string>{"S0.bmp", "S1.bmp", "S2.bmp", "S3.bmp"}));
  EXPECT_TRUE(FolderHoldsExport({}, out.Path(), run, changed));
}

TEST_F(OddImages, AnImageDeletedAfterListingEndsTheExportAtItsFirstScreen) {
  TrdBuilder builder;
  builder.AddScreen("S0", ColourfulScreen(0));
  WriteFileBytes(imagePath, builder.Build());
  testing::ListedImage state = LoadedState(imagePath);
  std::filesystem::remove(PathFromUtf8(imagePath));

  const ExportOutcome run = Export(state, SystemFileSystem(), out.Path());
  EXPECT_TRUE(EndedWith(run, "File not found"));
  EXPECT_TRUE(out.Names().empty());
  EXPECT_TRUE(run.view.decoded.empty());
  EXPECT_EQ(state.EntryCount, 1);
}

}  // namespace
}  // namespace orlaspin::testing
