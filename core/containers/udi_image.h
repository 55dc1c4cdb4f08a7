// A UDI disk image read from memory: "UDI!", the geometry, then every track as the raw bytes a
// floppy controller reads (gaps, address marks, IDs, data, CRCs) with a bitmap of the bytes written
// as sync marks; a track may be zlib-compressed. A CRC-32 of its own kind ends the file.
#pragma once

#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

// "UDI!", or "udi!" (a compressed image, which is not read).
bool HasUdiSignature(std::span<const std::uint8_t> image);

// The UDI's checksum over bytes: CRC-32 (polynomial 0xEDB88320) run with a signed accumulator, so
// every shift right copies the top bit, and inverted before and after each byte.
std::uint32_t UdiChecksum(std::span<const std::uint8_t> bytes);

// The TR-DOS catalogue of the disk (TrDosSectors::ReadCatalogue), its linear image in
// collection.unpacked. A wrong checksum, a file cut short, a track that cannot be decompressed or
// is not MFM, and sectors with bad CRCs are warnings. Raises ImageFormatError when the signature
// or the 16-byte header is missing, for a compressed "udi!" image, and when the disk is not a
// TR-DOS disk.
Collection ReadUdiImage(std::span<const std::uint8_t> image);

}  // namespace orlaspin
