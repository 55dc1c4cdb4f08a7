#include "containers/udi_image.h"

#include <zlib.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "containers/trdos_sectors.h"

namespace orlaspin {

namespace {

std::string TrackName(std::size_t track) { return "track " + std::to_string(track); }

constexpr std::string_view kSignature = "UDI!";
constexpr std::string_view kCompressedSignature = "udi!";
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kChecksumPlaceAt = 4;  // the file's size less the 4 bytes of the checksum
constexpr std::size_t kMaxCylinderAt = 9;
constexpr std::size_t kMaxHeadAt = 10;
constexpr std::size_t kExtendedHeaderSizeAt = 12;
constexpr std::size_t kChecksumSize = 4;

// Track types: bit 0 FM, bit 1 mixed FM and MFM (an FM bitmap follows the mark bitmap), bit 7 a
// bitmap of weak bytes follows; 0xF0 wraps a track of another type in zlib.
constexpr std::uint8_t kFmType = 0x01;
constexpr std::uint8_t kMixedType = 0x02;
constexpr std::uint8_t kWeakType = 0x80;
constexpr std::uint8_t kCompressedType = 0xF0;
constexpr std::size_t kTrackRecordHeader = 3;       // type, raw length
constexpr std::size_t kCompressedRecordHeader = 6;  // 0xF0, packed length - 1, type, raw length

constexpr std::uint8_t kSyncByte = 0xA1;
constexpr std::uint8_t kIdMark = 0xFE;
constexpr std::uint8_t kDataMark = 0xFB;
constexpr std::uint8_t kDeletedDataMark = 0xF8;
constexpr std::size_t kIdFieldSize = 10;  // A1 A1 A1 FE C H R N, CRC
// How far after an ID its data mark may lie: the gap between them is 34 bytes on a TR-DOS track.
constexpr std::size_t kDataMarkWindow = 60;

struct RawTrack {
  std::span<const std::uint8_t> bytes;  // the decoded bytes of the whole track
  std::span<const std::uint8_t> marks;  // bit i set: byte i was written as a sync mark
};

std::size_t BitmapSize(std::size_t trackLength) { return (trackLength + 7) / 8; }

bool IsKnownType(std::uint8_t type) {
  return (type & ~(kFmType | kMixedType | kWeakType)) == 0 && (type & 3) != 3;
}

// The bytes after the type and length: the raw track, its mark bitmap and the bitmaps its type
// adds.
std::size_t TrackBodySize(std::uint8_t type, std::size_t trackLength) {
  const std::size_t bitmaps = 1 + ((type & kMixedType) ? 1 : 0) + ((type & kWeakType) ? 1 : 0);
  return trackLength + bitmaps * BitmapSize(trackLength);
}

std::uint16_t U16BigEndian(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

// The floppy controller's CRC: CRC-16-CCITT, polynomial 0x1021, preset 0xFFFF.
std::uint16_t ControllerCrc(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (const std::uint8_t byte : bytes) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return crc;
}

bool IsSyncMark(const RawTrack& track, std::size_t i) {
  return track.bytes[i] == kSyncByte && ((track.marks[i >> 3] >> (i & 7)) & 1);
}

// Three sync marks at i and a byte after them.
bool HasAddressMarkAt(const RawTrack& track, std::size_t i) {
  return i + 4 <= track.bytes.size() && IsSyncMark(track, i) && IsSyncMark(track, i + 1) &&
         IsSyncMark(track, i + 2);
}

// Where the data field of the ID ending at from begins (its first sync mark); npos when another
// mark or nothing comes first.
std::size_t FindDataField(const RawTrack& track, std::size_t from) {
  const std::size_t end = std::min(from + kDataMarkWindow, track.bytes.size());
  for (std::size_t i = from; i < end; ++i) {
    if (!HasAddressMarkAt(track, i)) continue;
    const std::uint8_t mark = track.bytes[i + 3];
    return mark == kDataMark || mark == kDeletedDataMark ? i : std::string_view::npos;
  }
  return std::string_view::npos;
}

// Every sector of an MFM track whose ID reads without a CRC error, with its data as found.
void ReadMfmSectors(const RawTrack& track, std::size_t trackIndex, TrDosSectors& sectors) {
  const auto bytes = track.bytes;
  for (std::size_t i = 0; i + kIdFieldSize <= bytes.size(); ++i) {
    if (!HasAddressMarkAt(track, i) || bytes[i + 3] != kIdMark) continue;
    if (ControllerCrc(bytes.subspan(i, 8)) != U16BigEndian(bytes, i + 8)) continue;
    const std::uint8_t id = bytes[i + 6];
    // The controller takes the size code's low two bits.
    const std::uint8_t sizeCode = bytes[i + 7] & 3;
    i += kIdFieldSize - 1;
    const std::size_t dataField = FindDataField(track, i + 1);
    if (dataField == std::string_view::npos) continue;
    const std::size_t size = std::size_t{128} << sizeCode;
    const auto field = RecordedBytes(bytes, dataField, 4 + size + 2);  // marks, data, CRC
    if (field.size() <= 4) continue;
    const bool whole = field.size() == 4 + size + 2;
    const bool damaged =
        !whole || ControllerCrc(field.first(4 + size)) != U16BigEndian(field, 4 + size);
    sectors.AddSector(trackIndex, id, sizeCode, field.subspan(4, std::min(size, field.size() - 4)),
                      damaged);
  }
}

// zlib's output for a compressed track, exactly `size` bytes; empty when the stream is damaged or
// gives another length.
std::vector<std::uint8_t> Inflate(std::span<const std::uint8_t> packed, std::size_t size) {
  std::vector<std::uint8_t> out(size);
  uLongf outSize = static_cast<uLongf>(size);
  const int status =
      uncompress(out.data(), &outSize, packed.data(), static_cast<uLong>(packed.size()));
  if (status != Z_OK || outSize != size) out.clear();
  return out;
}

class TrackReader {
 public:
  TrackReader(std::span<const std::uint8_t> tracks, TrDosSectors& sectors,
              std::vector<Warning>& warnings)
      : tracks_(tracks), sectors_(sectors), warnings_(warnings) {}

  // Reads up to trackCount track records in order, stopping where they cannot be walked past.
  void ReadAll(std::size_t trackCount) {
    for (std::size_t track = 0; track < trackCount; ++track) {
      if (!ReadTrack(track)) return;
    }
  }

  void WarnOfSkippedTracks() const {
    if (skippedFm_ > 0) {
      warnings_.push_back({Problem::UdiFmTracksSkipped, {}, Details(skippedFm_)});
    }
  }

 private:
  // Reads one record; false when it does not fit or cannot be walked past.
  bool ReadTrack(std::size_t track) {
    if (at_ + kTrackRecordHeader > tracks_.size()) return CutShort(track);
    const std::uint8_t type = tracks_[at_];
    if (type == kCompressedType) return ReadCompressedTrack(track);
    if (!IsKnownType(type)) {
      warnings_.push_back({Problem::UdiUnknownTrackType, TrackName(track), Details(type)});
      return false;
    }
    const std::size_t length = U16At(tracks_, at_ + 1);
    const std::size_t bodySize = TrackBodySize(type, length);
    if (at_ + kTrackRecordHeader + bodySize > tracks_.size()) return CutShort(track);
    ReadBody(track, type, length, tracks_.subspan(at_ + kTrackRecordHeader, bodySize));
    at_ += kTrackRecordHeader + bodySize;
    return true;
  }

  bool ReadCompressedTrack(std::size_t track) {
    if (at_ + kCompressedRecordHeader > tracks_.size()) return CutShort(track);
    const std::size_t packedSize = std::size_t{U16At(tracks_, at_ + 1)} + 1;
    const std::uint8_t type = tracks_[at_ + 3];
    const std::size_t length = U16At(tracks_, at_ + 4);
    if (at_ + kCompressedRecordHeader + packedSize > tracks_.size()) return CutShort(track);
    const auto packed = tracks_.subspan(at_ + kCompressedRecordHeader, packedSize);
    at_ += kCompressedRecordHeader + packedSize;
    const std::vector<std::uint8_t> body = IsKnownType(type)
                                               ? Inflate(packed, TrackBodySize(type, length))
                                               : std::vector<std::uint8_t>();
    if (body.empty()) {
      warnings_.push_back({Problem::UdiTrackDataDamaged, TrackName(track)});
      sectors_.AddTrack(track);
      return true;
    }
    ReadBody(track, type, length, body);
    return true;
  }

  void ReadBody(std::size_t track, std::uint8_t type, std::size_t length,
                std::span<const std::uint8_t> body) {
    sectors_.AddTrack(track);
    if (type & (kFmType | kMixedType)) {
      ++skippedFm_;
      return;
    }
    ReadMfmSectors({body.first(length), body.subspan(length, BitmapSize(length))}, track, sectors_);
  }

  bool CutShort(std::size_t track) {
    warnings_.push_back({Problem::UdiTracksEndEarly, TrackName(track)});
    return false;
  }

  std::span<const std::uint8_t> tracks_;
  TrDosSectors& sectors_;
  std::vector<Warning>& warnings_;
  std::size_t at_ = 0;
  std::size_t skippedFm_ = 0;
};

}  // namespace

bool HasUdiSignature(std::span<const std::uint8_t> image) {
  auto startsWith = [image](std::string_view signature) {
    return image.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), image.begin());
  };
  return startsWith(kSignature) || startsWith(kCompressedSignature);
}

std::uint32_t UdiChecksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (const std::uint8_t byte : bytes) {
    crc ^= ~std::uint32_t{byte};
    for (int bit = 0; bit < 8; ++bit) {
      const std::uint32_t polynomial = (crc & 1) ? 0xEDB88320 : 0;
      crc = ((crc >> 1) | (crc & 0x80000000)) ^ polynomial;
    }
    crc = ~crc;
  }
  return crc;
}

Collection ReadUdiImage(std::span<const std::uint8_t> image) {
  if (!HasUdiSignature(image)) {
    throw ImageFormatError("not a UDI disk image: it does not begin with \"UDI!\"");
  }
  if (image[0] == kCompressedSignature[0]) {
    throw ImageFormatError(
        "not a UDI image that can be read: \"udi!\" marks a compressed image, and no compression "
        "was ever defined for it");
  }
  if (image.size() < kHeaderSize) {
    throw ImageFormatError("not a complete UDI disk image: its 16-byte header is cut short");
  }
  std::vector<Warning> warnings;
  const std::uint64_t checksumAt = U32At(image, kChecksumPlaceAt);
  if (checksumAt + kChecksumSize > image.size()) {
    warnings.push_back(
        {Problem::UdiCutShort, {}, Details(image.size(), checksumAt + kChecksumSize)});
  } else {
    const auto at = static_cast<std::size_t>(checksumAt);
    const std::uint32_t stored = U32At(image, at);
    const std::uint32_t computed = UdiChecksum(image.first(at));
    if (stored != computed) {
      warnings.push_back({Problem::UdiWrongChecksum, {}, Details(stored, computed)});
    }
  }
  const std::size_t tracksEnd =
      static_cast<std::size_t>(std::clamp<std::uint64_t>(checksumAt, kHeaderSize, image.size()));
  const std::uint64_t tracksAt = kHeaderSize + std::uint64_t{U32At(image, kExtendedHeaderSizeAt)};
  const std::size_t trackCount =
      (std::size_t{image[kMaxCylinderAt]} + 1) * (std::size_t{image[kMaxHeadAt]} + 1);

  TrDosSectors sectors;
  TrackReader reader(RecordedBytes(image.first(tracksEnd), tracksAt, tracksEnd), sectors, warnings);
  reader.ReadAll(trackCount);
  reader.WarnOfSkippedTracks();
  Collection collection = std::move(sectors).ReadCatalogue(ImageKind::Udi);
  collection.warnings.insert(collection.warnings.begin(), warnings.begin(), warnings.end());
  return collection;
}

}  // namespace orlaspin
