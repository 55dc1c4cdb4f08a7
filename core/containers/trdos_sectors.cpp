#include "containers/trdos_sectors.h"

#include <algorithm>

#include "containers/catalogue.h"
#include "containers/trd_image.h"

namespace orlaspin {

namespace {

constexpr std::size_t kTrackBytes = kTrDosSectorsPerTrack * kTrDosSectorSize;
constexpr std::size_t kDiskInfoSector = 8;  // track 0, sector ID 9

}  // namespace

std::span<const std::uint8_t> RecordedBytes(std::span<const std::uint8_t> image,
                                            std::uint64_t start, std::uint64_t length) {
  if (start >= image.size()) return {};
  return image.subspan(
      static_cast<std::size_t>(start),
      static_cast<std::size_t>(std::min<std::uint64_t>(length, image.size() - start)));
}

void TrDosSectors::AddTrack(std::size_t track) {
  if (track >= kTrDosTrackLimit) return;
  const std::size_t size = (track + 1) * kTrackBytes;
  if (image_.size() >= size) return;
  image_.resize(size, 0);
  states_.resize(size / kTrDosSectorSize, State::Missing);
}

void TrDosSectors::AddSector(std::size_t track, std::uint8_t id, std::uint8_t sizeCode,
                             std::span<const std::uint8_t> data, bool damaged) {
  if (track >= kTrDosTrackLimit || sizeCode != kTrDosSizeCode || id < 1 ||
      id > kTrDosSectorsPerTrack || data.empty()) {
    return;
  }
  AddTrack(track);
  const std::size_t index = track * kTrDosSectorsPerTrack + id - 1;
  const State state = damaged || data.size() < kTrDosSectorSize ? State::Damaged : State::Read;
  if (states_[index] == State::Read || states_[index] == state) return;
  states_[index] = state;
  const auto sector = image_.begin() + static_cast<std::ptrdiff_t>(index * kTrDosSectorSize);
  std::fill_n(sector, kTrDosSectorSize, std::uint8_t{0});
  std::copy_n(data.begin(), std::min(data.size(), kTrDosSectorSize), sector);
}

SectorDamage TrDosSectors::DamageOf(std::uint64_t from, std::uint64_t length) const {
  SectorDamage damage;
  if (length == 0) return damage;
  const std::uint64_t first = from / kTrDosSectorSize;
  const std::uint64_t last = (from + length - 1) / kTrDosSectorSize;
  damage.sectors = static_cast<std::size_t>(last - first + 1);
  for (std::uint64_t i = first; i <= last; ++i) {
    const State state = i < states_.size() ? states_[i] : State::Missing;
    if (state == State::Missing) ++damage.missing;
    if (state == State::Damaged) ++damage.damaged;
  }
  return damage;
}

Collection TrDosSectors::ReadCatalogue(ImageKind kind) && {
  if (states_.size() <= kDiskInfoSector || states_[kDiskInfoSector] == State::Missing) {
    throw ImageFormatError(
        "not a TR-DOS disk: track 0 has no 256-byte sector 9, where TR-DOS keeps its disk "
        "information");
  }
  if (!HasTrdDiskIdentifier(image_)) {
    throw ImageFormatError("not a TR-DOS disk: track 0 sector 9 lacks TR-DOS's disk identifier");
  }
  Collection collection = ReadTrdCatalogue(image_);
  collection.kind = kind;

  WarnOfDamage("the catalogue", DamageOf(0, kCatalogueBytes), collection.warnings);
  for (const CollectionFile& file : collection.files) {
    WarnOfDamage(FileDescription(file.name), DamageOf(file.offset, file.length),
                 collection.warnings);
  }
  collection.unpacked = std::move(image_);
  return collection;
}

}  // namespace orlaspin
