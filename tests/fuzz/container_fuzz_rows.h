// The rows of container_fuzzer, one per container reader it runs, in the order of the byte that
// picks one; its seeds are images of each kind behind that byte.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orlaspin::testing {

// The type words of the container table.
inline constexpr std::string_view kContainerFuzzRows[] = {
    "scl", "hobeta", "tap", "tzx", "pzx", "sna", "z80", "szx", "fdi", "udi", "td0", "dsk", "nex"};

// An image as a seed of its row: the byte that picks the row, then the image.
inline std::vector<std::uint8_t> ContainerFuzzSeed(std::string_view row,
                                                   std::span<const std::uint8_t> image) {
  const auto* at = std::ranges::find(kContainerFuzzRows, row);
  if (at == std::end(kContainerFuzzRows)) {
    throw std::logic_error("container_fuzzer has no row " + std::string(row));
  }
  std::vector<std::uint8_t> seed{static_cast<std::uint8_t>(at - std::begin(kContainerFuzzRows))};
  seed.insert(seed.end(), image.begin(), image.end());
  return seed;
}

}  // namespace orlaspin::testing
