// A CPC-style disk image (.dsk) read from memory, standard ("MV - CPC") or extended ("EXTENDED CPC
// DSK File"): a disk information block, then each track's information block (its sectors' IDs and
// sizes) followed by the sectors' data.
#pragma once

#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

bool HasDskSignature(std::span<const std::uint8_t> image);

// A +3 disk's files (ReadPlus3DosFiles); a disk whose track 0 sector 9 carries TR-DOS's
// identifier is read as TR-DOS (TrDosSectors::ReadCatalogue). Tracks without their information
// block and an image cut short are warnings. Raises ImageFormatError when the signature or the
// 256-byte disk information block is missing, or the disk is neither +3DOS nor TR-DOS.
Collection ReadDskImage(std::span<const std::uint8_t> image);

}  // namespace orlaspin
