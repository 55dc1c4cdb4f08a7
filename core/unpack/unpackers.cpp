#include "unpack/unpackers.h"

namespace orlaspin {

namespace {

constexpr std::span<const std::string_view> ExtensionNumber(std::size_t index) {
  return std::span(kPackedExtensions).subspan(index, 1);
}

constexpr Unpacker kUnpackers[] = {
    {"ZX0", ExtensionNumber(0), UnpackZx0},
    {"ZX0 classic", ExtensionNumber(0), UnpackZx0Classic},
    {"ZX1", ExtensionNumber(1), UnpackZx1},
    {"ZX7", ExtensionNumber(2), UnpackZx7},
    {"LZ4", ExtensionNumber(3), UnpackLz4Block},
    {"MegaLZ", ExtensionNumber(4), UnpackMegaLz},
};

}  // namespace

std::span<const Unpacker> Unpackers() { return kUnpackers; }

bool EndsAtLastByte(const Unpacked& unpacked, std::span<const std::uint8_t> packed) {
  return unpacked.streamEnd == packed.size();
}

}  // namespace orlaspin
