#include "containers/fdi_image.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "containers/trdos_sectors.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "FDI";
constexpr std::size_t kHeaderSize = 14;
constexpr std::size_t kCylindersAt = 4;
constexpr std::size_t kHeadsAt = 6;
constexpr std::size_t kDataAreaAt = 10;
constexpr std::size_t kExtraHeaderSizeAt = 12;

constexpr std::size_t kTrackHeaderSize = 7;
constexpr std::size_t kSectorCountAt = 6;
constexpr std::size_t kSectorHeaderSize = 7;

// Sector flags: bit n set = the CRC is right when the sector is read as 128 << n bytes; bit 6 =
// the sector has an ID but no data.
constexpr std::uint8_t kNoDataFlag = 0x40;
constexpr std::uint8_t kLargestSizeCode = 6;

}  // namespace

bool HasFdiSignature(std::span<const std::uint8_t> image) {
  return image.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), image.begin());
}

Collection ReadFdiImage(std::span<const std::uint8_t> image) {
  if (!HasFdiSignature(image)) {
    throw ImageFormatError("not an FDI disk image: it does not begin with \"FDI\"");
  }
  if (image.size() < kHeaderSize) {
    throw ImageFormatError("not a complete FDI disk image: its 14-byte header is cut short");
  }
  const std::size_t trackCount = std::size_t{U16At(image, kCylindersAt)} * U16At(image, kHeadsAt);
  const std::size_t dataArea = U16At(image, kDataAreaAt);
  std::size_t at = kHeaderSize + U16At(image, kExtraHeaderSizeAt);

  TrDosSectors sectors;
  std::vector<Warning> warnings;
  std::size_t cutSectors = 0;
  for (std::size_t track = 0; track < trackCount; ++track) {
    const std::size_t count =
        at + kTrackHeaderSize <= image.size() ? image[at + kSectorCountAt] : 0;
    const std::size_t end = at + kTrackHeaderSize + count * kSectorHeaderSize;
    if (end > image.size()) {
      warnings.push_back({Problem::FdiTrackHeadersCutShort, {}, Details(track, trackCount)});
      break;
    }
    const std::uint64_t trackData = std::uint64_t{dataArea} + U32At(image, at);
    sectors.AddTrack(track);
    for (std::size_t k = 0; k < count; ++k) {
      const auto header =
          image.subspan(at + kTrackHeaderSize + k * kSectorHeaderSize, kSectorHeaderSize);
      const std::uint8_t id = header[2], sizeCode = header[3], flags = header[4];
      if (flags & kNoDataFlag || sizeCode > kLargestSizeCode) continue;
      const std::size_t size = std::size_t{128} << sizeCode;
      const auto data = RecordedBytes(image, trackData + U16At(header, 5), size);
      if (data.size() < size) ++cutSectors;
      sectors.AddSector(track, id, sizeCode, data, (flags & (1u << sizeCode)) == 0);
    }
    at = end;
  }
  if (cutSectors > 0) {
    warnings.push_back({Problem::FdiSectorsCutShort, {}, Details(cutSectors)});
  }
  Collection collection = std::move(sectors).ReadCatalogue(ImageKind::Fdi);
  collection.warnings.insert(collection.warnings.begin(), warnings.begin(), warnings.end());
  return collection;
}

}  // namespace orlaspin
