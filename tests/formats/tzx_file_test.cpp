#include "containers/tzx_file.h"

#include <gtest/gtest.h>

#include "archive_builders.h"
#include "containers/image_reader.h"
#include "listed_screens.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "tape_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

using Screens = std::vector<ListedScreen>;

Bytes Headerless(const ScreenBytes& screen) { return LoadedBlock(0xFF, ScreenPayload(screen)); }

TzxBuilder& SavedScreenAtStandardSpeed(TzxBuilder& tzx, const std::string& name,
                                       const ScreenBytes& screen) {
  for (const Bytes& block : SavedScreen(name, screen)) tzx.StandardSpeed(block);
  return tzx;
}

TEST(TzxFile, EveryBlockWithoutLoadedBytesIsSkippedByItsLength) {
  const ScreenBytes before = ColourfulScreen(1), after = ColourfulScreen(2);
  for (const TzxBlock& block : SkippedTzxBlocks()) {
    SCOPED_TRACE(block.id);
    TzxBuilder tzx;
    SavedScreenAtStandardSpeed(tzx, "before", before).Block(block.id, block.body);
    SavedScreenAtStandardSpeed(tzx, "after", after);
    const Bytes tape = tzx.Build();
    const Collection collection = ReadTzxFile(tape, "t");
    EXPECT_TRUE(collection.warnings.empty()) << WarningText(collection.warnings.front());
    EXPECT_EQ(ListedScreens(collection, tape), (Screens{{"before", before}, {"after", after}}));
  }
  TzxBuilder all;
  const Bytes tape = all.Blocks(SkippedTzxBlocks()).StandardSpeed(Headerless(after)).Build();
  const Collection collection = ReadTzxFile(tape, "t");
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_EQ(ListedScreens(collection, tape),
            (Screens{{"t-block" + std::to_string(SkippedTzxBlocks().size() + 1), after}}));
}

TEST(TzxFile, ArchiveInfoCountingOnlyItsStringsIsMeasuredByThem) {
  // Some writers leave the count byte out of the length.
  const Bytes strings = {1, 0x00, 5, 'T', 'i', 't', 'l', 'e'};
  Bytes body;
  PutNumber(body, strings.size() - 1, 2);
  body.insert(body.end(), strings.begin(), strings.end());
  const ScreenBytes screen = ColourfulScreen(3);
  const Bytes tape = TzxBuilder().Block(0x32, body).StandardSpeed(Headerless(screen)).Build();
  const Collection collection = ReadTzxFile(tape, "t");
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_EQ(ListedScreens(collection, tape), (Screens{{"t-block2", screen}}));
}

TEST(TzxFile, ReadsTheLoadedBytesOfEveryKindOfDataBlock) {
  const ScreenBytes screens[] = {ColourfulScreen(10), ColourfulScreen(11), ColourfulScreen(12),
                                 ColourfulScreen(13), ColourfulScreen(14)};
  TzxBuilder tzx;
  SavedScreenAtStandardSpeed(tzx, "standard", screens[0])
      .TurboSpeed(HeaderBlock(3, "turbo", 6912, 16384))
      .TurboSpeed(Headerless(screens[1]))
      .PureData(Headerless(screens[2]))
      .GeneralizedData(HeaderBlock(3, "general", 6912, 16384))
      .GeneralizedData(Headerless(screens[3]))
      .GeneralizedData(Headerless(screens[4]), true)
      .FourSymbolData(Headerless(screens[0]))
      .TurboSpeed(Headerless(screens[0]), 7)
      .PureData(LoadedBlock(0xFF, Bytes(100, 9)), 1);
  const Bytes tape = tzx.Build();
  const Collection collection = ReadTzxFile(tape, "t");

  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_EQ(ListedScreens(collection, tape), (Screens{{"standard", screens[0]},
                                                      {"turbo", screens[1]},
                                                      {"t-block5", screens[2]},
                                                      {"general", screens[3]},
                                                      {"t-block8", screens[4]}}));
  // Blocks whose last byte is not whole are files, not screens; four symbols carry no bytes.
  ASSERT_EQ(collection.files.size(), 7u);
  EXPECT_EQ(collection.files[5].name, "t-block10");
  EXPECT_FALSE(collection.files[5].isScreen);
  EXPECT_EQ(collection.files[6].length, 100u);
  for (const CollectionFile& file : collection.files) {
    EXPECT_LE(file.offset + file.length, FileBytes(collection, tape).size()) << file.name;
  }
  // Only the inverted block's bytes had to be made.
  EXPECT_GE(collection.files[4].offset, tape.size());
  ASSERT_GE(collection.unpacked.size(), tape.size());
  EXPECT_TRUE(std::equal(tape.begin(), tape.end(), collection.unpacked.begin()));
}

TEST(TzxFile, ASpectrumScreenBlockIsAScreenWithItsBorder) {
  const ScreenBytes described = ColourfulScreen(20), plain = ColourfulScreen(21);
  const std::string ident = "Spectrum Screen ";
  Bytes tooShort(ident.begin(), ident.end());
  PutNumber(tooShort, 6912, 4);  // without room for the description's length and the border
  tooShort.push_back(0);
  tooShort.push_back(2);
  tooShort.insert(tooShort.end(), 6910, 0);
  const Bytes tape = TzxBuilder()
                         .ScreenInfo("Title picture", 5, described)
                         .ScreenInfo("", 6, plain)
                         .Block(0x35, tooShort)
                         .Build();
  const Collection collection = ReadTzxFile(tape, "t");
  EXPECT_EQ(collection.warnings, (std::vector<Warning>{{Problem::ScreenBlockTooShort, "block 3"}}));
  EXPECT_EQ(ListedScreens(collection, tape),
            (Screens{{"Title picture", described}, {"Loading Screen", plain}}));
  ASSERT_EQ(collection.files.size(), 2u);
  EXPECT_EQ(collection.files[0].border, 5);
  EXPECT_EQ(collection.files[1].border, 6);
  EXPECT_EQ(collection.files[0].type, "screen");
  EXPECT_FALSE(collection.files[0].nameIsFileName);
}

TEST(TzxFile, AnEmbeddedSnapshotListsTheScreenOnDisplay) {
  const ScreenBytes sna = ColourfulScreen(30), z80 = RunsScreen(31), after = ColourfulScreen(32);
  const Bytes tape = TzxBuilder()
                         .Snapshot(1, BuildSna48(Ram48(sna), 3))
                         .Snapshot(0, BuildZ80Version1(Ram48(z80), 4, true))
                         .Snapshot(2, Bytes(100, 0))
                         .Snapshot(0, Bytes(10, 0))
                         .StandardSpeed(Headerless(after))
                         .Build();
  const Collection collection = ReadTzxFile(tape, "game");
  EXPECT_EQ(ListedScreens(collection, tape),
            (Screens{{"game-block1", sna}, {"game-block2", z80}, {"game-block5", after}}));
  ASSERT_EQ(collection.files.size(), 3u);
  EXPECT_EQ(collection.files[0].type, "snapshot");
  EXPECT_EQ(collection.files[0].border, 3);
  EXPECT_EQ(collection.files[1].border, 4);
  EXPECT_TRUE(collection.files[0].nameIsFileName);
  // The SNA's screen lies in the tape, the Z80's was unpacked: the 27-byte header after the
  // block's ID, type and length.
  EXPECT_EQ(collection.files[0].offset, 10u + 1 + 4 + 27);
  EXPECT_GE(collection.files[1].offset, tape.size());
  ASSERT_EQ(collection.warnings.size(), 2u);
  EXPECT_EQ(collection.warnings[0], (Warning{Problem::UnknownSnapshotType, "block 3", Details(2)}));
  EXPECT_EQ(collection.warnings[1].problem, Problem::SnapshotBlockUnreadable);
  EXPECT_EQ(collection.warnings[1].where, "block 4");
}

TEST(TzxFile, ATapeCutShortListsWhatItHolds) {
  const ScreenBytes inverted = ColourfulScreen(40), cut = ColourfulScreen(41);
  // A block whose bytes were made comes first: the cut screen must still end in zeros.
  const Bytes whole = TzxBuilder()
                          .GeneralizedData(Headerless(inverted), true)
                          .StandardSpeed(Headerless(cut))
                          .Build();
  const std::size_t screenAt = whole.size() - 6913;
  const Bytes tape(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(screenAt + 3000));
  const Collection collection = ReadTzxFile(tape, "t");
  EXPECT_EQ(collection.warnings, (std::vector<Warning>{{Problem::TapeCutShort, "block 2"}}));
  EXPECT_EQ(ListedScreens(collection, tape),
            (Screens{{"t-block1", inverted}, {"t-block2", CutScreen(cut, 3000)}}));

  // Cut inside a block's length field, and a length past the end.
  for (const Bytes& body : {Bytes{0xE8, 0x03, 0x01}, Bytes{0x10, 0, 0, 0x80, 1, 2}}) {
    const Bytes bad = TzxBuilder().StandardSpeed(Headerless(cut)).Block(0x7F, body).Build();
    const Collection damaged = ReadTzxFile(bad, "t");
    EXPECT_EQ(damaged.warnings, (std::vector<Warning>{{Problem::TapeCutShort, "block 2"}}));
    EXPECT_EQ(ListedScreens(damaged, bad), (Screens{{"t-block1", cut}}));
  }
  const Bytes noBody = TzxBuilder().Block(0x10, {}).Build();
  EXPECT_EQ(ReadTzxFile(noBody, "t").warnings,
            (std::vector<Warning>{{Problem::TapeCutShort, "block 1"}}));
}

TEST(TzxFile, GeneralizedDataPastItsBlockIsAWarning) {
  Bytes tape = TzxBuilder().GeneralizedData(Headerless(ColourfulScreen(50))).Build();
  // The block's length four bytes short: its data would run into the next block.
  tape[11] = static_cast<std::uint8_t>(tape[11] - 4);
  tape.resize(tape.size() - 4);
  const Collection collection = ReadTzxFile(tape, "t");
  EXPECT_EQ(collection.warnings, (std::vector<Warning>{{Problem::DataPastBlockEnd, "block 1"}}));
  EXPECT_TRUE(collection.files.empty());
}

TEST(TzxFile, BytesOfAnotherKindAreRefused) {
  const Bytes good = TzxBuilder().Build();
  Bytes version2 = good;
  version2[8] = 2;
  const std::pair<Bytes, std::string> cases[] = {
      {Bytes(good.begin(), good.begin() + 9),
       "not a complete TZX tape: its 10-byte header is cut short"},
      {version2, "not a TZX tape of version 1: its major version is 2"},
      {Bytes{'Z', 'X', 'T', 'a', 'p', 'e', '!', 0},
       "not a TZX tape: it does not begin with \"ZXTape!\""},
  };
  for (const auto& [bytes, message] : cases) {
    try {
      ReadTzxFile(bytes, "t");
      ADD_FAILURE() << message;
    } catch (const ImageFormatError& error) {
      EXPECT_EQ(error.Message(), message);
    }
  }
  EXPECT_TRUE(ReadTzxFile(good, "t").files.empty());
}

TEST(TzxFile, RealTapesListTheirFiles) {
  const Bytes gimmick = ReadFileBytes(TestdataPath("tzx/zxgimmick-es.tzx"));
  const Collection collection = ReadTzxFile(gimmick, "zxgimmick-es");
  EXPECT_TRUE(collection.warnings.empty());
  struct Expected {
    std::string name;
    std::string type;
    std::uint32_t length;
    std::uint64_t offset;
  };
  // Standard speed blocks: ID, pause, length, then the flag.
  const Expected expected[] = {
      {"Gimmick", "Program", 42, 40},
      {"Gimmick", "Bytes", 321, 113},
      {"zxgimmick-es-block5", "Headerless", 3609, 441},
      {"zxgimmick-es-block6", "Headerless", 12467, 4057},
      {"zxgimmick-es-block7", "Headerless", 15563, 16531},
      {"zxgimmick-es-block8", "Headerless", 16120, 32101},
      {"zxgimmick-es-block9", "Headerless", 16177, 48228},
      {"zxgimmick-es-block10", "Headerless", 3043, 64412},
      {"zxgimmick-es-block11", "Headerless", 32325, 67462},
  };
  ASSERT_EQ(collection.files.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(collection.files[i].name, expected[i].name);
    EXPECT_EQ(collection.files[i].type, expected[i].type);
    EXPECT_EQ(collection.files[i].length, expected[i].length);
    EXPECT_EQ(collection.files[i].offset, expected[i].offset);
    EXPECT_FALSE(collection.files[i].isScreen);
  }
  EXPECT_EQ(collection.files[1].start, 24000);
  // The same game's TAP holds the same blocks.
  const Bytes tap = ReadFileBytes(TestdataPath("tap/zxgimmick-es.tap"));
  EXPECT_TRUE(std::equal(gimmick.begin() + 67462, gimmick.end(), tap.end() - 32327 + 1));

  // A turbo block with no pilot and no data, and generalized data of two bytes (flag and
  // checksum, no payload): nothing to list, nothing wrong.
  for (const char* name : {"tzx/turbo-zeropilot.tzx", "tzx/no-pilot-gdb.tzx"}) {
    const Collection empty = ReadTzxFile(ReadFileBytes(TestdataPath(name)), "t");
    EXPECT_TRUE(empty.files.empty()) << name;
    EXPECT_TRUE(empty.warnings.empty()) << name;
  }
}

}  // namespace
}  // namespace orlaspin::testing
