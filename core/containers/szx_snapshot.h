// An SZX (zx-state) snapshot read from memory: "ZXST", the version, the machine and flags, then
// chunks, each a 4-byte name, a 32-bit length and its body. SPCR holds the border colour and the
// last write to port 0x7FFD; each RAMP holds one 16 KB RAM page, stored or as a zlib stream;
// SCLD the Timex screen mode and PLTT the ULA+ palette.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

bool HasSzxSignature(std::span<const std::uint8_t> image);

// The screen on display, named stem, with SPCR's border colour: RAM page 5, or page 7 on a 128K
// machine whose port 0x7FFD has bit 3 set; in the Timex mode of SCLD's second byte, and with
// PLTT's 64 colours when its flags turn ULA+ on (SnapshotDisplay). A page that does not unpack
// to 16384 bytes, a chunk cut short or a snapshot without the screen's page is a warning. Raises
// ImageFormatError without the signature or the whole 8-byte header.
Collection ReadSzxSnapshot(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
