#include "screens/plus3dos_header.h"

#include <algorithm>
#include <string_view>

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "PLUS3DOS";
constexpr std::uint8_t kSoftEof = 0x1A;
constexpr std::size_t kTotalLengthAt = 11;

}  // namespace

bool HasPlus3DosHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kPlus3DosHeaderBytes ||
      !std::equal(kSignature.begin(), kSignature.end(), bytes.begin()) ||
      bytes[kSignature.size()] != kSoftEof) {
    return false;
  }
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < kPlus3DosHeaderBytes; ++i) sum += bytes[i];
  return (sum & 0xFF) == bytes[kPlus3DosHeaderBytes - 1];
}

std::span<const std::uint8_t> Plus3DosData(std::span<const std::uint8_t> bytes) {
  if (!HasPlus3DosHeader(bytes)) return bytes;
  // The total, header included, holds 32 bits where the data's own length field holds 16.
  std::size_t total = 0;
  for (std::size_t i = 4; i-- > 0;) total = (total << 8) | bytes[kTotalLengthAt + i];
  const std::span<const std::uint8_t> data = bytes.subspan(kPlus3DosHeaderBytes);
  return data.first(std::min(total - std::min(total, kPlus3DosHeaderBytes), data.size()));
}

}  // namespace orlaspin
