// The TR-DOS catalogue: the first 2048 bytes of a disk image, 128 entries of 16 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "containers/little_endian.h"

namespace orlaspin {

inline constexpr int kCatalogueSlots = 128;
inline constexpr std::size_t kCatalogueEntrySize = 16;
inline constexpr std::size_t kCatalogueBytes = kCatalogueSlots * kCatalogueEntrySize;  // 2048
inline constexpr std::uint16_t kScreenFileLength = 6912;

// One catalogue entry: its 16 bytes exactly as stored in the image.
struct CatalogueEntry {
  std::array<std::uint8_t, kCatalogueEntrySize> Bytes{};

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

// A catalogue text with bytes outside 0x20-0x7E, and the backslash, written as \xHH.
std::string EscapeCatalogueText(std::string_view text);

// The entries of an image's catalogue area in use: those before the first whose name is empty
// (begins with a zero byte), at most kCatalogueSlots.
std::vector<CatalogueEntry> ListCatalogue(std::span<const std::uint8_t, kCatalogueBytes> bytes);

}  // namespace orlaspin
