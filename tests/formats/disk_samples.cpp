#include "disk_samples.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "screens.h"
#include "trd_builder.h"

namespace orlaspin::testing {

namespace {

const char* const kRealScreen = "salvakantero_RedPlanet_ZX__gfx_loading.scr";

std::vector<std::uint8_t> Loader() {
  std::vector<std::uint8_t> loader(300);
  for (std::size_t i = 0; i < loader.size(); ++i) loader[i] = static_cast<std::uint8_t>(i * 7);
  return loader;
}

}  // namespace

std::vector<std::uint8_t> SampleTrDosImage() {
  return TrdBuilder(kSampleCylinders * kSampleHeads * kSectorsPerTrack * kSectorSize)
      .AddScreen("FIRST", ColourfulScreen(1))
      .AddFile("loader", 'B', Loader(), 10)
      .AddScreen("REAL", RealScreen(kRealScreen))
      .AddDiskInfo("SAMPLE")
      .Build();
}

std::vector<SampleFile> SampleTrDosFiles() {
  // Files follow one another from track 1: 27, 2 and 27 sectors.
  return {{"FIRST   ", 'C', 16384, 6912, 16 * 256, ColourfulScreen(1)},
          {"loader  ", 'B', 10, 300, 43 * 256, std::nullopt},
          {"REAL    ", 'C', 16384, 6912, 45 * 256, RealScreen(kRealScreen)}};
}

void ExpectSampleCatalogue(const Collection& collection, std::span<const std::uint8_t> image) {
  EXPECT_TRUE(collection.warnings.empty()) << WarningText(collection.warnings.front());
  const std::vector<SampleFile> expected = SampleTrDosFiles();
  ASSERT_EQ(collection.files.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const CollectionFile& file = collection.files[i];
    EXPECT_EQ(file.name, expected[i].name);
    EXPECT_EQ(file.extension, expected[i].extension);
    EXPECT_EQ(file.start, expected[i].start);
    EXPECT_EQ(file.length, expected[i].length);
    EXPECT_EQ(file.offset, expected[i].offset);
    EXPECT_EQ(file.isScreen, expected[i].screen.has_value());
    if (expected[i].screen) {
      EXPECT_EQ(ScreenData(FileBytes(collection, image), file), *expected[i].screen)
          << expected[i].name;
    }
  }
}

std::vector<Warning> WarningsOf(const Collection& collection, Problem problem) {
  std::vector<Warning> found;
  for (const Warning& warning : collection.warnings) {
    if (warning.problem == problem) found.push_back(warning);
  }
  return found;
}

}  // namespace orlaspin::testing
