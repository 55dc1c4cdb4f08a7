#include "containers/zip_archive.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "archive_builders.h"
#include "containers/collection.h"
#include "screens.h"
#include "test_files.h"
#include "zip_builder.h"

namespace orlaspin::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ScreenVector(std::uint32_t seed) {
  const ScreenBytes screen = ColourfulScreen(seed);
  return {screen.begin(), screen.end()};
}

std::vector<std::string> Names(const ZipListing& listing) {
  std::vector<std::string> names;
  for (const ZipMember& member : listing.members) names.push_back(member.name);
  return names;
}

// Every member reads back as the entry of the same name.
void ExpectAllRead(const Bytes& archive, const ZipListing& listing,
                   std::span<const ZipEntry> entries) {
  for (const ZipMember& member : listing.members) {
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const ZipEntry& e) { return e.name == member.name; });
    ASSERT_NE(entry, entries.end()) << member.name;
    const ZipMemberData data = ExtractZipMember(archive, member);
    EXPECT_FALSE(data.problem) << member.name;
    EXPECT_EQ(data.bytes, entry->data) << member.name;
  }
}

std::optional<Warning> ProblemOf(const Bytes& archive, std::size_t index,
                                 std::uint64_t largest = kLargestZipMember) {
  const ZipListing listing = ListZipMembers(archive);
  if (index >= listing.members.size()) {
    ADD_FAILURE() << "no member " << index;
    return std::nullopt;
  }
  const ZipMemberData data = ExtractZipMember(archive, listing.members[index], largest);
  if (data.problem) {
    EXPECT_TRUE(data.bytes.empty());
  }
  return data.problem;
}

Bytes ZipOf(const ZipEntry& entry) { return BuildZip(std::span(&entry, 1)); }

TEST(ZipListing, MembersComeInArchiveOrderWithTheDirectorysFieldsAndFoldersLeftOut) {
  const ZipEntry entries[] = {
      {.name = "GAMES/", .deflate = false},
      {.name = "GAMES/A.trd", .data = SampleBytes(5000, 1)},
      {.name = "PIC.scr", .data = ScreenVector(2), .deflate = false},
      {.name = "EMPTY", .deflate = false},
      {.name = "EMPTY.def"},
  };
  const Bytes archive = BuildZip(entries);
  const ZipListing listing = ListZipMembers(archive);
  EXPECT_TRUE(listing.warnings.empty());
  ASSERT_EQ(Names(listing),
            (std::vector<std::string>{"GAMES/A.trd", "PIC.scr", "EMPTY", "EMPTY.def"}));
  const ZipMember& game = listing.members[0];
  EXPECT_EQ(game.method, 8);
  EXPECT_EQ(game.size, 5000u);
  EXPECT_EQ(game.compressedSize, RawDeflate(entries[1].data).size());
  EXPECT_LT(game.compressedSize, game.size);
  EXPECT_EQ(game.crc, Crc32Of(entries[1].data));
  EXPECT_EQ(game.localHeaderAt, 30u + 6u);  // after the folder's header and name
  EXPECT_FALSE(game.IsEncrypted());
  const ZipMember& picture = listing.members[1];
  EXPECT_EQ(picture.method, 0);
  EXPECT_EQ(picture.size, 6912u);
  EXPECT_EQ(picture.compressedSize, 6912u);
  EXPECT_EQ(picture.localHeaderAt, game.localHeaderAt + 30 + 11 + game.compressedSize);
  ExpectAllRead(archive, listing, entries);
}

TEST(ZipListing, SizesFollowingTheDataAreTakenFromTheDirectory) {
  const ZipEntry entries[] = {
      {.name = "A.scr", .data = ScreenVector(1), .descriptor = true},
      {.name = "B.scr", .data = ScreenVector(2), .descriptor = true, .descriptorSignature = false},
      {.name = "C.scr", .data = ScreenVector(3), .deflate = false, .descriptor = true},
  };
  for (const bool zip64 : {false, true}) {
    const Bytes archive = BuildZip(entries, {.zip64 = zip64});
    const ZipListing listing = ListZipMembers(archive);
    EXPECT_TRUE(listing.warnings.empty());
    ASSERT_EQ(listing.members.size(), 3u) << zip64;
    for (const ZipMember& member : listing.members) EXPECT_EQ(member.size, 6912u);
    ExpectAllRead(archive, listing, entries);
  }
}

TEST(ZipListing, Zip64RecordsGiveTheCountSizesAndOffsets) {
  const ZipEntry entries[] = {
      {.name = "ONE.trd", .data = SampleBytes(70000, 3)},
      {.name = "TWO.scr", .data = ScreenVector(4), .deflate = false},
  };
  const Bytes archive = BuildZip(entries, {.zip64 = true});
  const ZipListing listing = ListZipMembers(archive);
  EXPECT_TRUE(listing.warnings.empty());
  ASSERT_EQ(Names(listing), (std::vector<std::string>{"ONE.trd", "TWO.scr"}));
  EXPECT_EQ(listing.members[0].size, 70000u);
  EXPECT_EQ(listing.members[0].compressedSize, RawDeflate(entries[0].data).size());
  // The local header carries a 20-byte ZIP64 extra field after its name.
  EXPECT_EQ(listing.members[1].localHeaderAt, 30 + 7 + 20 + listing.members[0].compressedSize);
  ExpectAllRead(archive, listing, entries);
}

TEST(ZipListing, BytesBeforeTheArchiveMoveEveryOffset) {
  const ZipEntry entries[] = {
      {.name = "A.trd", .data = SampleBytes(3000, 5)},
      {.name = "B.scr", .data = ScreenVector(6), .descriptor = true},
  };
  Bytes stub = {'M', 'Z'};
  stub.resize(1000, 0x90);
  for (const bool zip64 : {false, true}) {
    const Bytes archive = BuildZip(entries, {.zip64 = zip64, .prefix = stub});
    const ZipListing listing = ListZipMembers(archive);
    EXPECT_TRUE(listing.warnings.empty()) << zip64;
    ASSERT_EQ(listing.members.size(), 2u) << zip64;
    EXPECT_EQ(listing.members[0].localHeaderAt, 1000u);
    ExpectAllRead(archive, listing, entries);
  }
}

TEST(ZipListing, TheEndRecordIsTheOneItsCommentLeadsFromEvenWithASignatureInTheComment) {
  const ZipEntry entries[] = {{.name = "A.scr", .data = ScreenVector(7)}};
  const std::string strayRecord(
      "PK\x05\x06\x09\x09\x09\x09\x01\x00\x01\x00\xFF\xFF\x00\x00"
      "\x00\x00\x00\x00\x00\x00 and more",
      31);
  const Bytes archive = BuildZip(entries, {.comment = "made by hand " + strayRecord});
  const ZipListing listing = ListZipMembers(archive);
  EXPECT_TRUE(listing.warnings.empty());
  ExpectAllRead(archive, listing, entries);
  EXPECT_EQ(listing.members.size(), 1u);
}

TEST(ZipListing, NamesAreCodePage437UnlessMarkedAsUtf8) {
  const ZipEntry entries[] = {
      {.name = "\x80\x9B\xE1\xF9\xFA\xFF\xB0.scr", .data = ScreenVector(1)},
      {.name = "\xD0\x98\xD0\x93\xD0\xA0\xD0\x90.scr", .data = ScreenVector(2), .utf8Name = true},
      {.name = "dir\\OLD.scr", .data = ScreenVector(3)},
  };
  const ZipListing listing = ListZipMembers(BuildZip(entries));
  // Ç ¢ ß ∙ · no-break space ░; then И Г Р А kept as UTF-8; a backslash kept as it is.
  EXPECT_EQ(Names(listing),
            (std::vector<std::string>{
                "\xC3\x87\xC2\xA2\xC3\x9F\xE2\x88\x99\xC2\xB7\xC2\xA0\xE2\x96\x91.scr",
                "\xD0\x98\xD0\x93\xD0\xA0\xD0\x90.scr", "dir\\OLD.scr"}));
}

TEST(ZipListing, DataBeginsAfterTheLocalHeadersOwnExtraField) {
  // An extended timestamp in the local header only, as Info-ZIP writes it.
  const ZipEntry entries[] = {
      {.name = "A.scr",
       .data = ScreenVector(8),
       .localExtra = {0x55, 0x54, 0x05, 0x00, 0x01, 0x10, 0x20, 0x30, 0x40}},
      {.name = "B.scr", .data = ScreenVector(9), .deflate = false, .localExtra = {0x0A, 0, 0, 0}},
  };
  const Bytes archive = BuildZip(entries);
  ExpectAllRead(archive, ListZipMembers(archive), entries);
}

TEST(ZipListing, AnEmptyArchiveHasNoMembersAndABareSignatureIsNoArchive) {
  const Bytes empty = BuildZip({});
  EXPECT_EQ(empty.size(), 22u);
  EXPECT_TRUE(HasZipSignature(empty));
  const ZipListing listing = ListZipMembers(empty);
  EXPECT_TRUE(listing.members.empty());
  EXPECT_TRUE(listing.warnings.empty());

  EXPECT_TRUE(HasZipSignature(ZipOf({.name = "A"})));
  EXPECT_FALSE(HasZipSignature(Bytes{'P', 'K', 3}));
  EXPECT_FALSE(HasZipSignature(Bytes{'P', 'K', 5, 6}));
  for (const Bytes& notZip : {Bytes{}, Bytes{'P', 'K'}, SampleBytes(100000, 1)}) {
    try {
      ListZipMembers(notZip);
      ADD_FAILURE() << "no error for " << notZip.size() << " bytes";
    } catch (const ImageFormatError& error) {
      EXPECT_TRUE(error.Message().starts_with("not a ZIP archive: ")) << error.Message();
    }
  }
}

TEST(ZipMemberFaults, EachRefusesItsMemberAndSaysWhy) {
  const Bytes screen = ScreenVector(1);
  const Bytes deflated = RawDeflate(screen);
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A", .data = screen, .encrypted = true}), 0),
            (Warning{Problem::MemberEncrypted}));
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A", .data = screen, .method = 12}), 0),
            (Warning{Problem::MemberMethodUnsupported, {}, Details(12)}));
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A", .data = screen, .crc = Crc32Of(screen) ^ 1}), 0),
            (Warning{Problem::MemberWrongCrc}));
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A", .data = screen, .deflate = false, .size = 6000}), 0),
            (Warning{Problem::MemberSizeMismatch, {}, Details("6912 bytes", "6000 bytes")}));
  // Block type 3 does not exist.
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A", .data = screen, .storedBytes = Bytes{0xFF, 0xFF}}), 0),
            (Warning{Problem::MemberBrokenDeflate}));
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A",
                             .data = screen,
                             .storedBytes = Bytes(deflated.begin(), deflated.end() - 20)}),
                      0),
            (Warning{Problem::MemberCutShort}));
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A", .data = screen, .size = 6000}), 0),
            (Warning{Problem::MemberInflatesTooLong, {}, Details("6000 bytes")}));
  // The stream ends one byte past the size, inside the room kept to see an overrun.
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A", .data = screen, .size = 6911}), 0),
            (Warning{Problem::MemberInflatesTooLong, {}, Details("6911 bytes")}));
}

TEST(ZipMemberFaults, FewerBytesThanTheSizeSaysAreReadWhenTheirCrcIsRight) {
  const Bytes screen = ScreenVector(1);
  for (const bool deflate : {true, false}) {
    const Bytes archive = ZipOf({.name = "A", .data = screen, .deflate = deflate, .size = 7000});
    const ZipMember member = ListZipMembers(archive).members.at(0);
    EXPECT_EQ(member.size, 7000u);
    EXPECT_EQ(ExtractZipMember(archive, member).bytes, screen) << deflate;
    EXPECT_EQ(ProblemOf(ZipOf({.name = "A",
                               .data = screen,
                               .deflate = deflate,
                               .crc = Crc32Of(screen) + 1,
                               .size = 7000}),
                        0),
              (Warning{Problem::MemberWrongCrc}));
  }
}

TEST(ZipMemberFaults, AFaultyMemberLeavesTheOthersReadable) {
  const ZipEntry entries[] = {
      {.name = "A.scr", .data = ScreenVector(1)},
      {.name = "B.scr", .data = ScreenVector(2), .crc = 0},
      {.name = "C.scr", .data = ScreenVector(3), .encrypted = true},
      {.name = "D.scr", .data = ScreenVector(4), .deflate = false},
  };
  const Bytes archive = BuildZip(entries);
  const ZipListing listing = ListZipMembers(archive);
  ASSERT_EQ(listing.members.size(), 4u);
  EXPECT_TRUE(listing.members[2].IsEncrypted());
  EXPECT_EQ(ExtractZipMember(archive, listing.members[0]).bytes, entries[0].data);
  EXPECT_EQ(ExtractZipMember(archive, listing.members[1]).problem,
            (Warning{Problem::MemberWrongCrc}));
  EXPECT_EQ(ExtractZipMember(archive, listing.members[2]).problem,
            (Warning{Problem::MemberEncrypted}));
  EXPECT_EQ(ExtractZipMember(archive, listing.members[3]).bytes, entries[3].data);
}

TEST(ZipMemberFaults, NoMemberIsReadPastTheLimitWhateverItClaims) {
  const Bytes zeros(2 << 20, 0);
  const Bytes bomb = RawDeflate(zeros);
  ASSERT_LT(bomb.size(), 5000u);
  const std::uint32_t crc = Crc32Of(zeros);
  const auto withClaim = [&](std::uint32_t size) {
    return ZipOf({.name = "BOMB.trd", .crc = crc, .size = size, .storedBytes = bomb});
  };
  constexpr std::uint64_t kOneMiB = 1 << 20;
  EXPECT_EQ(ProblemOf(withClaim(2 << 20), 0, kOneMiB),
            (Warning{Problem::MemberTooLarge, {}, Details("1 MiB")}));
  EXPECT_EQ(ProblemOf(withClaim(1 << 20), 0, kOneMiB),
            (Warning{Problem::MemberInflatesTooLong, {}, Details("1 MiB")}));
  EXPECT_EQ(ProblemOf(withClaim(1000), 0, kOneMiB),
            (Warning{Problem::MemberInflatesTooLong, {}, Details("1000 bytes")}));
  EXPECT_EQ(ProblemOf(withClaim(0xFFFFFFFF), 0),
            (Warning{Problem::MemberTooLarge, {}, Details("64 MiB")}));
  EXPECT_EQ(ProblemOf(ZipOf({.name = "A",
                             .deflate = false,
                             .size = (64 << 20) + 1,
                             .storedBytes = Bytes(100, 1)}),
                      0),
            (Warning{Problem::MemberTooLarge, {}, Details("64 MiB")}));
  // At the limit itself a member is read.
  const Bytes archive = withClaim(2 << 20);
  const ZipMemberData atLimit =
      ExtractZipMember(archive, ListZipMembers(archive).members[0], 2 << 20);
  EXPECT_FALSE(atLimit.problem);
  EXPECT_EQ(atLimit.bytes, zeros);
}

// An archive of five members for the damage tests, their data of different lengths.
std::vector<ZipEntry> FiveMembers() {
  return {
      {.name = "ONE.scr", .data = ScreenVector(1)},
      {.name = "TWO.trd", .data = SampleBytes(9000, 2), .descriptor = true},
      {.name = "DIR/", .deflate = false},
      {.name = "THREE.scr", .data = ScreenVector(3), .deflate = false},
      {.name = "FOUR.trd", .data = SampleBytes(20000, 4), .descriptor = true},
  };
}

TEST(DamagedZip, ACutArchiveListsTheMembersWhoseHeadersAreWhole) {
  const std::vector<ZipEntry> entries = FiveMembers();
  const Bytes whole = BuildZip(entries);
  const ZipListing complete = ListZipMembers(whole);
  ASSERT_EQ(complete.members.size(), 4u);
  const std::uint64_t fourAt = complete.members[3].localHeaderAt;

  // Cut inside FOUR's data: its descriptor is gone, so its sizes are unknown.
  const Bytes insideData(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(fourAt + 100));
  ZipListing listing = ListZipMembers(insideData);
  EXPECT_EQ(Names(listing), (std::vector<std::string>{"ONE.scr", "TWO.trd", "THREE.scr"}));
  ASSERT_EQ(listing.warnings.size(), 2u);
  EXPECT_EQ(listing.warnings[0], Warning{Problem::ZipNoEndRecord});
  EXPECT_EQ(listing.warnings[1], (Warning{Problem::ZipDescriptorMissing, "FOUR.trd"}));
  ExpectAllRead(insideData, listing, entries);

  // Cut inside THREE's stored data: listed, its header being whole, and cut short.
  const std::uint64_t threeAt = complete.members[2].localHeaderAt;
  const Bytes insideStored(whole.begin(),
                           whole.begin() + static_cast<std::ptrdiff_t>(threeAt + 30 + 9 + 100));
  listing = ListZipMembers(insideStored);
  ASSERT_EQ(Names(listing), (std::vector<std::string>{"ONE.scr", "TWO.trd", "THREE.scr"}));
  EXPECT_EQ(ExtractZipMember(insideStored, listing.members[2]).problem,
            (Warning{Problem::MemberCutShort}));

  // Cut inside THREE's local header.
  const Bytes insideHeader(whole.begin(),
                           whole.begin() + static_cast<std::ptrdiff_t>(threeAt + 20));
  listing = ListZipMembers(insideHeader);
  EXPECT_EQ(Names(listing), (std::vector<std::string>{"ONE.scr", "TWO.trd"}));
  EXPECT_EQ(listing.warnings.back(), Warning{Problem::ZipEndsInLocalHeader});
}

TEST(DamagedZip, ADamagedDirectoryGivesWayToTheLocalHeaders) {
  std::vector<ZipEntry> entries = FiveMembers();
  entries.push_back({.name = "LAST.scr",
                     .data = ScreenVector(5),
                     .descriptor = true,
                     .descriptorSignature = false});
  Bytes archive = BuildZip(entries);
  const ZipListing complete = ListZipMembers(archive);
  ASSERT_EQ(complete.members.size(), 5u);

  const auto directoryAt = static_cast<std::size_t>(U32At(archive, archive.size() - 6));
  archive[directoryAt + 2] = 'X';
  const ZipListing listing = ListZipMembers(archive);
  EXPECT_EQ(Names(listing),
            (std::vector<std::string>{"ONE.scr", "TWO.trd", "THREE.scr", "FOUR.trd"}));
  EXPECT_EQ(listing.warnings, (std::vector<Warning>{{Problem::ZipDirectoryDamaged},
                                                    {Problem::ZipDescriptorMissing, "LAST.scr"}}));
  for (std::size_t i = 0; i < listing.members.size(); ++i) {
    EXPECT_EQ(listing.members[i].crc, complete.members[i].crc);
    EXPECT_EQ(listing.members[i].size, complete.members[i].size);
    EXPECT_EQ(listing.members[i].compressedSize, complete.members[i].compressedSize);
  }
  ExpectAllRead(archive, listing, entries);
}

TEST(DamagedZip, DirectoryFieldsThatDisagreeWithTheBytesAreDamage) {
  const std::vector<ZipEntry> entries = FiveMembers();
  const Bytes whole = BuildZip(entries);
  const std::size_t endAt = whole.size() - 22;
  const auto withU32 = [&](std::size_t at, std::uint32_t value) {
    Bytes changed = whole;
    for (int i = 0; i < 4; ++i) changed[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    return changed;
  };
  const Bytes moreEntries = withU32(endAt + 8, 0xFFFFFFFF);  // both counts 65535
  const Bytes longerDirectory = withU32(endAt + 12, 0x7FFFFFFF);
  const Bytes offsetPastEnd = withU32(endAt + 16, 0xFFFFFFF0);
  for (const Bytes* damaged : {&moreEntries, &longerDirectory, &offsetPastEnd}) {
    const ZipListing listing = ListZipMembers(*damaged);
    ASSERT_FALSE(listing.warnings.empty());
    EXPECT_EQ(listing.warnings[0], Warning{Problem::ZipDirectoryDamaged});
    EXPECT_EQ(listing.members.size(), 4u);
    ExpectAllRead(*damaged, listing, entries);
  }
  // A header whose name runs past the directory.
  Bytes longName = whole;
  const auto directoryAt = static_cast<std::size_t>(U32At(whole, endAt + 16));
  longName[directoryAt + 28] = 0xFF;
  longName[directoryAt + 29] = 0xFF;
  EXPECT_FALSE(ListZipMembers(longName).warnings.empty());
}

TEST(RealZip, EveryMemberOfTheCalmCommanderArchiveReadsWithItsDirectorysSizes) {
  const Bytes archive =
      ReadFileBytes(TestdataPath("zip/perrada69_CalmCommander__build_CalmCommander_v1.3.zip"));
  const ZipListing listing = ListZipMembers(archive);
  EXPECT_TRUE(listing.warnings.empty());
  ASSERT_EQ(listing.members.size(), 18u);  // 19 entries, one of them the folder plugin/
  EXPECT_EQ(listing.members.front().name, "cc_xb.bin");
  EXPECT_EQ(listing.members[1].name, "plugin/bas.ccp");
  EXPECT_EQ(listing.members.back().name, "cc.bin");
  EXPECT_EQ(listing.members.back().size, 28257u);
  for (const ZipMember& member : listing.members) {
    EXPECT_EQ(member.flags & 8, 8) << member.name;
    const ZipMemberData data = ExtractZipMember(archive, member);
    EXPECT_FALSE(data.problem) << member.name;
    EXPECT_EQ(data.bytes.size(), member.size) << member.name;
    EXPECT_EQ(Crc32Of(data.bytes), member.crc) << member.name;
  }

  // Without its end record the local headers and descriptors give the same members.
  const Bytes cut(archive.begin(), archive.end() - 22);
  const ZipListing scanned = ListZipMembers(cut);
  ASSERT_EQ(scanned.members.size(), listing.members.size());
  EXPECT_EQ(scanned.warnings.size(), 1u);
  for (std::size_t i = 0; i < listing.members.size(); ++i) {
    const ZipMember& expected = listing.members[i];
    const ZipMember& found = scanned.members[i];
    EXPECT_EQ(found.name, expected.name);
    EXPECT_EQ(found.crc, expected.crc) << expected.name;
    EXPECT_EQ(found.size, expected.size) << expected.name;
    EXPECT_EQ(found.compressedSize, expected.compressedSize) << expected.name;
    EXPECT_EQ(found.localHeaderAt, expected.localHeaderAt) << expected.name;
  }
}

}  // namespace
}  // namespace orlaspin::testing
