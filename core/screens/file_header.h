// What the decoders of formats with a header share: reading its words, and the refusal of bytes
// too short for it or without its signature.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orlaspin {

// The little-endian word at offset at.
constexpr std::size_t WordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
  return bytes[at] | (static_cast<std::size_t>(bytes[at + 1]) << 8);
}

// Why the bytes are not a what ("not a MultiArtist file: ..."): fewer than headerBytes, or not
// beginning with signature (shown as shown); empty when neither.
std::string HeaderStartFault(std::span<const std::uint8_t> bytes, std::string_view what,
                             std::size_t headerBytes, std::string_view signature,
                             std::string_view shown);

}  // namespace orlaspin
