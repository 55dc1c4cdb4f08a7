// An FDI disk image read from memory: "FDI", the geometry, then one header per track (cylinder 0
// side 0, cylinder 0 side 1, ...) listing its sectors' IDs and where their data lies.
#pragma once

#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

bool HasFdiSignature(std::span<const std::uint8_t> image);

// The TR-DOS catalogue of the disk (TrDosSectors::ReadCatalogue), its linear image in
// collection.unpacked. Track headers or sector data cut short by the file's end are warnings.
// Raises ImageFormatError when the signature or the 14-byte header is missing, or when the disk is
// not a TR-DOS disk.
Collection ReadFdiImage(std::span<const std::uint8_t> image);

}  // namespace orlaspin
