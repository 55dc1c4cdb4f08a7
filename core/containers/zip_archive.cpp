#include "containers/zip_archive.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "containers/collection.h"
#include "containers/inflate.h"
#include "text/utf8_text.h"

namespace orlaspin {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr std::uint32_t kDescriptorSignature = 0x08074B50;

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::size_t kDescriptorSize = 16;
constexpr std::size_t kZip64DescriptorSize = 24;

constexpr std::uint16_t kZip64ExtraId = 0x0001;
// A 32-bit size or offset with this value is in the ZIP64 extra field instead.
constexpr std::uint64_t kInZip64Extra = 0xFFFFFFFF;

constexpr std::uint16_t kHasDescriptor = 1 << 3;
constexpr std::uint16_t kUtf8Name = 1 << 11;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

// Code page 437 from 0x80.
constexpr std::array<char16_t, 128> kCp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// True when size bytes from at lie inside bytes, whatever at and size claim.
bool Fits(Bytes bytes, std::uint64_t at, std::uint64_t size) {
  return at <= bytes.size() && size <= bytes.size() - at;
}

bool SignatureAt(Bytes bytes, std::uint64_t at, std::uint32_t signature) {
  return Fits(bytes, at, 4) && U32At(bytes, static_cast<std::size_t>(at)) == signature;
}

std::uint64_t U64At(Bytes bytes, std::size_t at) {
  return U32At(bytes, at) | (std::uint64_t{U32At(bytes, at + 4)} << 32);
}

// Where the signature next occurs at or after from.
std::optional<std::size_t> FindSignature(Bytes bytes, std::size_t from, std::uint32_t signature) {
  const std::array<std::uint8_t, 4> pattern = {
      static_cast<std::uint8_t>(signature), static_cast<std::uint8_t>(signature >> 8),
      static_cast<std::uint8_t>(signature >> 16), static_cast<std::uint8_t>(signature >> 24)};
  if (from >= bytes.size()) return std::nullopt;
  const auto found = std::search(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(),
                                 pattern.begin(), pattern.end());
  if (found == bytes.end()) return std::nullopt;
  return static_cast<std::size_t>(found - bytes.begin());
}

std::string MemberName(Bytes raw, std::uint16_t flags) {
  if ((flags & kUtf8Name) != 0) return std::string(raw.begin(), raw.end());
  std::string name;
  for (const std::uint8_t byte : raw) {
    if (byte < 0x80) {
      name += static_cast<char>(byte);
    } else {
      AppendUtf8(name, kCp437High[byte - 0x80]);
    }
  }
  return name;
}

bool IsFolderName(std::string_view name) { return name.ends_with('/'); }

// The data of the extra field with the given id, when the extra fields hold one.
std::optional<Bytes> FindExtraField(Bytes extra, std::uint16_t id) {
  for (std::size_t at = 0; at + 4 <= extra.size();) {
    const std::size_t length = U16At(extra, at + 2);
    const std::size_t dataAt = at + 4;
    if (U16At(extra, at) == id)
      return extra.subspan(dataAt, std::min(length, extra.size() - dataAt));
    at = dataAt + length;
  }
  return std::nullopt;
}

// Takes the fields that hold 0xFFFFFFFF from the ZIP64 extra field, which stores them as 8 bytes
// each in the order given.
void ApplyZip64Extra(Bytes extra, std::initializer_list<std::uint64_t*> fields) {
  const Bytes values = FindExtraField(extra, kZip64ExtraId).value_or(Bytes());
  std::size_t next = 0;
  for (std::uint64_t* field : fields) {
    if (*field != kInZip64Extra) continue;
    if (next + 8 > values.size()) return;
    *field = U64At(values, next);
    next += 8;
  }
}

// The end record nearest the end whose comment reaches exactly to the end; failing that, the
// last signature found (a stray one may sit in a comment, or bytes may follow the archive).
std::optional<std::size_t> FindEndRecord(Bytes archive) {
  if (archive.size() < kEndSize) return std::nullopt;
  const std::size_t last = archive.size() - kEndSize;
  const std::size_t first = last > kLongestComment ? last - kLongestComment : 0;
  std::optional<std::size_t> lastFound;
  for (std::size_t at = last + 1; at-- > first;) {
    if (U32At(archive, at) != kEndSignature) continue;
    if (at + kEndSize + U16At(archive, at + 20) == archive.size()) return at;
    if (!lastFound) lastFound = at;
  }
  return lastFound;
}

struct DirectoryPlace {
  std::uint64_t entries = 0;
  std::uint64_t at = 0;   // where its first header lies in the bytes
  std::uint64_t end = 0;  // where the end records begin
  // Bytes put before the archive (a self-extractor's program), added to every offset it records.
  std::uint64_t shift = 0;
};

// The ZIP64 end record that the locator before the end record points to, or that lies just
// before the locator when bytes were put before the archive.
std::optional<std::size_t> FindZip64EndRecord(Bytes archive, std::size_t endAt) {
  if (endAt < kZip64LocatorSize) return std::nullopt;
  const std::size_t locatorAt = endAt - kZip64LocatorSize;
  if (!SignatureAt(archive, locatorAt, kZip64LocatorSignature)) return std::nullopt;
  const std::uint64_t stated = U64At(archive, locatorAt + 8);
  for (const std::uint64_t at : {stated, std::uint64_t{locatorAt} - kZip64EndSize}) {
    if (at <= locatorAt && locatorAt - at >= kZip64EndSize &&
        SignatureAt(archive, at, kZip64EndSignature)) {
      return static_cast<std::size_t>(at);
    }
  }
  return std::nullopt;
}

std::optional<DirectoryPlace> LocateDirectory(Bytes archive, std::size_t endAt) {
  std::uint64_t entries = U16At(archive, endAt + 10);
  std::uint64_t size = U32At(archive, endAt + 12);
  std::uint64_t offset = U32At(archive, endAt + 16);
  std::uint64_t end = endAt;
  if (const auto zip64At = FindZip64EndRecord(archive, endAt)) {
    entries = U64At(archive, *zip64At + 32);
    size = U64At(archive, *zip64At + 40);
    offset = U64At(archive, *zip64At + 48);
    end = *zip64At;
  } else if (U32At(archive, endAt + 16) == kInZip64Extra) {
    return std::nullopt;
  }
  if (offset > end || size > end - offset) return std::nullopt;
  const std::uint64_t shift = end - offset - size;
  return DirectoryPlace{entries, offset + shift, end, shift};
}

// The members the central directory lists; nullopt when a header is missing or runs past it.
std::optional<std::vector<ZipMember>> ReadDirectory(Bytes archive, const DirectoryPlace& place) {
  std::vector<ZipMember> members;
  std::uint64_t at = place.at;
  for (std::uint64_t i = 0; i < place.entries; ++i) {
    if (place.end - at < kCentralHeaderSize || !SignatureAt(archive, at, kCentralHeaderSignature)) {
      return std::nullopt;
    }
    const auto header = static_cast<std::size_t>(at);
    const std::size_t nameLength = U16At(archive, header + 28);
    const std::size_t extraLength = U16At(archive, header + 30);
    const std::size_t commentLength = U16At(archive, header + 32);
    const std::uint64_t recordSize = kCentralHeaderSize + nameLength + extraLength + commentLength;
    if (recordSize > place.end - at) return std::nullopt;

    ZipMember member;
    member.flags = U16At(archive, header + 8);
    member.method = U16At(archive, header + 10);
    member.crc = U32At(archive, header + 16);
    member.compressedSize = U32At(archive, header + 20);
    member.size = U32At(archive, header + 24);
    std::uint64_t localAt = U32At(archive, header + 42);
    const Bytes name = archive.subspan(header + kCentralHeaderSize, nameLength);
    ApplyZip64Extra(archive.subspan(header + kCentralHeaderSize + nameLength, extraLength),
                    {&member.size, &member.compressedSize, &localAt});
    member.name = MemberName(name, member.flags);
    member.localHeaderAt = localAt + place.shift;
    if (!IsFolderName(member.name)) members.push_back(std::move(member));
    at += recordSize;
  }
  return members;
}

struct Descriptor {
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;
  std::uint64_t end = 0;
};

// The data descriptor after the data that begins at dataAt: the first signature, before the next
// local or central header, followed by the distance to it as the compressed size.
std::optional<Descriptor> FindDescriptor(Bytes archive, std::size_t dataAt, bool zip64) {
  static constexpr std::array<std::uint8_t, 2> kPk = {'P', 'K'};
  for (std::size_t from = dataAt;; ++from) {
    const auto found = std::search(archive.begin() + static_cast<std::ptrdiff_t>(from),
                                   archive.end(), kPk.begin(), kPk.end());
    if (found == archive.end()) return std::nullopt;
    from = static_cast<std::size_t>(found - archive.begin());
    if (SignatureAt(archive, from, kLocalHeaderSignature) ||
        SignatureAt(archive, from, kCentralHeaderSignature)) {
      return std::nullopt;
    }
    if (!SignatureAt(archive, from, kDescriptorSignature)) continue;
    const std::uint64_t distance = from - dataAt;
    if (zip64 && Fits(archive, from, kZip64DescriptorSize) &&
        U64At(archive, from + 8) == distance) {
      return Descriptor{U32At(archive, from + 4), distance, U64At(archive, from + 16),
                        from + kZip64DescriptorSize};
    }
    if (!zip64 && Fits(archive, from, kDescriptorSize) && U32At(archive, from + 8) == distance) {
      return Descriptor{U32At(archive, from + 4), distance, U32At(archive, from + 12),
                        from + kDescriptorSize};
    }
  }
}

// The members whose local headers are found one after another, for an archive without a usable
// central directory. Every step moves past the header it looked at.
ZipListing ScanLocalHeaders(Bytes archive) {
  ZipListing listing;
  std::size_t at = 0;
  while (const auto found = FindSignature(archive, at, kLocalHeaderSignature)) {
    const std::size_t header = *found;
    if (!Fits(archive, header, kLocalHeaderSize) ||
        !Fits(archive, header + kLocalHeaderSize,
              U16At(archive, header + 26) + U16At(archive, header + 28))) {
      listing.warnings.push_back({Problem::ZipEndsInLocalHeader});
      break;
    }
    const std::size_t nameLength = U16At(archive, header + 26);
    const std::size_t extraLength = U16At(archive, header + 28);
    const std::size_t dataAt = header + kLocalHeaderSize + nameLength + extraLength;
    ZipMember member;
    member.flags = U16At(archive, header + 6);
    member.method = U16At(archive, header + 8);
    member.crc = U32At(archive, header + 14);
    member.compressedSize = U32At(archive, header + 18);
    member.size = U32At(archive, header + 22);
    member.localHeaderAt = header;
    member.name = MemberName(archive.subspan(header + kLocalHeaderSize, nameLength), member.flags);
    const Bytes extra = archive.subspan(header + kLocalHeaderSize + nameLength, extraLength);
    ApplyZip64Extra(extra, {&member.size, &member.compressedSize});

    std::size_t next = archive.size();
    if ((member.flags & kHasDescriptor) != 0) {
      const auto descriptor =
          FindDescriptor(archive, dataAt, FindExtraField(extra, kZip64ExtraId).has_value());
      if (!descriptor) {
        listing.warnings.push_back({Problem::ZipDescriptorMissing, member.name});
        at = dataAt;
        continue;
      }
      member.crc = descriptor->crc;
      member.compressedSize = descriptor->compressedSize;
      member.size = descriptor->size;
      next = static_cast<std::size_t>(descriptor->end);
    } else if (Fits(archive, dataAt, member.compressedSize)) {
      next = dataAt + static_cast<std::size_t>(member.compressedSize);
    }
    if (!IsFolderName(member.name)) listing.members.push_back(std::move(member));
    at = std::max(next, header + 1);
  }
  return listing;
}

std::uint32_t Crc32(Bytes bytes) {
  uLong crc = crc32(0, nullptr, 0);
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t count = std::min<std::size_t>(bytes.size() - at, UINT_MAX);
    crc = crc32(crc, bytes.data() + at, static_cast<uInt>(count));
    at += count;
  }
  return static_cast<std::uint32_t>(crc);
}

std::string SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kMiB = 1 << 20;
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  return std::to_string(bytes) + " bytes";
}

ZipMemberData Refused(Problem problem, std::vector<std::string> detail = {}) {
  return {{}, Warning{problem, {}, std::move(detail)}};
}

}  // namespace

bool HasZipSignature(std::span<const std::uint8_t> bytes) {
  return SignatureAt(bytes, 0, kLocalHeaderSignature) ||
         (bytes.size() == kEndSize && SignatureAt(bytes, 0, kEndSignature));
}

ZipListing ListZipMembers(std::span<const std::uint8_t> archive) {
  const std::optional<std::size_t> endAt = FindEndRecord(archive);
  if (endAt) {
    if (const auto place = LocateDirectory(archive, *endAt)) {
      if (auto members = ReadDirectory(archive, *place)) return {std::move(*members), {}};
    }
  } else if (!FindSignature(archive, 0, kLocalHeaderSignature)) {
    throw ImageFormatError("not a ZIP archive: it has neither an end record nor a local header");
  }
  ZipListing listing = ScanLocalHeaders(archive);
  listing.warnings.insert(listing.warnings.begin(),
                          {endAt ? Problem::ZipDirectoryDamaged : Problem::ZipNoEndRecord});
  return listing;
}

ZipMemberData ExtractZipMember(std::span<const std::uint8_t> archive, const ZipMember& member,
                               std::uint64_t largest) {
  if (member.IsEncrypted()) return Refused(Problem::MemberEncrypted);
  if (member.method != kStored && member.method != kDeflated) {
    return Refused(Problem::MemberMethodUnsupported, Details(member.method));
  }
  if (member.size > largest) return Refused(Problem::MemberTooLarge, {SizeText(largest)});
  const std::uint64_t headerAt = member.localHeaderAt;
  if (!Fits(archive, headerAt, kLocalHeaderSize) ||
      !SignatureAt(archive, headerAt, kLocalHeaderSignature)) {
    return Refused(Problem::MemberLocalHeaderMissing);
  }
  const auto header = static_cast<std::size_t>(headerAt);
  const std::uint64_t dataAt =
      headerAt + kLocalHeaderSize + U16At(archive, header + 26) + U16At(archive, header + 28);
  if (dataAt > archive.size()) return Refused(Problem::MemberCutShort);
  const Bytes data = archive.subspan(
      static_cast<std::size_t>(dataAt),
      static_cast<std::size_t>(std::min(member.compressedSize, archive.size() - dataAt)));

  // Bytes fewer than the size says are no fault when their CRC-32 is right, as other readers
  // have it: the CRC-32 is the check of the content.
  ZipMemberData result;
  if (member.method == kStored) {
    if (member.compressedSize > member.size) {
      return Refused(Problem::MemberSizeMismatch,
                     {SizeText(member.compressedSize), SizeText(member.size)});
    }
    if (data.size() < member.compressedSize) return Refused(Problem::MemberCutShort);
    result.bytes.assign(data.begin(), data.end());
  } else {
    switch (Inflate(data, -MAX_WBITS, member.size, result.bytes)) {
      case InflateEnd::Complete: break;
      case InflateEnd::TooLong:
        return Refused(Problem::MemberInflatesTooLong, {SizeText(member.size)});
      case InflateEnd::CutShort: return Refused(Problem::MemberCutShort);
      case InflateEnd::Broken: return Refused(Problem::MemberBrokenDeflate);
    }
  }
  if (Crc32(result.bytes) != member.crc) return Refused(Problem::MemberWrongCrc);
  return result;
}

}  // namespace orlaspin
