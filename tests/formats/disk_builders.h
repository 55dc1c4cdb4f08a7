// Builds disk images in memory for tests, written from the formats' layouts: FDI, UDI, TD0 and
// DSK files holding any sectors, TR-DOS disks taken apart into their sectors, and +3DOS disks
// holding files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::testing {

// A sector as a disk records it.
struct SectorRecord {
  std::uint8_t cylinder = 0;  // the ID field: C, H, R, N
  std::uint8_t head = 0;
  std::uint8_t id = 1;
  std::uint8_t sizeCode = 1;
  std::vector<std::uint8_t> data;  // none: an ID without data
  bool crcError = false;           // the data was read with a CRC error
};

using TrackRecord = std::vector<SectorRecord>;

// A disk's tracks in the order cylinder 0 side 0, cylinder 0 side 1, cylinder 1 side 0, ...
struct DiskRecord {
  std::size_t cylinders = 0;
  std::size_t heads = 1;
  std::vector<TrackRecord> tracks;

  TrackRecord& Track(std::size_t cylinder, std::size_t head) {
    return tracks.at(cylinder * heads + head);
  }
  // The first sector of the track with this ID; throws std::out_of_range when there is none.
  SectorRecord& Sector(std::size_t cylinder, std::size_t head, std::uint8_t id);
};

// The order TR-DOS formats a track's sectors in: 1, 9, 2, 10, ... 8, 16.
inline constexpr std::uint8_t kTrDosInterleave[16] = {1, 9,  2, 10, 3, 11, 4, 12,
                                                      5, 13, 6, 14, 7, 15, 8, 16};

// A linear TR-DOS image (as TrdBuilder makes it) taken apart into cylinders x heads tracks of 16
// sectors of 256 bytes in kTrDosInterleave order; bytes past the image's end are zero.
DiskRecord TrDosDisk(std::span<const std::uint8_t> linear, std::size_t cylinders,
                     std::size_t heads);

// "FDI", the geometry, a description text, the track headers and each track's sectors' data.
// A sector without data gets flag 0x40; one with a CRC error lacks the flag bit of its size.
std::vector<std::uint8_t> BuildFdi(const DiskRecord& disk);

struct UdiOptions {
  std::vector<std::uint8_t> extendedHeader;
  bool compressTracks = false;  // each track as a zlib-compressed record (type 0xF0)
};

// The UDI checksum, transcribed from the format's description with a signed 32-bit accumulator.
std::uint32_t ExpectedUdiChecksum(std::span<const std::uint8_t> bytes);

// Each track as raw MFM bytes (gaps, sync marks with their bitmap bits, ID and data fields with
// their CRCs: a sector with a CRC error gets a wrong data CRC, one without data no data field),
// then the checksum.
std::vector<std::uint8_t> BuildUdi(const DiskRecord& disk, const UdiOptions& options = {});

struct Td0Options {
  std::string comment;               // none: no comment block
  bool advancedCompression = false;  // "td" instead of "TD" (the rest stays as it is)
};

// Teledisk's CRC-16 (polynomial 0xA097, preset 0) of bytes.
std::uint16_t ExpectedTeledisksCrc(std::span<const std::uint8_t> bytes);

// The header, the comment, each track and its sectors; the sectors' data stored raw, as 2-byte
// patterns and run-length coded in turn. A sector without data gets flag 0x20, one with a CRC
// error flag 0x02; one whose size code is above 6 gets no data block and no flag, as Teledisk
// writes the sector headers it makes up.
std::vector<std::uint8_t> BuildTd0(const DiskRecord& disk, const Td0Options& options = {});

// A standard ("MV - CPC", every track as long as the longest) or extended DSK. A sector with a
// CRC error gets the error bits of ST1 and ST2; one without data the missing-data-mark bit of ST2
// (and in an extended image a stored length of 0). A track with no sectors is unformatted in an
// extended image.
std::vector<std::uint8_t> BuildDsk(const DiskRecord& disk, bool extended);

// A file on a +3DOS disk.
struct Plus3File {
  std::string name;                        // up to 8 bytes
  std::string extension;                   // up to 3 bytes
  std::optional<std::uint8_t> headerType;  // the PLUS3DOS header's type; none: headerless
  std::uint16_t param1 = 0;
  std::vector<std::uint8_t> data;  // after the header
  std::uint8_t user = 0;
};

Plus3File Plus3Screen(const std::string& name, const ScreenBytes& screen);

// The 128-byte PLUS3DOS header of a file with a header: signature, soft EOF, issue 1, version 0,
// the whole length, type, data length, param1, param2 32768, and the checksum.
std::vector<std::uint8_t> Plus3DosHeader(const Plus3File& file);

struct Plus3Format {
  std::size_t sides = 1;  // two: logical tracks alternate between the sides
  std::size_t tracksPerSide = 40;
  std::size_t reservedTracks = 1;
  std::size_t blockSize = 1024;
  std::size_t directoryBlocks = 2;
  bool blankGeometryRecord = false;  // sector 1 of track 0 all 0xE5: the +3's own format
};

// A disk of 9 sectors of 512 bytes to a track, formatted as +3DOS formats it (the disk
// geometry record in track 0 sector 1, every other byte 0xE5), each track's sectors listed in the
// order 1, 6, 2, 7, 3, 8, 4, 9, 5, holding the files in order in consecutive blocks after the
// directory: for each one its header (if any), its data and 0x1A up to a whole record.
// Directory entries of 16 blocks each; block numbers are 16-bit on a disk of more than 255 blocks.
DiskRecord Plus3Disk(std::span<const Plus3File> files, const Plus3Format& format = {});

}  // namespace orlaspin::testing
