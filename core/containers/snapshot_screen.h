// The one file a snapshot lists: the screen that was on display when it was taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "containers/collection.h"

namespace orlaspin {

// Snapshot memory comes in 16 KB pages (banks); a screen starts at the beginning of its page.
inline constexpr std::size_t kMemoryPageSize = 16384;

// Lists the screen at offset in the snapshot's own bytes, where held (the bytes from the
// screen's start to the end of its page or of the file) lie: named stem (the snapshot's file
// name), typed "snapshot", with the border colour. When held is shorter than a screen, a warning
// says so and the screen becomes the collection's unpacked bytes, ending in zeros.
void ListStoredScreen(Collection& collection, std::string_view stem,
                      std::span<const std::uint8_t> held, std::uint64_t offset,
                      std::optional<std::uint8_t> border);

// Lists the screen at the start of memory the reader unpacked, as ListStoredScreen; the screen's
// 6912 bytes (zeros past the memory's end) become the collection's unpacked bytes.
void ListUnpackedScreen(Collection& collection, std::string_view stem,
                        std::vector<std::uint8_t> memory, std::optional<std::uint8_t> border);

}  // namespace orlaspin
