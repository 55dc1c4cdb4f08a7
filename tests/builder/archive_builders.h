// Builds SCL archives and Hobeta files in memory for tests, written from the formats' layouts,
// and reads the real screens of tests/data.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::testing {

struct ArchivedFile {
  std::string name;  // up to 8 bytes, filled out with spaces
  std::uint8_t extension = 'C';
  std::uint16_t start = 0;
  std::vector<std::uint8_t> data;
  // Odd headers: by default the length is the data's size and the sector count covers it.
  std::optional<std::uint16_t> length;
  std::optional<std::uint8_t> sectorCount;

  std::uint16_t Length() const;
  std::uint8_t SectorCount() const;
};

ArchivedFile ScreenFile(const std::string& name, const ScreenBytes& screen);

// Name, extension, start, length, sector count: the 14 bytes that SCL stores per file.
std::array<std::uint8_t, 14> HeaderBytes(const ArchivedFile& file);

// "SINCLAIR", the count, the headers, each file's data filled out to its sectors, and the sum of
// all those bytes as 4 little-endian bytes.
std::vector<std::uint8_t> BuildScl(std::span<const ArchivedFile> files);

// (105 + 257 x the sum of bytes 0-14) mod 65536, summed here byte by byte.
std::uint16_t ExpectedHobetaChecksum(std::span<const std::uint8_t> header);

// The 17-byte header (the sector count as the full length's high byte, then the checksum) and the
// data filled out to its sectors.
std::vector<std::uint8_t> BuildHobeta(const ArchivedFile& file);

inline constexpr const char* kRealScreenNames[] = {
    "UzixLS_zx-midiplayer__title.scr",
    "mojontwins_MK2__gfx_title.scr",
    "nzeemin_desolate__loading.scr",
    "salvakantero_RedPlanet_ZX__gfx_loading.scr",
};

// The path of a file in the real test data, e.g. "scr/mojontwins_MK2__gfx_title.scr".
std::string TestdataPath(const std::string& relative);
ScreenBytes RealScreen(const std::string& scrName);

}  // namespace orlaspin::testing
