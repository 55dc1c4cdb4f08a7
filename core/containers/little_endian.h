// Little-endian fields, as every ZX container stores its numbers. The caller makes sure the
// bytes are there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orlaspin {

inline std::uint16_t U16At(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t at) {
  return U16At(bytes, at) | (std::uint32_t{U16At(bytes, at + 2)} << 16);
}

}  // namespace orlaspin
