// ZIP archives read from memory: the members their central directory lists (or their local
// headers, when that directory is missing or damaged), and one member's bytes, CRC-checked.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <optional>
#include <vector>

#include "io/problems.h"

namespace orlaspin {

// No image we read comes near it; a member that claims or inflates to more is refused.
inline constexpr std::uint64_t kLargestZipMember = std::uint64_t{64} << 20;

struct ZipMember {
  // The stored name, "/" between its folders: UTF-8 when the archive marks it so (flag bit 11),
  // otherwise its bytes read as code page 437.
  std::string name;
  std::uint16_t flags = 0;
  std::uint16_t method = 0;  // 0 stored, 8 deflate; no other is read
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;
  std::uint64_t localHeaderAt = 0;  // where its local header begins in the archive's bytes

  bool IsEncrypted() const { return (flags & 1) != 0; }
};

struct ZipListing {
  std::vector<ZipMember> members;  // in archive order; folders are left out
  // What is wrong with the archive as a whole, e.g. a damaged central directory.
  std::vector<Warning> warnings;
};

// The bytes begin with a local file header, or are an empty archive's end record.
bool HasZipSignature(std::span<const std::uint8_t> bytes);

// The archive's members as its central directory lists them (ZIP64 included; sizes and CRCs are
// taken from there, local ones may be zero), offsets corrected for bytes put before the archive.
// When that directory is missing or damaged, the members are those whose local headers are found
// in order, with a warning; a member whose sizes are only in a data descriptor then needs the
// descriptor's signature to be found, or it is left out with a warning. Raises ImageFormatError
// ("not a ZIP archive: ...") when there is neither an end record nor a local header.
ZipListing ListZipMembers(std::span<const std::uint8_t> archive);

struct ZipMemberData {
  std::vector<std::uint8_t> bytes;
  // Why the member cannot be read: encrypted, an unsupported method, larger than allowed, cut
  // short, a broken deflate stream, more bytes than its size, a wrong CRC-32. Empty when bytes
  // hold the member.
  std::optional<Warning> problem;
};

// The member's bytes, stored or inflated (raw deflate), checked against its CRC-32. They are
// never more than its size says (fewer are read when their CRC-32 is right), and output grows
// only as bytes inflate: a member whose size is over largest is refused at once.
ZipMemberData ExtractZipMember(std::span<const std::uint8_t> archive, const ZipMember& member,
                               std::uint64_t largest = kLargestZipMember);

}  // namespace orlaspin
