// A +3DOS disk read from its sectors: the CP/M 2.2 file system +3DOS keeps (a geometry record
// in track 0 sector 1, a directory of 32-byte entries, files in blocks) and the 128-byte PLUS3DOS
// header that +3DOS writes before the data of a file it saves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

// A sector as a disk image records it: where it lies, its ID and its data.
struct DiskSector {
  std::uint8_t cylinder = 0;  // the physical place, not the ID's cylinder
  std::uint8_t head = 0;
  std::uint8_t id = 0;                 // R, the sector number of the ID
  std::uint8_t sizeCode = 0;           // N: 128 << N bytes
  std::span<const std::uint8_t> data;  // fewer bytes than the size when the image is short of them
  bool damaged = false;                // read with a CRC error
};

// The most bytes the files of one disk are assembled into; a directory that lists more (the same
// blocks over and over) is cut there.
inline constexpr std::size_t kLargestPlus3Files = std::size_t{16} << 20;

// The disk's files in directory order (kind Dsk): names "NAME.EXT" of the directory, trimmed;
// with a valid PLUS3DOS header the data after the header, as long as the header's file length
// says, and the type ("Program", "Number array", "Character array", "Bytes") and start (the load
// address or autostart line) of its BASIC header, a screen when it is Bytes of 6912 ("headed"
// when it holds no BASIC header); without one "headerless", the whole file. Each file's bytes are
// assembled in collection.unpacked. Missing and damaged sectors, blocks outside the disk and files
// shorter than their header says are warnings. sectors lists the image's sectors in its tracks'
// order. Raises ImageFormatError "not a +3DOS disk: ..." when track 0 holds no geometry record
// +3DOS could use.
Collection ReadPlus3DosFiles(std::span<const DiskSector> sectors);

}  // namespace orlaspin
