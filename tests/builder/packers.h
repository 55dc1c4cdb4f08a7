// Small packers written from the published stream formats, so that every unpacker's tests can
// make streams of any content: a greedy parse into literals and copies, then each format's codes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace orlaspin::testing {

using PackFunction = std::vector<std::uint8_t> (*)(std::span<const std::uint8_t> data);

struct TestPacker {
  std::string_view name;  // the unpacker table's name of the format
  PackFunction pack;
};

// One packer per format: ZX0, ZX0 classic, ZX1, ZX7, LZ4 (block), MegaLZ. Data must not be empty.
std::span<const TestPacker> TestPackers();

}  // namespace orlaspin::testing
