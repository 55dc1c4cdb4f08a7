// An SNA snapshot read from memory: a 27-byte header (registers, the border colour at 26), the
// 48K RAM from 0x4000; a 128K snapshot follows it with PC, the last write to port 0x7FFD, the
// TR-DOS flag and the other RAM banks in ascending order, leaving out 2, 5 and the paged bank.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// True for the sizes an SNA snapshot has: 49179 (48K), 131103 and 147487 (128K, the latter when
// the paged bank is 2 or 5, stored twice). How a snapshot of unknown extension is recognised.
bool HasSnaSize(std::size_t size);

// The screen on display, named stem: bank 5, or bank 7 when a 128K snapshot's port 0x7FFD has
// bit 3 set. A file of another size is read as 48K below 131103 bytes and as 128K from there,
// with a warning. Raises ImageFormatError when even the header is missing.
Collection ReadSnaSnapshot(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
