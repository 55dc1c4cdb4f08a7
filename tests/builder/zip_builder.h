// Builds ZIP archives in memory for tests, written from PKWARE's APPNOTE: local headers, data,
// data descriptors, the central directory and its end records, ZIP64 records when asked, and the
// faults real archives have. Deflate comes from zlib; CRC-32 is computed here, bit by bit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orlaspin::testing {

struct ZipEntry {
  std::string name = {};  // the name's bytes as stored; a folder's ends with "/"
  std::vector<std::uint8_t> data = {};
  bool deflate = true;
  // Sizes and CRC follow the data in a descriptor and are zero in the local header.
  bool descriptor = false;
  bool descriptorSignature = true;
  bool encrypted = false;  // flag bit 0 only: the data stays as it is
  bool utf8Name = false;   // flag bit 11
  // Fields stored instead of the true ones, in both headers and the descriptor.
  std::optional<std::uint16_t> method = {};
  std::optional<std::uint32_t> crc = {};
  std::optional<std::uint32_t> size = {};
  // Stored instead of the data's deflated or stored bytes.
  std::optional<std::vector<std::uint8_t>> storedBytes = {};
  // An extra field in the local header only, so that its data starts later than the central
  // header's lengths suggest.
  std::vector<std::uint8_t> localExtra = {};
};

struct ZipLayout {
  // Every size and offset of the headers in ZIP64 extra fields, and the ZIP64 end record and
  // locator before the end record, whose own fields then say "see ZIP64".
  bool zip64 = false;
  // Bytes before the archive, as a self-extractor has; the offsets the archive records leave
  // them out.
  std::vector<std::uint8_t> prefix = {};
  std::string comment = {};
};

std::vector<std::uint8_t> BuildZip(std::span<const ZipEntry> entries, const ZipLayout& layout = {});

// CRC-32 (reflected polynomial 0xEDB88320), one bit at a time.
std::uint32_t Crc32Of(std::span<const std::uint8_t> data);

// zlib's deflate without its header and checksum, as ZIP stores it.
std::vector<std::uint8_t> RawDeflate(std::span<const std::uint8_t> data);

// Deterministic bytes that deflate well but not to nothing: text-like runs with some noise.
std::vector<std::uint8_t> SampleBytes(std::size_t size, std::uint32_t seed);

}  // namespace orlaspin::testing
