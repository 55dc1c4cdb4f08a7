// The TR-DOS catalogue: the first 2048 bytes of a disk image, 128 entries of 16 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orlaspin {

class FileSystem;
struct ProgramState;

inline constexpr int kCatalogueSlots = 128;
inline constexpr std::size_t kCatalogueEntrySize = 16;
inline constexpr std::size_t kCatalogueBytes = kCatalogueSlots * kCatalogueEntrySize;  // 2048
inline constexpr std::uint16_t kScreenFileLength = 6912;
inline constexpr int kGridColumns = 5;

// One catalogue entry: its 16 bytes exactly as stored in the image, and the screen mark.
struct CatalogueEntry {
  std::array<std::uint8_t, kCatalogueEntrySize> Bytes{};
  std::uint8_t IsScreen = 0;

  std::span<const std::uint8_t, 8> Name() const { return std::span(Bytes).first<8>(); }
  std::uint8_t Extension() const { return Bytes[8]; }
  std::uint16_t Start() const { return U16(9); }
  std::uint16_t Length() const { return U16(11); }
  std::uint8_t SectorCount() const { return Bytes[13]; }
  std::uint8_t FirstSector() const { return Bytes[14]; }
  std::uint8_t FirstTrack() const { return Bytes[15]; }
  // Byte offset of the file's first sector: 16 sectors of 256 bytes to a track.
  std::uint32_t FileOffset() const { return (FirstTrack() * 16u + FirstSector()) * 256u; }
  // The name up to, not including, its first zero byte: 0 to 8 bytes.
  std::string_view NameText() const;

 private:
  std::uint16_t U16(std::size_t at) const {
    return static_cast<std::uint16_t>(Bytes[at] | (Bytes[at + 1] << 8));
  }
};

using CatalogueTable = std::array<CatalogueEntry, kCatalogueSlots>;

// Where a catalogue is listed: the grid of the window, or the listing of the command-line tool.
class CatalogueView {
 public:
  virtual ~CatalogueView() = default;
  // column 0-4, row 0-127; text is one character per byte, unconverted.
  virtual void SetCell(int column, int row, std::string_view text) = 0;
  virtual void SetRowCount(int rows) = 0;
};

// The five cell texts of a listed entry: name, extension (always one byte), start, length and
// file offset in decimal.
std::array<std::string, kGridColumns> EntryCells(const CatalogueEntry& entry);

// A catalogue text with bytes outside 0x20-0x7E, and the backslash, written as \xHH.
std::string EscapeCatalogueText(std::string_view text);

// Replaces the table's bytes with those of an image's catalogue area (missing bytes are zero),
// marks the screens of the entries it examines and returns the number of listed entries.
int ListCatalogue(std::span<const std::uint8_t, kCatalogueBytes> bytes, CatalogueTable& table);

// Reads the catalogue of the image at path into state.Catalogue and state.EntryCount and lists
// it in view. A path naming no file changes nothing. A failure raises the I/O error and leaves the
// state and the view as they were.
void LoadCatalogue(ProgramState& state, FileSystem& files, CatalogueView& view,
                   const std::string& path);

}  // namespace orlaspin
