#include "mixed_collection.h"

#include <array>
#include <span>
#include <stdexcept>
#include <utility>

#include "archive_builders.h"
#include "disk_builders.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "tape_builders.h"
#include "test_files.h"
#include "trd_builder.h"
#include "zip_builder.h"

namespace orlaspin::bench {

namespace {

namespace fs = std::filesystem;
using testing::Bytes;

constexpr MixedKind kKinds[] = {MixedKind::Trd, MixedKind::Scl, MixedKind::Tap,
                                MixedKind::Tzx, MixedKind::Z80, MixedKind::Sna,
                                MixedKind::Szx, MixedKind::Td0, MixedKind::Dsk};
constexpr int kKindCount = static_cast<int>(std::size(kKinds));

constexpr int kImagesPerSet = 100;
constexpr int kZippedEvery = 10;
constexpr std::size_t kImagesPerZip = 5;

// Besides its screens, each disk and tape holds a code file, as games do; it is listed but not
// exported, so the reader's work on other files is part of what is timed.
constexpr std::uint16_t kCodeStart = 24576;
constexpr std::size_t kCodeLength = 2000;
const char* const kCodeName = "game";

constexpr std::uint8_t kBorder = 1;

std::string Padded(int number, std::size_t digits) {
  std::string text = std::to_string(number);
  return std::string(digits > text.size() ? digits - text.size() : 0, '0') + text;
}

std::string Extension(MixedKind kind) {
  switch (kind) {
    case MixedKind::Trd: return "trd";
    case MixedKind::Scl: return "scl";
    case MixedKind::Tap: return "tap";
    case MixedKind::Tzx: return "tzx";
    case MixedKind::Z80: return "z80";
    case MixedKind::Sna: return "sna";
    case MixedKind::Szx: return "szx";
    case MixedKind::Td0: return "td0";
    case MixedKind::Dsk: return "dsk";
  }
  throw std::logic_error("no such image kind");
}

// Successive images of a kind cycle through these counts: disks 4 to 8 screens, tapes 1 or 2.
int ScreenCountOf(int index) {
  const int round = index / kKindCount;
  switch (KindOf(index)) {
    case MixedKind::Trd:
    case MixedKind::Scl:
    case MixedKind::Td0:
    case MixedKind::Dsk: return 4 + round % 5;
    case MixedKind::Tap:
    case MixedKind::Tzx: return 1 + round % 2;
    case MixedKind::Z80:
    case MixedKind::Sna:
    case MixedKind::Szx: return 1;
  }
  throw std::logic_error("no such image kind");
}

std::string ScreenName(std::size_t number) { return "pic" + std::to_string(number + 1); }

Bytes Code(int index) {
  return testing::PseudoRandomBytes(static_cast<std::uint32_t>(index), kCodeLength);
}

testing::TrdBuilder TrDosDisk(int index, std::span<const ScreenBytes> screens) {
  testing::TrdBuilder disk;
  for (std::size_t i = 0; i < screens.size(); ++i) disk.AddScreen(ScreenName(i), screens[i]);
  disk.AddFile(kCodeName, 'C', Code(index), kCodeStart);
  disk.AddDiskInfo("BENCH");
  return disk;
}

Bytes SclArchive(int index, std::span<const ScreenBytes> screens) {
  std::vector<testing::ArchivedFile> files;
  for (std::size_t i = 0; i < screens.size(); ++i) {
    files.push_back(testing::ScreenFile(ScreenName(i), screens[i]));
  }
  files.push_back({.name = kCodeName,
                   .extension = 'C',
                   .start = kCodeStart,
                   .data = Code(index),
                   .length = std::nullopt,
                   .sectorCount = std::nullopt});
  return testing::BuildScl(files);
}

// The blocks the ROM saves: each screen behind its header, then the code behind its header.
std::vector<Bytes> TapeBlocks(int index, std::span<const ScreenBytes> screens) {
  std::vector<Bytes> blocks;
  for (std::size_t i = 0; i < screens.size(); ++i) {
    for (Bytes& block : testing::SavedScreen(ScreenName(i), screens[i])) {
      blocks.push_back(std::move(block));
    }
  }
  const Bytes code = Code(index);
  blocks.push_back(
      testing::HeaderBlock(3, kCodeName, static_cast<std::uint16_t>(code.size()), kCodeStart));
  blocks.push_back(testing::LoadedBlock(0xFF, code));
  return blocks;
}

Bytes TzxTape(int index, std::span<const ScreenBytes> screens) {
  testing::TzxBuilder tape;
  for (const Bytes& block : TapeBlocks(index, screens)) tape.StandardSpeed(block);
  return tape.Build();
}

// The 48K RAM cut into its three pages: 0x4000 (with the screen), 0x8000 and 0xC000.
std::array<Bytes, 3> RamPages(const ScreenBytes& screen) {
  const Bytes ram = testing::Ram48(screen);
  std::array<Bytes, 3> pages;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const auto begin = ram.begin() + static_cast<std::ptrdiff_t>(i * testing::kPageSize);
    pages[i].assign(begin, begin + static_cast<std::ptrdiff_t>(testing::kPageSize));
  }
  return pages;
}

// Old and newer Z80 files in turn: version 1, then version 3 with the 48K pages 8, 4 and 5.
Bytes Z80Snapshot(int index, const ScreenBytes& screen) {
  if (index / kKindCount % 2 == 0) {
    return testing::BuildZ80Version1(testing::Ram48(screen), kBorder, true);
  }
  std::array<Bytes, 3> ram = RamPages(screen);
  const testing::Z80Page pages[] = {
      {8, std::move(ram[0])}, {4, std::move(ram[1])}, {5, std::move(ram[2])}};
  return testing::BuildZ80Version2Or3(54, 0, 0, kBorder, pages);
}

// A 48K machine's RAM pages 5, 2 and 0, compressed as emulators save them.
Bytes SzxSnapshot(const ScreenBytes& screen) {
  std::array<Bytes, 3> ram = RamPages(screen);
  const testing::SzxPage pages[] = {
      {5, std::move(ram[0]), true}, {2, std::move(ram[1]), true}, {0, std::move(ram[2]), true}};
  return testing::BuildSzx(1, testing::SzxSpecRegs{kBorder, 0}, pages);
}

// A whole 80-track double-sided TR-DOS disk as Teledisk stores it.
Bytes Td0Disk(int index, std::span<const ScreenBytes> screens) {
  const Bytes linear = TrDosDisk(index, screens).Build();
  return testing::BuildTd0(testing::TrDosDisk(linear, 80, 2));
}

// A +3DOS disk, standard and extended DSK in turn.
Bytes Plus3DskDisk(int index, std::span<const ScreenBytes> screens) {
  std::vector<testing::Plus3File> files;
  for (std::size_t i = 0; i < screens.size(); ++i) {
    files.push_back(testing::Plus3Screen(ScreenName(i), screens[i]));
  }
  files.push_back({.name = kCodeName,
                   .extension = "bin",
                   .headerType = 3,
                   .param1 = kCodeStart,
                   .data = Code(index)});
  return testing::BuildDsk(testing::Plus3Disk(files), index / kKindCount % 2 == 1);
}

Bytes ImageBytes(int index, std::span<const ScreenBytes> screens) {
  switch (KindOf(index)) {
    case MixedKind::Trd: return TrDosDisk(index, screens).Build();
    case MixedKind::Scl: return SclArchive(index, screens);
    case MixedKind::Tap: return testing::BuildTap(TapeBlocks(index, screens));
    case MixedKind::Tzx: return TzxTape(index, screens);
    case MixedKind::Z80: return Z80Snapshot(index, screens.front());
    case MixedKind::Sna: return testing::BuildSna48(testing::Ram48(screens.front()), kBorder);
    case MixedKind::Szx: return SzxSnapshot(screens.front());
    case MixedKind::Td0: return Td0Disk(index, screens);
    case MixedKind::Dsk: return Plus3DskDisk(index, screens);
  }
  throw std::logic_error("no such image kind");
}

void MakeEmptyFolder(const fs::path& folder) {
  if (fs::exists(folder) && !fs::is_empty(folder)) {
    throw std::runtime_error(testing::Utf8FromPath(folder) + " is not empty");
  }
  fs::create_directories(folder);
}

void WriteFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
  testing::WriteFileBytes(testing::Utf8FromPath(path), bytes);
}

}  // namespace

MixedKind KindOf(int index) { return kKinds[index % kKindCount]; }

MixedImage MakeImage(int index, std::uint32_t firstSeed) {
  MixedImage image;
  image.name = "game" + Padded(index, 4) + "." + Extension(KindOf(index));
  for (int i = 0; i < ScreenCountOf(index); ++i) {
    image.screens.push_back(testing::ColourfulScreen(firstSeed + static_cast<std::uint32_t>(i)));
  }
  image.bytes = ImageBytes(index, image.screens);
  return image;
}

CollectionCounts WriteMixedCollection(int imageCount, const fs::path& folder,
                                      const fs::path& screensFolder) {
  if (imageCount < 0) throw std::invalid_argument("the image count cannot be negative");
  MakeEmptyFolder(folder);
  MakeEmptyFolder(screensFolder);

  CollectionCounts counts;
  std::vector<testing::ZipEntry> members;
  fs::path zipPath;
  int zipCount = 0;
  const auto writeZip = [&] {
    WriteFile(zipPath, testing::BuildZip(members));
    members.clear();
  };
  for (int index = 0; index < imageCount; ++index) {
    MixedImage image = MakeImage(index, static_cast<std::uint32_t>(counts.screens));
    for (const ScreenBytes& screen : image.screens) {
      WriteFile(screensFolder / (Padded(counts.screens++, 6) + ".scr"), screen);
    }
    ++counts.images;

    const fs::path set = folder / ("set-" + Padded(index / kImagesPerSet, 2));
    fs::create_directories(set);
    if (index % kZippedEvery != kZippedEvery - 1) {
      WriteFile(set / image.name, image.bytes);
      continue;
    }
    if (members.empty()) zipPath = set / ("pack-" + Padded(zipCount++, 2) + ".zip");
    const std::string folderInZip = members.size() % 2 == 1 ? "more/" : "";
    members.push_back({.name = folderInZip + image.name, .data = std::move(image.bytes)});
    if (members.size() == kImagesPerZip) writeZip();
  }
  if (!members.empty()) writeZip();
  return counts;
}

}  // namespace orlaspin::bench
