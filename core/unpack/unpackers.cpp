#include "unpack/unpackers.h"

namespace orlaspin {

namespace {

constexpr std::string_view kZx0Extensions[] = {"zx0"};
constexpr std::string_view kZx1Extensions[] = {"zx1"};
constexpr std::string_view kZx7Extensions[] = {"zx7"};
constexpr std::string_view kLz4Extensions[] = {"lz4"};
constexpr std::string_view kMegaLzExtensions[] = {"mlz"};

constexpr Unpacker kUnpackers[] = {
    {"ZX0", kZx0Extensions, UnpackZx0},      {"ZX0 classic", kZx0Extensions, UnpackZx0Classic},
    {"ZX1", kZx1Extensions, UnpackZx1},      {"ZX7", kZx7Extensions, UnpackZx7},
    {"LZ4", kLz4Extensions, UnpackLz4Block}, {"MegaLZ", kMegaLzExtensions, UnpackMegaLz},
};

}  // namespace

std::span<const Unpacker> Unpackers() { return kUnpackers; }

bool EndsAtLastByte(const Unpacked& unpacked, std::span<const std::uint8_t> packed) {
  return unpacked.streamEnd == packed.size();
}

}  // namespace orlaspin
