#include "trd_builder.h"

#include <algorithm>
#include <stdexcept>

#include "test_files.h"

namespace orlaspin::testing {
namespace {

constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kMaxEntries = 128;
constexpr std::size_t kNameSize = 8;

void PutU16LE(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

TrdBuilder::TrdBuilder(std::size_t imageSize) : image_(imageSize, 0) {}

TrdBuilder& TrdBuilder::AddEntry(const EntrySpec& entry) {
  if (entries_ == kMaxEntries) throw std::length_error("a catalogue holds 128 entries");
  if (entry.name.size() > kNameSize)
    throw std::length_error("name longer than 8 bytes: " + entry.name);

  std::uint8_t bytes[kEntrySize];
  std::fill(std::begin(bytes), std::end(bytes), std::uint8_t{' '});
  std::copy(entry.name.begin(), entry.name.end(), bytes);
  bytes[8] = entry.extension;
  PutU16LE(bytes + 9, entry.start);
  PutU16LE(bytes + 11, entry.length);
  bytes[13] = entry.sectorCount;
  bytes[14] = entry.firstSector;
  bytes[15] = entry.firstTrack;

  const std::size_t at = entries_ * kEntrySize;
  for (std::size_t i = 0; i < kEntrySize && at + i < image_.size(); ++i) image_[at + i] = bytes[i];
  ++entries_;
  return *this;
}

TrdBuilder& TrdBuilder::AddFile(std::string_view name, std::uint8_t extension,
                                std::span<const std::uint8_t> data, std::uint16_t start) {
  if (data.size() > 0xFFFF) throw std::length_error("file too long for TR-DOS");
  return AddPlacedEntry({.name = std::string(name),
                         .extension = extension,
                         .start = start,
                         .length = static_cast<std::uint16_t>(data.size())},
                        data);
}

TrdBuilder& TrdBuilder::AddPlacedEntry(const EntrySpec& entry, std::span<const std::uint8_t> data) {
  const std::size_t sectors = (data.size() + kSectorSize - 1) / kSectorSize;
  if (sectors > 0xFF) throw std::length_error("file too long for TR-DOS");
  const std::size_t track = nextFreeSector_ / kSectorsPerTrack;
  if (track > 0xFF) throw std::length_error("no free track left");

  EntrySpec placed = entry;
  placed.sectorCount = static_cast<std::uint8_t>(sectors);
  placed.firstSector = static_cast<std::uint8_t>(nextFreeSector_ % kSectorsPerTrack);
  placed.firstTrack = static_cast<std::uint8_t>(track);
  AddEntry(placed);
  const std::size_t at = nextFreeSector_ * kSectorSize;
  if (at < image_.size()) {
    const std::size_t fits = std::min(data.size(), image_.size() - at);
    std::copy_n(data.begin(), fits, image_.begin() + static_cast<std::ptrdiff_t>(at));
  }
  nextFreeSector_ += sectors;
  return *this;
}

TrdBuilder& TrdBuilder::AddScreen(std::string_view name, const ScreenBytes& screen) {
  return AddFile(name, 'C', screen, 16384);
}

TrdBuilder& TrdBuilder::AddDiskInfo(std::string_view label) {
  if (label.size() > kNameSize) throw std::length_error("label longer than 8 bytes");
  const std::size_t diskSectors = kFullImageSize / kSectorSize;
  const auto freeSectors =
      static_cast<std::uint16_t>(diskSectors - std::min(diskSectors, nextFreeSector_));
  std::uint8_t info[kSectorSize] = {};
  info[0xE1] = static_cast<std::uint8_t>(nextFreeSector_ % kSectorsPerTrack);
  info[0xE2] = static_cast<std::uint8_t>(nextFreeSector_ / kSectorsPerTrack);
  info[0xE3] = 0x16;  // 80 tracks, two sides
  info[0xE4] = static_cast<std::uint8_t>(entries_);
  PutU16LE(info + 0xE5, freeSectors);
  info[0xE7] = 0x10;  // TR-DOS
  std::fill(info + 0xEA, info + 0xF3, std::uint8_t{' '});
  std::fill(info + 0xF5, info + 0xFD, std::uint8_t{' '});
  std::copy(label.begin(), label.end(), info + 0xF5);
  return PutBytes(8 * kSectorSize, info);
}

TrdBuilder& TrdBuilder::PutBytes(std::size_t offset, std::span<const std::uint8_t> bytes) {
  if (image_.size() < offset + bytes.size()) image_.resize(offset + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), image_.begin() + static_cast<std::ptrdiff_t>(offset));
  return *this;
}

std::vector<std::uint8_t> TrdBuilder::Build() const { return image_; }

void TrdBuilder::WriteTo(const std::string& path) const { WriteFileBytes(path, image_); }

std::vector<std::uint8_t> SoundDataDisk(const ScreenBytes& loadingScreen,
                                        const std::vector<SoundFile>& soundFiles,
                                        std::size_t imageSize) {
  TrdBuilder builder(imageSize);
  builder.AddScreen("LOADING", loadingScreen);
  for (const SoundFile& sound : soundFiles) {
    builder.AddPlacedEntry({.name = sound.name, .start = 16384, .length = 6912}, sound.data);
  }
  // The game itself: long, and no screen.
  builder.AddFile("GAME", 'C', std::vector<std::uint8_t>(38324, 0xC9), 24576);
  return builder.AddDiskInfo("SOUNDS").Build();
}

}  // namespace orlaspin::testing
