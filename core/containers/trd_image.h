// A TR-DOS disk image (.trd) read from memory: the catalogue of its first 2048 bytes.
#pragma once

#include <cstdint>
#include <span>

#include "containers/catalogue.h"
#include "containers/collection.h"

namespace orlaspin {

// True when the image carries TR-DOS's disk identifier (0x10 at byte 0xE7 of track 0, sector 8).
// Only a file of unknown extension needs it; a .trd is read whatever it holds.
bool HasTrdDiskIdentifier(std::span<const std::uint8_t> image);

// The entries that ListCatalogue lists (up to the first empty name, at most 128), each at its
// FileOffset, without a word on the image: for a disk whose reader has checked its sectors.
Collection ReadTrdCatalogue(std::span<const std::uint8_t> image);

// The entries that ListCatalogue lists (up to the first empty name, at most 128), each at its
// FileOffset; bytes past the end of a short image read as zero. Warns when the disk identifier is
// missing, and for each screen that reaches past the end of the image. Never fails.
Collection ReadTrdImage(std::span<const std::uint8_t> image);

}  // namespace orlaspin
