#include "containers/tap_file.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "listed_screens.h"
#include "screens.h"
#include "tape_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

struct ExpectedFile {
  std::string name;
  std::string type;
  std::optional<std::uint16_t> start;
  std::uint32_t length;
  bool isScreen;
  bool nameIsFileName = false;
};

// Each block's payload begins 3 bytes into it: length word, flag.
std::vector<std::uint64_t> PayloadOffsets(std::span<const Bytes> blocks) {
  std::vector<std::uint64_t> offsets;
  std::uint64_t at = 0;
  for (const Bytes& block : blocks) {
    offsets.push_back(at + 3);
    at += 2 + block.size();
  }
  return offsets;
}

void ExpectFiles(const Collection& collection, const std::vector<ExpectedFile>& expected) {
  ASSERT_EQ(collection.files.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("file " + std::to_string(i));
    const CollectionFile& file = collection.files[i];
    EXPECT_EQ(file.name, expected[i].name);
    EXPECT_EQ(file.type, expected[i].type);
    EXPECT_EQ(file.start, expected[i].start);
    EXPECT_EQ(file.length, expected[i].length);
    EXPECT_EQ(file.isScreen, expected[i].isScreen);
    EXPECT_EQ(file.nameIsFileName, expected[i].nameIsFileName);
    EXPECT_FALSE(file.extension);
    EXPECT_FALSE(file.border);
  }
}

TEST(TapFile, ListsHeaderedFilesAndHeaderlessBlocksInTapeOrder) {
  const ScreenBytes title = ColourfulScreen(1);
  const ScreenBytes bare = ColourfulScreen(2);
  const std::vector<Bytes> blocks = {
      HeaderBlock(0, "loader", 200, 10, 150),
      LoadedBlock(0xFF, Bytes(200, 0x31)),
      HeaderBlock(3, "title", 6912, 16384),
      LoadedBlock(0xFF, ScreenPayload(title)),
      LoadedBlock(0xFF, ScreenPayload(bare)),
      HeaderBlock(1, "numbers", 30, 0x8100),
      LoadedBlock(0xFF, Bytes(30, 0x32)),
      HeaderBlock(2, "letters", 5, 0xC100),
      LoadedBlock(0xFF, Bytes(5, 0x33)),
      HeaderBlock(3, "code", 300, 32768),
      LoadedBlock(0xFF, Bytes(300, 0x34)),
      LoadedBlock(0x55, Bytes(6912, 0x35)),  // a custom loader's block: no screen
  };
  const Bytes tap = BuildTap(blocks);
  const Collection collection = ReadTapFile(tap, "game");

  EXPECT_EQ(collection.kind, ImageKind::Tap);
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_TRUE(collection.unpacked.empty());
  ExpectFiles(collection, {{"loader", "Program", {}, 200, false},
                           {"title", "Bytes", 16384, 6912, true},
                           {"game-block5", "Headerless", {}, 6912, true, true},
                           {"numbers", "Number array", {}, 30, false},
                           {"letters", "Character array", {}, 5, false},
                           {"code", "Bytes", 32768, 300, false},
                           {"game-block12", "Headerless", {}, 6912, false, true}});
  const auto offsets = PayloadOffsets(blocks);
  const std::size_t dataBlock[] = {1, 3, 4, 6, 8, 10, 11};
  for (std::size_t i = 0; i < collection.files.size(); ++i) {
    EXPECT_EQ(collection.files[i].offset, offsets[dataBlock[i]]) << i;
  }
  EXPECT_EQ(ListedScreens(collection, tap),
            (std::vector<ListedScreen>{{"title", title}, {"game-block5", bare}}));
}

TEST(TapFile, AScreenIs6912BytesAfterABytesHeaderOfThatLengthOrBehindTheDataFlag) {
  const Bytes screen = ScreenPayload(ColourfulScreen(3));
  Bytes longer = screen;
  longer.push_back(0);
  const std::vector<Bytes> blocks = {
      HeaderBlock(0, "basic", 6912, 0),
      LoadedBlock(0xFF, screen),  // behind 0xFF
      HeaderBlock(3, "flag0", 6912, 16384),
      LoadedBlock(0x00, screen),  // after its header
      HeaderBlock(3, "other", 6000, 16384),
      LoadedBlock(0xFF, screen),  // behind 0xFF
      HeaderBlock(3, "long", 6912, 16384),
      LoadedBlock(0xFF, longer),
      HeaderBlock(0, "basic0", 6912, 0),
      LoadedBlock(0x00, screen),
      LoadedBlock(0xFE, screen),
      LoadedBlock(0xFF, Bytes(screen.begin(), screen.end() - 1)),
  };
  const Collection collection = ReadTapFile(BuildTap(blocks), "t");
  std::vector<bool> marks;
  for (const CollectionFile& file : collection.files) marks.push_back(file.isScreen);
  EXPECT_EQ(marks, (std::vector<bool>{true, true, true, false, false, false, false}));
}

TEST(TapFile, NamesKeepTheirBytesWithoutTrailingSpaces) {
  const std::vector<Bytes> blocks = {
      HeaderBlock(3, " a b  ", 1, 0),
      LoadedBlock(0xFF, Bytes{1}),
      HeaderBlock(3, "", 1, 0),
      LoadedBlock(0xFF, Bytes{1}),
      HeaderBlock(3, "ten chars!", 1, 0),
      LoadedBlock(0xFF, Bytes{1}),
      HeaderBlock(3, std::string("\x7F\xA0\x00Z", 4), 1, 0),
      LoadedBlock(0xFF, Bytes{1}),
  };
  const Collection collection = ReadTapFile(BuildTap(blocks), "t");
  ASSERT_EQ(collection.files.size(), 4u);
  EXPECT_EQ(collection.files[0].name, " a b");
  EXPECT_EQ(collection.files[1].name, "");
  EXPECT_EQ(collection.files[2].name, "ten chars!");
  EXPECT_EQ(collection.files[3].name, std::string("\x7F\xA0\x00Z", 4));
}

TEST(TapFile, ATapeCutShortListsWhatItHolds) {
  const ScreenBytes screen = ColourfulScreen(4);
  const auto blocks = SavedScreen("pic", screen);
  const Bytes whole = BuildTap(blocks);
  // Cut inside the screen's payload, inside its checksum, and inside its length word.
  for (const std::size_t kept : {std::size_t{4000}, std::size_t{6912}, std::size_t{0}}) {
    SCOPED_TRACE(kept);
    const std::size_t size = kept == 0 ? 2 + 19 + 1 : 2 + 19 + 3 + kept;
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    const Collection collection = ReadTapFile(cut, "t");
    ASSERT_EQ(collection.warnings.size(), kept == 0 ? 2u : 1u);
    EXPECT_EQ(collection.warnings[0], (Warning{Problem::TapeCutShort, "block 2"}));
    if (kept == 0) {
      EXPECT_EQ(collection.warnings[1],
                (Warning{Problem::HeaderWithoutData, "block 1", Details("pic")}));
      EXPECT_TRUE(collection.files.empty());
      continue;
    }
    ASSERT_EQ(collection.files.size(), 1u);
    EXPECT_EQ(collection.files[0].length, kept);
    EXPECT_LE(collection.files[0].offset + collection.files[0].length, cut.size());
    EXPECT_EQ(ListedScreens(collection, cut),
              (std::vector<ListedScreen>{{"pic", CutScreen(screen, kept)}}));
  }
}

TEST(TapFile, FaultsThatLoseNothingAreWarnings) {
  Bytes bad = LoadedBlock(0xFF, Bytes(100, 7));
  bad[50] ^= 0x40;
  const std::vector<Bytes> blocks = {
      HeaderBlock(3, "lonely", 10, 0),
      HeaderBlock(3, "data", 100, 0),
      bad,
      {},      // empty blocks carry no file
      {0xFF},  // nor a flag alone
      LoadedBlock(0xFF, {}),
      HeaderBlock(0, "end", 10, 0),
  };
  const Collection collection = ReadTapFile(BuildTap(blocks), "t");
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::HeaderWithoutData, "block 1", Details("lonely")},
                                  {Problem::WrongBlockChecksum, "block 3"},
                                  {Problem::WrongBlockChecksum, "block 5"},
                                  {Problem::HeaderWithoutData, "block 7", Details("end")}}));
  ASSERT_EQ(collection.files.size(), 1u);
  EXPECT_EQ(collection.files[0].name, "data");
  EXPECT_EQ(collection.files[0].length, 100u);
}

TEST(TapFile, RecognisedByBlocksThatEndWithTheFileAndHoldTheirChecksums) {
  const Bytes tap = BuildTap(SavedScreen("pic", ColourfulScreen(5)));
  EXPECT_TRUE(LooksLikeTap(tap));
  EXPECT_TRUE(LooksLikeTap(ReadFileBytes(TestdataPath("tap/REDPLANET_EN.TAP"))));
  Bytes longer = tap;
  longer.push_back(0);
  EXPECT_FALSE(LooksLikeTap(longer));
  EXPECT_FALSE(LooksLikeTap(Bytes(tap.begin(), tap.end() - 1)));
  Bytes damaged = tap;
  damaged[100] ^= 1;
  EXPECT_FALSE(LooksLikeTap(damaged));
  EXPECT_FALSE(LooksLikeTap({}));
  EXPECT_FALSE(LooksLikeTap(Bytes{0, 0}));
}

TEST(TapFile, RealTapesListTheirFilesAndScreens) {
  const Bytes redPlanet = ReadFileBytes(TestdataPath("tap/REDPLANET_EN.TAP"));
  const Collection planet = ReadTapFile(redPlanet, "REDPLANET_EN");
  EXPECT_TRUE(planet.warnings.empty());
  ExpectFiles(planet, {{"REDPLANET", "Program", {}, 66, false},
                       {"screen", "Bytes", 16384, 6912, true},
                       {"main", "Bytes", 24200, 35925, false}});
  // The game's sources keep the same screen as a file of its own.
  EXPECT_EQ(ListedScreens(planet, redPlanet),
            (std::vector<ListedScreen>{
                {"screen", RealScreen("salvakantero_RedPlanet_ZX__gfx_loading.scr")}}));

  const Bytes gimmick = ReadFileBytes(TestdataPath("tap/zxgimmick-es.tap"));
  const Collection collection = ReadTapFile(gimmick, "zxgimmick-es");
  EXPECT_TRUE(collection.warnings.empty());
  ExpectFiles(collection, {{"zxgimmick", "Program", {}, 133, false},
                           {"work\\loadi", "Bytes", 16384, 6912, true},
                           {"work\\reubi", "Bytes", 25000, 45, false},
                           {"work\\RAM1", "Bytes", 32768, 12467, false},
                           {"work\\RAM3", "Bytes", 32768, 15563, false},
                           {"work\\RAM4", "Bytes", 32768, 16120, false},
                           {"work\\RAM6", "Bytes", 32768, 16177, false},
                           {"work\\RAM7", "Bytes", 32768, 3043, false},
                           {"work\\main", "Bytes", 24200, 32325, false}});
  // Blocks of 21 and 135 bytes and the screen's header come first.
  EXPECT_EQ(collection.files[1].offset, 21u + 137u + 21u + 3u);
}

}  // namespace
}  // namespace orlaspin::testing
