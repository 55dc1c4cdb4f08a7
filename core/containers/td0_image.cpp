#include "containers/td0_image.h"

#include <algorithm>
#include <string>
#include <vector>

#include "containers/trdos_sectors.h"

namespace orlaspin {

namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kHeaderCrcAt = 10;
constexpr std::size_t kSteppingAt = 7;  // bit 7: a comment follows the header
constexpr std::uint8_t kCommentFlag = 0x80;
constexpr std::size_t kSidesAt = 9;
constexpr std::size_t kCommentHeaderSize = 10;

constexpr std::uint8_t kEndOfImage = 0xFF;
constexpr std::size_t kTrackHeaderSize = 4;
constexpr std::size_t kSectorHeaderSize = 6;
constexpr std::size_t kBlockSizeSize = 2;
constexpr std::uint8_t kCrcErrorFlag = 0x02;
constexpr std::uint8_t kNoDataFlags = 0x30;  // skipped as unallocated, or an ID without data
// Larger size codes mark headers Teledisk made up for stray data: no data block follows them.
constexpr std::uint8_t kLargestSizeCode = 6;

enum Method : std::uint8_t { kRaw = 0, kPatterns = 1, kRuns = 2 };

// "TD", or "td" for an image with advanced compression.
bool StartsWithTd(std::span<const std::uint8_t> image) {
  return image.size() >= 2 &&
         ((image[0] == 'T' && image[1] == 'D') || (image[0] == 't' && image[1] == 'd'));
}

// Teledisk's CRC-16: polynomial 0xA097, preset 0, most significant bit first.
std::uint16_t TeledisksCrc(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0;
  for (const std::uint8_t byte : bytes) {
    crc ^= static_cast<std::uint16_t>(byte << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0xA097 : crc << 1);
    }
  }
  return crc;
}

// Fills out with copies of a block of bytes, as far as both go; returns how many bytes it wrote.
std::size_t Repeat(std::span<const std::uint8_t> block, std::size_t times,
                   std::span<std::uint8_t> out) {
  std::size_t written = 0;
  for (std::size_t i = 0; i < times && written < out.size(); ++i) {
    const std::size_t n = std::min(block.size(), out.size() - written);
    std::copy_n(block.begin(), n, out.begin() + static_cast<std::ptrdiff_t>(written));
    written += n;
  }
  return written;
}

// Entries of 4 bytes: a 16-bit count and the 2-byte pattern written that many times.
std::size_t DecodePatterns(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  std::size_t written = 0;
  for (std::size_t i = 0; i + 4 <= in.size() && written < out.size(); i += 4) {
    written += Repeat(in.subspan(i + 2, 2), U16At(in, i), out.subspan(written));
  }
  return written;
}

// Fragments: 0, n and n literal bytes; or t > 0, r and a block of 2t bytes written r times.
std::size_t DecodeRuns(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
  std::size_t written = 0;
  for (std::size_t i = 0; i + 2 <= in.size() && written < out.size();) {
    const std::size_t kind = in[i], count = in[i + 1];
    const std::size_t blockSize = kind == 0 ? count : 2 * kind;
    const auto block = RecordedBytes(in, i + 2, blockSize);
    written += Repeat(block, kind == 0 ? 1 : count, out.subspan(written));
    i += 2 + blockSize;
  }
  return written;
}

class Td0Reader {
 public:
  Td0Reader(std::span<const std::uint8_t> image, TrDosSectors& sectors,
            std::vector<Warning>& warnings)
      : image_(image),
        sectors_(sectors),
        warnings_(warnings),
        sides_(image[kSidesAt] == 1 ? 1 : 2) {}

  void Read() {
    CheckHeaderCrc();
    if (image_[kSteppingAt] & kCommentFlag) SkipComment();
    std::size_t tracks = 0;
    while (at_ >= image_.size() || image_[at_] != kEndOfImage) {
      if (!ReadTrack()) {
        warnings_.push_back({Problem::Td0CutShort, {}, Details(tracks)});
        break;
      }
      ++tracks;
    }
    if (badTrackHeaders_ > 0) {
      warnings_.push_back({Problem::Td0WrongTrackHeaderCrcs, {}, Details(badTrackHeaders_)});
    }
    if (unknownMethods_ > 0) {
      warnings_.push_back({Problem::Td0UnknownMethods, {}, Details(unknownMethods_)});
    }
  }

 private:
  void CheckHeaderCrc() {
    const std::uint16_t computed = TeledisksCrc(image_.first(kHeaderCrcAt));
    if (computed != U16At(image_, kHeaderCrcAt)) {
      warnings_.push_back(
          {Problem::Td0WrongHeaderCrc, {}, Details(U16At(image_, kHeaderCrcAt), computed)});
    }
  }

  void SkipComment() {
    at_ = kHeaderSize + kCommentHeaderSize;
    if (at_ > image_.size()) return;
    const auto header = image_.subspan(kHeaderSize, kCommentHeaderSize);
    const auto text = RecordedBytes(image_, at_, U16At(header, 2));
    at_ += U16At(header, 2);
    std::vector<std::uint8_t> covered(header.begin() + 2, header.end());
    covered.insert(covered.end(), text.begin(), text.end());
    if (TeledisksCrc(covered) != U16At(header, 0)) {
      warnings_.push_back({Problem::Td0WrongCommentCrc});
    }
  }

  // Reads a track header and its sectors; false when the image ends before or inside them.
  bool ReadTrack() {
    if (at_ + kTrackHeaderSize > image_.size()) return false;
    const auto header = image_.subspan(at_, kTrackHeaderSize);
    at_ += kTrackHeaderSize;
    if ((TeledisksCrc(header.first(3)) & 0xFF) != header[3]) ++badTrackHeaders_;
    // The track's place comes from its header, not from its sectors' IDs, which may be faked.
    const std::size_t side = sides_ == 1 ? 0 : (header[2] & 1);
    const std::size_t track = std::size_t{header[1]} * sides_ + side;
    sectors_.AddTrack(track);
    for (std::size_t k = 0; k < header[0]; ++k) {
      if (!ReadSector(track)) return false;
    }
    return true;
  }

  bool ReadSector(std::size_t track) {
    if (at_ + kSectorHeaderSize > image_.size()) return false;
    const auto header = image_.subspan(at_, kSectorHeaderSize);
    at_ += kSectorHeaderSize;
    const std::uint8_t id = header[2], sizeCode = header[3], flags = header[4];
    if ((flags & kNoDataFlags) || sizeCode > kLargestSizeCode) return true;
    if (at_ + kBlockSizeSize > image_.size()) return false;
    const std::size_t blockSize = U16At(image_, at_);
    const auto block = RecordedBytes(image_, at_ + kBlockSizeSize, blockSize);
    at_ += kBlockSizeSize + blockSize;
    const bool whole = block.size() == blockSize;
    if (block.empty()) return whole;  // a block of no bytes, not even the method: no data

    std::vector<std::uint8_t> data(std::size_t{128} << sizeCode, 0);
    const auto encoded = block.subspan(1);
    std::size_t decoded = 0;
    switch (block[0]) {
      case kRaw: decoded = Repeat(encoded, 1, data); break;
      case kPatterns: decoded = DecodePatterns(encoded, data); break;
      case kRuns: decoded = DecodeRuns(encoded, data); break;
      default: ++unknownMethods_; return true;
    }
    // The header's CRC byte is that of the sector's data as decoded.
    const bool damaged = (flags & kCrcErrorFlag) || decoded < data.size() ||
                         (TeledisksCrc(data) & 0xFF) != header[5];
    sectors_.AddSector(track, id, sizeCode, data, damaged);
    return whole;
  }

  std::span<const std::uint8_t> image_;
  TrDosSectors& sectors_;
  std::vector<Warning>& warnings_;
  const std::size_t sides_;
  std::size_t at_ = kHeaderSize;
  std::size_t badTrackHeaders_ = 0;
  std::size_t unknownMethods_ = 0;
};

}  // namespace

bool HasTd0Signature(std::span<const std::uint8_t> image) {
  return image.size() >= kHeaderSize && StartsWithTd(image) &&
         TeledisksCrc(image.first(kHeaderCrcAt)) == U16At(image, kHeaderCrcAt);
}

Collection ReadTd0Image(std::span<const std::uint8_t> image) {
  if (!StartsWithTd(image)) {
    throw ImageFormatError("not a TD0 disk image: it does not begin with \"TD\"");
  }
  if (image[0] == 't') {
    throw ImageFormatError(
        "not a TD0 image that can be read: it uses Teledisk's advanced compression (\"td\"), "
        "which this program does not decode");
  }
  if (image.size() < kHeaderSize) {
    throw ImageFormatError("not a complete TD0 disk image: its 12-byte header is cut short");
  }
  TrDosSectors sectors;
  std::vector<Warning> warnings;
  Td0Reader(image, sectors, warnings).Read();
  Collection collection = std::move(sectors).ReadCatalogue(ImageKind::Td0);
  collection.warnings.insert(collection.warnings.begin(), warnings.begin(), warnings.end());
  return collection;
}

}  // namespace orlaspin
