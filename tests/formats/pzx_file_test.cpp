#include "containers/pzx_file.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "listed_screens.h"
#include "screens.h"
#include "tape_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

using Screens = std::vector<ListedScreen>;

TEST(PzxFile, DataBlocksAreReadAsATapesBlocksAndOtherBlocksSkipped) {
  const ScreenBytes saved = ColourfulScreen(1), bare = ColourfulScreen(2);
  const auto header = SavedScreen("pic", saved);
  const Bytes tape = PzxBuilder()
                         .Block("PULS", {0x10, 0x00, 0x1B, 0x00})
                         .Data(header[0])
                         .Block("PAUS", {0xE8, 0x03, 0, 0})
                         .Data(header[1])
                         .Block("BRWS", {'D', 'A', 'T', 'A', 0})
                         .Data(LoadedBlock(0xFF, ScreenPayload(bare)))
                         .Data(LoadedBlock(0xFF, ScreenPayload(bare)), 6914 * 8 - 1)
                         .Block("STOP", {0, 0})
                         .Build();
  const Collection collection = ReadPzxFile(tape, "t");
  EXPECT_EQ(collection.kind, ImageKind::Pzx);
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_EQ(ListedScreens(collection, tape), (Screens{{"pic", saved}, {"t-block7", bare}}));
  ASSERT_EQ(collection.files.size(), 3u);
  EXPECT_EQ(collection.files[0].type, "Bytes");
  EXPECT_EQ(collection.files[0].start, 16384);
  // The last byte of a block of 6914 x 8 - 1 bits is not whole: a file, not a screen.
  EXPECT_EQ(collection.files[2].name, "t-block8");
  EXPECT_FALSE(collection.files[2].isScreen);
  // PZXT (10), PULS (12), DATA of the header (43), PAUS (12), then the block, its bit count,
  // tail, sequence lengths and four pulses, and the flag.
  EXPECT_EQ(collection.files[0].offset, 10u + 12 + 43 + 12 + 8 + 16 + 1);
}

TEST(PzxFile, DamageIsAWarningAfterWhatCouldBeRead) {
  const ScreenBytes screen = ColourfulScreen(3);
  const Bytes whole = PzxBuilder().Data(LoadedBlock(0xFF, ScreenPayload(screen))).Build();
  const Bytes cut(whole.begin(), whole.end() - 1000);
  const Collection collection = ReadPzxFile(cut, "t");
  EXPECT_EQ(collection.warnings, (std::vector<Warning>{{Problem::TapeCutShort, "block 2"}}));
  EXPECT_EQ(ListedScreens(collection, cut), (Screens{{"t-block2", CutScreen(screen, 5913)}}));

  const Bytes headerCut(whole.begin(), whole.begin() + 10 + 5);
  EXPECT_EQ(ReadPzxFile(headerCut, "t").warnings,
            (std::vector<Warning>{{Problem::TapeCutShort, "block 2"}}));

  // A bit count past the block's end.
  Bytes tooManyBits = PzxBuilder().Data(Bytes(10, 0), 200).Build();
  const Collection past = ReadPzxFile(tooManyBits, "t");
  EXPECT_EQ(past.warnings, (std::vector<Warning>{{Problem::DataPastBlockEnd, "block 2"}}));
  ASSERT_EQ(past.files.size(), 1u);
  EXPECT_EQ(past.files[0].length, 9u);
}

TEST(PzxFile, BytesWithoutTheSignatureAreRefused) {
  EXPECT_THROW(ReadPzxFile(Bytes{'P', 'Z', 'X'}, "t"), ImageFormatError);
  EXPECT_THROW(ReadPzxFile(Bytes{'D', 'A', 'T', 'A', 0, 0, 0, 0}, "t"), ImageFormatError);
}

TEST(PzxFile, ARealTapeOfInformationAndPulsesOnly) {
  const Collection collection =
      ReadPzxFile(ReadFileBytes(TestdataPath("pzx/pzx-archive-info-tags.pzx")), "t");
  EXPECT_TRUE(collection.files.empty());
  EXPECT_TRUE(collection.warnings.empty());
}

}  // namespace
}  // namespace orlaspin::testing
