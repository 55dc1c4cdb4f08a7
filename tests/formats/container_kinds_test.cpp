// The table of container kinds: every row reachable by its extensions and, where it has a probe,
// by its content alone; no extension taken by two rows.
#include "containers/container_kinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>

#include "archive_builders.h"
#include "containers/image_reader.h"
#include "disk_builders.h"
#include "disk_samples.h"
#include "packers.h"
#include "unpack/unpackers.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "tape_builders.h"

namespace orlaspin::testing {
namespace {

std::map<ImageKind, Bytes> SampleOfEveryKind() {
  const DiskRecord disk = TrDosDisk(SampleTrDosImage(), kSampleCylinders, kSampleHeads);
  const ArchivedFile files[] = {ScreenFile("ONE", ColourfulScreen(1))};
  const ScreenBytes screen = ColourfulScreen(1);
  const SzxPage pages[] = {{5, PageWithScreen(screen)}};
  const Plus3File plus3[] = {Plus3Screen("TITLE", screen)};
  return {
      {ImageKind::TrdImage, SampleTrDosImage()},
      {ImageKind::SclArchive, BuildScl(files)},
      {ImageKind::HobetaFile, BuildHobeta(files[0])},
      {ImageKind::BareScreen, Bytes(screen.begin(), screen.end())},
      {ImageKind::PackedFile, {}},
      {ImageKind::Fdi, BuildFdi(disk)},
      {ImageKind::Udi, BuildUdi(disk, {{}, true})},
      {ImageKind::Td0, BuildTd0(disk, {"comment", false})},
      {ImageKind::Dsk, BuildDsk(Plus3Disk(plus3), true)},
      {ImageKind::Tap, BuildTap(SavedScreen("pic", screen))},
      {ImageKind::Tzx, TzxBuilder().ScreenInfo("pic", 1, screen).Build()},
      {ImageKind::Pzx, PzxBuilder().Data(LoadedBlock(0xFF, ScreenPayload(screen))).Build()},
      {ImageKind::Sna, BuildSna48(Ram48(screen), 0)},
      {ImageKind::Z80, BuildZ80Version1(Ram48(screen), 0, true)},
      {ImageKind::Szx, BuildSzx(1, std::nullopt, pages)},
      {ImageKind::Nex,
       BuildNex({.screens = 0x02}, std::vector<Bytes>{Bytes(screen.begin(), screen.end())})},
  };
}

// A name the pattern matches, in mixed case ("$?" gives "$C").
std::string NameFor(std::string_view pattern) {
  std::string name;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i] == '?' ? 'c' : pattern[i];
    name += i % 2 == 0 ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
  }
  return name;
}

// A packed screen's sample is packed by the packer of its extension.
Bytes SampleOf(ImageKind kind, std::string_view pattern,
               const std::map<ImageKind, Bytes>& samples) {
  if (kind != ImageKind::PackedFile) return samples.at(kind);
  const auto rows = Unpackers();
  const auto row = std::ranges::find_if(
      rows, [&](const Unpacker& u) { return u.extensions.front() == pattern; });
  return TestPackers()[row - rows.begin()].pack(samples.at(ImageKind::BareScreen));
}

TEST(ContainerKinds, EveryRowIsReachableByItsExtensionsAndItsProbe) {
  const std::map<ImageKind, Bytes> samples = SampleOfEveryKind();
  for (const ContainerKind& row : ContainerKinds()) {
    SCOPED_TRACE(std::string(row.word));
    ASSERT_TRUE(samples.contains(row.kind)) << "no sample of a kind in the table";
    const Bytes& sample = samples.at(row.kind);
    for (std::string_view pattern : row.extensions) {
      const Collection collection =
          ReadCollection("dir/a." + NameFor(pattern), SampleOf(row.kind, pattern, samples));
      EXPECT_EQ(collection.kind, row.kind) << pattern;
      EXPECT_FALSE(collection.files.empty()) << pattern;
    }
    if (row.probe) {
      EXPECT_EQ(ReadCollection("dir/noextension", sample).kind, row.kind);
      EXPECT_TRUE(IsKnownImage("a.bin", sample));
    } else {
      EXPECT_THROW(ReadCollection("a.bin", sample), ImageFormatError);
    }
  }
}

TEST(ContainerKinds, NamesExtensionsAndRanksAreTakenOnce) {
  std::set<std::string_view> words, patterns;
  std::set<int> ranks;
  const std::string refusal = NoKnownKindText();
  for (const ContainerKind& row : ContainerKinds()) {
    EXPECT_TRUE(words.insert(row.word).second) << row.word;
    EXPECT_EQ(&RowOf(row.kind), &row);
    EXPECT_EQ(KindName(row.kind), row.word);
    EXPECT_NE(refusal.find(row.noun), std::string::npos) << row.noun;
    if (row.probe) {
      EXPECT_TRUE(ranks.insert(row.probeRank).second) << row.word;
    }
    for (std::string_view pattern : row.extensions) {
      EXPECT_TRUE(patterns.insert(pattern).second) << pattern;
      EXPECT_EQ(KindByExtension(pattern, {}), &row) << pattern;
    }
  }
  // A screen format's extension belongs to the bare screens alone.
  for (const ScreenFormatRow& format : ScreenFormatRows()) {
    for (const std::string_view extension : format.extensions) {
      if (extension.empty()) continue;
      const Bytes sized(format.sizes[0], 0);
      const ContainerKind* kind = KindByExtension(extension, sized);
      // A format known by its header alone is claimed only where the header is right.
      if (format.sizes[0] != 0) {
        ASSERT_NE(kind, nullptr) << extension;
        EXPECT_EQ(kind->kind, ImageKind::BareScreen) << extension;
      }
    }
  }
  EXPECT_EQ(KindByExtension("txt", Bytes(6912, 0)), nullptr);
}

}  // namespace
}  // namespace orlaspin::testing
