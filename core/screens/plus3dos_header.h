// The 128-byte PLUS3DOS header that +3DOS puts in front of a file's data (files copied off +3
// disks carry it, whatever their extension).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orlaspin {

inline constexpr std::size_t kPlus3DosHeaderBytes = 128;

// True when the bytes begin with a header: "PLUS3DOS", the soft end of file 0x1A, and in its
// last byte the sum of the 127 before it.
bool HasPlus3DosHeader(std::span<const std::uint8_t> bytes);

// The file's data: behind a header, as many bytes as its total length (offset 11, the header
// included) leaves or as there are; without one, all the bytes.
std::span<const std::uint8_t> Plus3DosData(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
