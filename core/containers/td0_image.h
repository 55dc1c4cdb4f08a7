// A Teledisk (TD0) disk image read from memory: a 12-byte header, an optional comment, then each
// track's header and its sectors, each an ID and, mostly, its data: stored raw, as a repeated
// 2-byte pattern or run-length coded.
#pragma once

#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

// "TD" (or "td", advanced compression) and a right CRC of the header.
bool HasTd0Signature(std::span<const std::uint8_t> image);

// The TR-DOS catalogue of the disk (TrDosSectors::ReadCatalogue), its linear image in
// collection.unpacked. Wrong CRCs, sectors recorded with CRC errors and an image cut short are
// warnings. Raises ImageFormatError when the signature or the header is missing, for advanced
// compression ("td", which this program does not decode), and when the disk is not TR-DOS.
Collection ReadTd0Image(std::span<const std::uint8_t> image);

}  // namespace orlaspin
