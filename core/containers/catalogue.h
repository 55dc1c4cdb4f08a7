// The TR-DOS catalogue: the first 2048 bytes of a disk image, 128 entries of 16 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "containers/little_endian.h"

namespace orlaspin {

class FileSystem;

inline constexpr int kCatalogueSlots = 128;
inline constexpr std::size_t kCatalogueEntrySize = 16;
inline constexpr std::size_t kCatalogueBytes = kCatalogueSlots * kCatalogueEntrySize;  // 2048
inline constexpr std::uint16_t kScreenFileLength = 6912;

// One catalogue entry: its 16 bytes exactly as stored in the image, and the screen mark.
struct CatalogueEntry {
  std::array<std::uint8_t, kCatalogueEntrySize> Bytes{};
  std::uint8_t IsScreen = 0;

  std::span<const std::uint8_t, 8> Name() const { return std::span(Bytes).first<8>(); }
  std::uint8_t Extension() const { return Bytes[8]; }
  std::uint16_t Start() const { return U16At(Bytes, 9); }
  std::uint16_t Length() const { return U16At(Bytes, 11); }
  std::uint8_t SectorCount() const { return Bytes[13]; }
  std::uint8_t FirstSector() const { return Bytes[14]; }
  std::uint8_t FirstTrack() const { return Bytes[15]; }
  // Byte offset of the file's first sector: 16 sectors of 256 bytes to a track.
  std::uint32_t FileOffset() const { return (FirstTrack() * 16u + FirstSector()) * 256u; }
  // The name up to, not including, its first zero byte: 0 to 8 bytes.
  std::string_view NameText() const;
  // The screen rule of every TR-DOS file, listed or packed: exactly 6912 bytes long.
  bool HasScreenLength() const { return Length() == kScreenFileLength; }
};

using CatalogueTable = std::array<CatalogueEntry, kCatalogueSlots>;

// A catalogue text with bytes outside 0x20-0x7E, and the backslash, written as \xHH.
std::string EscapeCatalogueText(std::string_view text);

// Replaces the table's bytes with those of an image's catalogue area (missing bytes are zero),
// marks the screens of the entries it examines and returns the number of listed entries.
int ListCatalogue(std::span<const std::uint8_t, kCatalogueBytes> bytes, CatalogueTable& table);

// Reads the catalogue of the image at path into table and returns the number of listed entries.
// A path naming no file returns nothing and changes nothing. A failed open, read or close raises
// its I/O error and leaves the table as it was; the table is otherwise fully replaced, but for
// the screen marks past the terminating entry, which keep their earlier values.
std::optional<int> ReadCatalogue(FileSystem& files, const std::string& path, CatalogueTable& table);

}  // namespace orlaspin
