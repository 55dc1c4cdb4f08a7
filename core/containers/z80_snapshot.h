// A Z80 snapshot read from memory. Version 1: a 30-byte header and the 48K RAM from 0x4000,
// compressed when bit 5 of byte 12 is set (ending with 00 ED ED 00). Versions 2 and 3 (PC 0 in
// the header): an extra header of 23, 54 or 55 bytes, then memory pages, each a 16-bit length
// (0xFFFF: 16384 bytes stored as they are), a page number and the page compressed.
// Compression writes a run as ED ED count byte.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// The screen on display, named stem, with the border colour of byte 12 (bits 1-3; a byte 12 of
// 0xFF counts as 1): page 8, or page 10 on a 128K machine whose port 0x7FFD has bit 3 set;
// version 1, the start of its memory. A Timex machine's screen is shown in the mode of byte 36
// (SnapshotDisplay::timexMode). Memory that does not unpack to its full size, a snapshot
// cut short or one without the screen's page is a warning. Raises ImageFormatError when the
// headers are incomplete or the extra header's length is none of a version's.
Collection ReadZ80Snapshot(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
