// Every step of the file layer made to fail, through the in-memory file system: the catalogue
// load and the batch export each end with the error's text, leave the catalogue, the preview and
// the files written before as they were, and leave no incomplete file.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "export/file_names.h"
#include "encoders/bitmap_file.h"
#include "containers/catalogue.h"
#include "containers/screen_source.h"
#include "containers/trd_image.h"
#include "io/errors.h"
#include "export_runs.h"
#include "fake_file_system.h"
#include "oracle.h"
#include "listed_image.h"
#include "recording_views.h"
#include "screens.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

const std::string kEarlierImage = "/disk/earlier.trd";
const std::string kImage = "/disk/image.trd";
constexpr int kScreens = 4;

ScreenBytes EarlierScreen() { return ColourfulScreen(99); }
ScreenBytes ImageScreen(int i) { return ColourfulScreen(static_cast<std::uint32_t>(i)); }

Bytes EarlierImage() {
  TrdBuilder builder;
  builder.AddScreen("OLD", EarlierScreen());
  builder.AddEntry({.name = "BASIC", .extension = 'B', .length = 100});
  return builder.Build();
}

// SCR0 to SCR3, each its own screen.
Bytes FourScreens() {
  TrdBuilder builder;
  for (int i = 0; i < kScreens; ++i) builder.AddScreen("SCR" + std::to_string(i), ImageScreen(i));
  return builder.Build();
}

// All that a failure must leave as it was.
struct Snapshot {
  std::vector<std::uint8_t> catalogue;  // every slot's bytes and mark
  std::int32_t entryCount = 0;
  std::string imagePath;
  bool operator==(const Snapshot&) const = default;
};

class FileLayerFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    state.ZxPalette = kZxPaletteColours;
    files.files[kEarlierImage] = EarlierImage();
    files.files[kImage] = FourScreens();
    // An earlier image listed.
    testing::OpenImage(state, files, kEarlierImage);
  }

  Snapshot Take() const {
    Snapshot snapshot{{}, state.EntryCount, state.ImagePath};
    for (const app::CatalogueSlot& entry : state.Catalogue) {
      snapshot.catalogue.insert(snapshot.catalogue.end(), entry.Bytes.begin(), entry.Bytes.end());
      snapshot.catalogue.push_back(entry.IsScreen);
    }
    return snapshot;
  }

  // The bitmaps in the in-memory file system, by name.
  std::map<std::string, Bytes> Bitmaps() const {
    std::map<std::string, Bytes> bitmaps;
    for (const auto& [path, bytes] : files.files) {
      if (path != kImage && path != kEarlierImage) bitmaps[path] = bytes;
    }
    return bitmaps;
  }

  // Loads the four-screen image and runs the batch with a fault switched on once two files are
  // written.
  ExportOutcome ExportWithFaultAfterTwoFiles(const std::function<void(FakeFileSystem&)>& fault) {
    testing::OpenImage(state, files, kImage);
    ExportOutcome outcome;
    outcome.view.afterFileWritten = [&] {
      if (outcome.view.written.size() == 2) fault(files);
    };
    try {
      outcome.count = testing::ExportListed(state, files, outcome.view, "");
    } catch (const Error& error) {
      outcome.error = error.Message();
    }
    return outcome;
  }

  void ExpectTheFirstTwoFilesAlone() const {
    const std::map<std::string, Bytes> expected = {{"SCR0.bmp", OracleBitmapFile(ImageScreen(0))},
                                                   {"SCR1.bmp", OracleBitmapFile(ImageScreen(1))}};
    EXPECT_EQ(Bitmaps(), expected);
  }

  testing::ListedImage state;
  FakeFileSystem files;
};

struct LoadFault {
  const char* what;
  FileFaults faults;
  const char* message;
};

class CatalogueLoadFault : public FileLayerFaults,
                           public ::testing::WithParamInterface<LoadFault> {};

TEST_P(CatalogueLoadFault, ShowsItsTextAndKeepsTheEarlierImage) {
  const Snapshot before = Take();
  files.faults = GetParam().faults;
  try {
    state.ReadCatalogue(files, kImage);
    ADD_FAILURE() << "the load completed";
  } catch (const Error& error) {
    EXPECT_EQ(error.Message(), GetParam().message);
  }
  EXPECT_TRUE(Take() == before) << "the catalogue changed";
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, CatalogueLoadFault,
    ::testing::Values(LoadFault{"OpenDenied", {.openError = 5}, "File access denied"},
                      LoadFault{"OpenSharingViolation", {.openError = 32}, "I/O error 32"},
                      LoadFault{"FirstReadFails", {.readError = 23}, "I/O error 23"},
                      LoadFault{"ReadFailsHalfway",
                                {.readError = 1117, .readsBeforeError = 1, .readChunk = 1024},
                                "I/O error 1117"},
                      LoadFault{"CloseFails", {.closeError = 6}, "I/O error 6"}),
    [](const auto& info) { return std::string(info.param.what); });

struct ImageFault {
  const char* what;
  std::function<void(FakeFileSystem&)> strike;
  const char* message;
};

class ImageFaultMidBatch : public FileLayerFaults,
                           public ::testing::WithParamInterface<ImageFault> {};

TEST_P(ImageFaultMidBatch, EndsTheRunAndKeepsWhatWasWritten) {
  const ExportOutcome run = ExportWithFaultAfterTwoFiles(GetParam().strike);
  EXPECT_TRUE(EndedWith(run, GetParam().message));
  EXPECT_EQ(run.view.written, (std::vector<std::string>{"SCR0.bmp", "SCR1.bmp"}));
  ExpectTheFirstTwoFilesAlone();
  // The failed read comes before the drawing: the second screen was the last one shown.
  EXPECT_EQ(run.view.decoded, (std::vector<ScreenBytes>{ImageScreen(0), ImageScreen(1)}));
  EXPECT_EQ(state.EntryCount, kScreens);
  EXPECT_EQ(state.ImagePath, kImage);
}

TEST_P(ImageFaultMidBatch, ARunAfterTheFaultWritesEveryScreenAgainBesideTheFirstFiles) {
  ExportWithFaultAfterTwoFiles(GetParam().strike);
  files.faults = {};
  files.files[kImage] = FourScreens();

  RecordingExportView view;
  EXPECT_EQ(testing::ExportListed(state, files, view, ""), kScreens);
  EXPECT_EQ(view.written,
            (std::vector<std::string>{"SCR01.bmp", "SCR11.bmp", "SCR2.bmp", "SCR3.bmp"}));
  EXPECT_EQ(files.files.at("SCR0.bmp"), OracleBitmapFile(ImageScreen(0)));
  EXPECT_EQ(files.files.at("SCR11.bmp"), OracleBitmapFile(ImageScreen(1)));
  EXPECT_EQ(files.files.at("SCR3.bmp"), OracleBitmapFile(ImageScreen(3)));
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, ImageFaultMidBatch,
    ::testing::Values(
        ImageFault{"OpenDenied", [](FakeFileSystem& f) { f.faults.openError = 5; },
                   "File access denied"},
        ImageFault{"TooManyOpenFiles", [](FakeFileSystem& f) { f.faults.openError = 4; },
                   "Too many open files"},
        ImageFault{"SeekFails", [](FakeFileSystem& f) { f.faults.seekError = 131; },
                   "I/O error 131"},
        ImageFault{"ReadFailsHalfway",
                   [](FakeFileSystem& f) {
                     f.faults.readChunk = kScreenBytes / 2;
                     f.faults.readsBeforeError = 1;
                     f.faults.readError = 23;
                   },
                   "I/O error 23"},
        ImageFault{"CloseFails", [](FakeFileSystem& f) { f.faults.closeError = 6; }, "I/O error 6"},
        ImageFault{"ImageDeleted", [](FakeFileSystem& f) { f.files.erase(kImage); },
                   "File not found"}),
    [](const auto& info) { return std::string(info.param.what); });

// How many bytes of the third bitmap the disk still takes: short in each of its three writes
// (the file header, the info header, the pixels), or none at all.
class BitmapWriteFallsShort : public FileLayerFaults,
                              public ::testing::WithParamInterface<std::size_t> {};

TEST_P(BitmapWriteFallsShort, RemovesTheIncompleteFileAndKeepsTheOthers) {
  const std::size_t room = GetParam();
  const ExportOutcome run =
      ExportWithFaultAfterTwoFiles([room](FakeFileSystem& f) { f.faults.writeCapacity = room; });
  EXPECT_TRUE(EndedWith(run, "Stream write error"));
  ExpectTheFirstTwoFilesAlone();
  // The third screen was shown before its save failed.
  ASSERT_EQ(run.view.decoded.size(), 3u);
  EXPECT_EQ(run.view.decoded.back(), ImageScreen(2));
}

INSTANTIATE_TEST_SUITE_P(EveryWrite, BitmapWriteFallsShort,
                         ::testing::Values(0, 7, 14, 30, 54, 54 + 100000, kBitmapFileSize - 1));

TEST_F(FileLayerFaults, TheWindowWritesABitmapInItsThreePartsAndTheCliInOneWrite) {
  testing::OpenImage(state, files, kImage);
  RecordingExportView view;
  ASSERT_EQ(testing::ExportListed(state, files, view, ""), kScreens);
  std::vector<std::size_t> threeParts;
  for (int i = 0; i < kScreens; ++i)
    threeParts.insert(threeParts.end(), {14, 40, kBitmapPixelBytes});
  EXPECT_EQ(files.writeSizes, threeParts);

  files.writeSizes.clear();
  ImageFileScreenSource source(files, kImage);
  for (const OutputFormat format : {OutputFormat::Bmp, OutputFormat::Png}) {
    OutputOptions options;
    options.format = format;
    ExportCollection(files, state.Listing(), source, kImage, "", "", options, view);
  }
  ASSERT_EQ(files.writeSizes.size(), 2u * kScreens);
  // The bitmaps, each its whole file at once; the PNG files are smaller.
  EXPECT_EQ(files.writeSizes.front(), kBitmapFileSize);
  EXPECT_EQ(files.writeSizes[kScreens - 1], kBitmapFileSize);
  EXPECT_EQ(files.files.at("SCR0.png").size(), files.writeSizes[kScreens]);
}

TEST_F(FileLayerFaults, AFailedCloseOfABitmapRemovesItAndEndsTheRun) {
  const ExportOutcome run =
      ExportWithFaultAfterTwoFiles([](FakeFileSystem& f) { f.faults.writeCloseFails = true; });
  EXPECT_TRUE(EndedWith(run, "Stream write error"));
  ExpectTheFirstTwoFilesAlone();
}

}  // namespace
}  // namespace orlaspin::testing
