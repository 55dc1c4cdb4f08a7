// The unpackers of the packers whose stream formats are published, one table row each: the
// packer's name, the extensions of its bare files and its unpack function.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "unpack/unpack_stream.h"

namespace orlaspin {

struct Unpacked {
  std::vector<std::uint8_t> bytes;
  std::size_t streamEnd = 0;  // the input bytes the stream took, its end mark included
};

// Every unpack function reads a whole stream and returns what it unpacks to, or raises
// UnpackError naming where the stream breaks: input that ends inside it, a copy that reaches
// before the output, more than kLargestUnpacked bytes, a code the format does not have. It never
// reads past its input.
using UnpackFunction = Unpacked (*)(std::span<const std::uint8_t> packed);

struct Unpacker {
  std::string_view name;                         // as listings show it: "ZX0"
  std::span<const std::string_view> extensions;  // lower case, no dot
  UnpackFunction unpack;
};

// The extensions of packed files, every one a row's (lower case, no dot).
inline constexpr std::string_view kPackedExtensions[] = {"zx0", "zx1", "zx7", "lz4", "mlz"};

// Every row, the ones to try first first: ZX0 before its classic form, which differs only in the
// bits of one code.
std::span<const Unpacker> Unpackers();

// True when the stream ended exactly at the packed data's last byte: none of these formats
// carries a length, so this is what tells a stream from other bytes that happen to unpack.
bool EndsAtLastByte(const Unpacked& unpacked, std::span<const std::uint8_t> packed);

Unpacked UnpackZx0(std::span<const std::uint8_t> packed);
Unpacked UnpackZx0Classic(std::span<const std::uint8_t> packed);
Unpacked UnpackZx1(std::span<const std::uint8_t> packed);
Unpacked UnpackZx7(std::span<const std::uint8_t> packed);
Unpacked UnpackLz4Block(std::span<const std::uint8_t> packed);
Unpacked UnpackMegaLz(std::span<const std::uint8_t> packed);

}  // namespace orlaspin
