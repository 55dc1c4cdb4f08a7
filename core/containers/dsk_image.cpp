#include "containers/dsk_image.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "containers/plus3dos_disk.h"
#include "containers/trdos_sectors.h"

namespace orlaspin {

namespace {

constexpr std::string_view kStandardSignature = "MV - CPC";
constexpr std::string_view kExtendedSignature = "EXTENDED CPC DSK File";
constexpr std::size_t kDiskInfoSize = 0x100;
constexpr std::size_t kTrackCountAt = 0x30;
constexpr std::size_t kSideCountAt = 0x31;
constexpr std::size_t kTrackSizeAt = 0x32;       // standard: every track's size
constexpr std::size_t kTrackSizeTableAt = 0x34;  // extended: each track's size / 256

constexpr std::string_view kTrackSignature = "Track-Info";
constexpr std::size_t kTrackNumberAt = 0x10;
constexpr std::size_t kTrackSideAt = 0x11;
constexpr std::size_t kTrackSizeCodeAt = 0x14;
constexpr std::size_t kSectorCountAt = 0x15;
constexpr std::size_t kSectorInfoAt = 0x18;
constexpr std::size_t kSectorInfoSize = 8;
constexpr std::size_t kLargestSizeCode = 7;
// Status register bits of the sector: a CRC error in the ID or data (ST1), in the data (ST2);
// no data address mark (ST2): the sector has an ID and no data.
constexpr std::uint8_t kCrcErrorBit = 0x20;
constexpr std::uint8_t kNoDataMarkBit = 0x01;

constexpr std::size_t kTrDosInfoSectorId = 9;
constexpr std::size_t kTrDosIdentifierAt = 0xE7;
constexpr std::uint8_t kTrDosIdentifier = 0x10;

bool StartsWith(std::span<const std::uint8_t> image, std::string_view signature) {
  return image.size() >= signature.size() &&
         std::equal(signature.begin(), signature.end(), image.begin());
}

std::size_t SectorSize(std::uint8_t sizeCode) {
  return std::size_t{128} << std::min<std::size_t>(sizeCode, kLargestSizeCode);
}

class DskReader {
 public:
  explicit DskReader(std::span<const std::uint8_t> image)
      : image_(image), extended_(StartsWith(image, kExtendedSignature)) {}

  // Every sector of every track, in the image's order.
  std::vector<DiskSector> ReadSectors(std::vector<Warning>& warnings) {
    std::vector<DiskSector> sectors;
    const std::size_t trackCount = std::size_t{image_[kTrackCountAt]} * image_[kSideCountAt];
    const std::size_t tableSize = kDiskInfoSize - kTrackSizeTableAt;
    std::uint64_t at = kDiskInfoSize;
    std::size_t unreadable = 0;
    for (std::size_t i = 0; i < trackCount; ++i) {
      const std::size_t size = !extended_      ? U16At(image_, kTrackSizeAt)
                               : i < tableSize ? image_[kTrackSizeTableAt + i] * std::size_t{256}
                                               : 0;
      if (size == 0) continue;  // an unformatted track: no information block
      if (at >= image_.size()) {
        warnings.push_back({Problem::DskCutShort, {}, Details(i, trackCount)});
        break;
      }
      if (!ReadTrack(RecordedBytes(image_, at, size), sectors)) ++unreadable;
      at += size;
    }
    if (unreadable > 0) {
      warnings.push_back({Problem::DskTracksUnreadable, {}, Details(unreadable)});
    }
    return sectors;
  }

 private:
  bool ReadTrack(std::span<const std::uint8_t> track, std::vector<DiskSector>& sectors) const {
    if (track.size() < kSectorInfoAt || !StartsWith(track, kTrackSignature)) return false;
    const std::size_t count = track[kSectorCountAt];
    // More than 29 sectors make the information block longer, in steps of 256 bytes.
    const std::size_t infoEnd = kSectorInfoAt + count * kSectorInfoSize;
    std::size_t dataAt = std::max<std::size_t>(256, (infoEnd + 255) / 256 * 256);
    for (std::size_t k = 0; k < count; ++k) {
      const auto info = RecordedBytes(track, kSectorInfoAt + k * kSectorInfoSize, kSectorInfoSize);
      if (info.size() < kSectorInfoSize) break;
      const std::size_t stored = extended_ ? U16At(info, 6) : SectorSize(track[kTrackSizeCodeAt]);
      DiskSector sector;
      sector.cylinder = track[kTrackNumberAt];
      sector.head = track[kTrackSideAt];
      sector.id = info[2];
      sector.sizeCode = info[3];
      // An extended image may store several copies of a weak sector: the first one counts.
      if (!(info[5] & kNoDataMarkBit)) {
        sector.data = RecordedBytes(track, dataAt, std::min(stored, SectorSize(info[3])));
      }
      sector.damaged = ((info[4] | info[5]) & kCrcErrorBit) != 0;
      sectors.push_back(sector);
      dataAt += stored;
    }
    return true;
  }

  std::span<const std::uint8_t> image_;
  bool extended_;
};

bool IsTrDosDisk(std::span<const DiskSector> sectors) {
  return std::any_of(sectors.begin(), sectors.end(), [](const DiskSector& sector) {
    return sector.cylinder == 0 && sector.head == 0 && sector.id == kTrDosInfoSectorId &&
           sector.sizeCode == kTrDosSizeCode && sector.data.size() > kTrDosIdentifierAt &&
           sector.data[kTrDosIdentifierAt] == kTrDosIdentifier;
  });
}

Collection ReadTrDosSectors(std::span<const DiskSector> sectors, std::size_t sides) {
  TrDosSectors trDos;
  for (const DiskSector& sector : sectors) {
    const std::size_t side = sides == 1 ? 0 : (sector.head & 1);
    trDos.AddSector(sector.cylinder * sides + side, sector.id, sector.sizeCode, sector.data,
                    sector.damaged);
  }
  return std::move(trDos).ReadCatalogue(ImageKind::Dsk);
}

}  // namespace

bool HasDskSignature(std::span<const std::uint8_t> image) {
  return StartsWith(image, kStandardSignature) || StartsWith(image, kExtendedSignature);
}

Collection ReadDskImage(std::span<const std::uint8_t> image) {
  if (!HasDskSignature(image)) {
    throw ImageFormatError(
        "not a DSK disk image: it begins with neither \"MV - CPC\" nor \"EXTENDED CPC DSK File\"");
  }
  if (image.size() < kDiskInfoSize) {
    throw ImageFormatError(
        "not a complete DSK disk image: its 256-byte disk information block "
        "is cut short");
  }
  std::vector<Warning> warnings;
  const std::vector<DiskSector> sectors = DskReader(image).ReadSectors(warnings);
  const std::size_t sides = image[kSideCountAt] == 2 ? 2 : 1;
  Collection collection =
      IsTrDosDisk(sectors) ? ReadTrDosSectors(sectors, sides) : ReadPlus3DosFiles(sectors);
  collection.warnings.insert(collection.warnings.begin(), warnings.begin(), warnings.end());
  return collection;
}

}  // namespace orlaspin
