#include "containers/sna_snapshot.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "archive_builders.h"
#include "listed_screens.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

using Screens = std::vector<ListedScreen>;

ScreenBytes BankScreen(unsigned bank) { return ColourfulScreen(100 + bank); }

Bytes Gunzip(const Bytes& packed) {
  Bytes bytes(1 << 20);
  z_stream stream{};
  EXPECT_EQ(inflateInit2(&stream, 16 + MAX_WBITS), Z_OK);
  stream.next_in = const_cast<Bytef*>(packed.data());
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = bytes.data();
  stream.avail_out = static_cast<uInt>(bytes.size());
  EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
  bytes.resize(stream.total_out);
  inflateEnd(&stream);
  return bytes;
}

TEST(SnaSnapshot, A48KSnapshotShowsTheScreenAfterItsHeader) {
  const ScreenBytes screen = ColourfulScreen(1);
  const Bytes sna = BuildSna48(Ram48(screen), 0xFD);
  ASSERT_EQ(sna.size(), 49179u);
  const Collection collection = ReadSnaSnapshot(sna, "game");
  EXPECT_EQ(collection.kind, ImageKind::Sna);
  EXPECT_TRUE(collection.warnings.empty());
  EXPECT_TRUE(collection.unpacked.empty());
  ASSERT_EQ(collection.files.size(), 1u);
  const CollectionFile& file = collection.files[0];
  EXPECT_EQ(file.name, "game");
  EXPECT_TRUE(file.nameIsFileName);
  EXPECT_EQ(file.type, "snapshot");
  EXPECT_EQ(file.border, 5);
  EXPECT_EQ(file.offset, 27u);
  EXPECT_EQ(file.length, 6912u);
  EXPECT_FALSE(file.start);
  EXPECT_EQ(ListedScreens(collection, sna), (Screens{{"game", screen}}));
}

TEST(SnaSnapshot, A128KSnapshotShowsBank7WhenPort7ffdBit3IsSet) {
  const auto banks = DistinctBanks();
  for (unsigned port = 0; port < 16; ++port) {
    SCOPED_TRACE(port);
    const Bytes sna = BuildSna128(banks, static_cast<std::uint8_t>(port), 2);
    const unsigned paged = port & 7;
    EXPECT_EQ(sna.size(), paged == 2 || paged == 5 ? 147487u : 131103u);
    const Collection collection = ReadSnaSnapshot(sna, "s");
    EXPECT_TRUE(collection.warnings.empty());
    EXPECT_EQ(ListedScreens(collection, sna), (Screens{{"s", BankScreen(port & 8 ? 7 : 5)}}));
    EXPECT_EQ(collection.files[0].border, 2);
  }
}

TEST(SnaSnapshot, OtherSizesAreReadWithAWarning) {
  const ScreenBytes screen = ColourfulScreen(2);
  const Bytes whole = BuildSna48(Ram48(screen), 1);
  const Bytes cut(whole.begin(), whole.begin() + 27 + 5000);
  const Collection collection = ReadSnaSnapshot(cut, "s");
  EXPECT_EQ(collection.warnings,
            (std::vector<Warning>{{Problem::SnaOddSize, {}, Details(5027)},
                                  {Problem::SnapshotScreenCutShort, {}, Details(5000, 6912)}}));
  EXPECT_EQ(ListedScreens(collection, cut), (Screens{{"s", CutScreen(screen, 5000)}}));

  // A 128K snapshot whose bank 7 is missing.
  const Bytes sna128 = BuildSna128(DistinctBanks(), 0x08 | 0x02, 0);
  const Bytes short128(sna128.begin(), sna128.begin() + 131103);
  const Collection missing = ReadSnaSnapshot(short128, "s");
  EXPECT_EQ(missing.warnings.size(), 1u);
  EXPECT_EQ(ListedScreens(missing, short128), (Screens{{"s", ScreenBytes{}}}));

  EXPECT_THROW(ReadSnaSnapshot(Bytes(26, 0), "s"), ImageFormatError);
  EXPECT_TRUE(HasSnaSize(49179) && HasSnaSize(131103) && HasSnaSize(147487));
  EXPECT_FALSE(HasSnaSize(49180) || HasSnaSize(131102) || HasSnaSize(6912));
}

TEST(SnaSnapshot, ARealSnapshotThatEmulatorsRefuseStillShowsItsScreen) {
  const Bytes sna = Gunzip(ReadFileBytes(TestdataPath("snap/sp-2000.sna.gz")));
  const Collection collection = ReadSnaSnapshot(sna, "sp-2000");
  EXPECT_TRUE(collection.warnings.empty());
  ASSERT_EQ(collection.files.size(), 1u);
  EXPECT_EQ(collection.files[0].offset, 27u);
  EXPECT_EQ(collection.files[0].border, sna[26] & 7);
  EXPECT_EQ(ScreenData(sna, collection.files[0]), ScreenBytes{});
}

}  // namespace
}  // namespace orlaspin::testing
