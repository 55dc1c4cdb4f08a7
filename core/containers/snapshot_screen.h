// The one file a snapshot lists: the screen that was on display when it was taken.
#pragma once

#include <array>
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

// What a snapshot records of how its screen was shown, beyond the standard screen.
struct SnapshotDisplay {
  // The last value written to the Timex screen mode port 0xFF: bits 0-2 are 2 for hi-colour
  // (the attributes 0x2000 into the page), 6 for hi-res (the second pixel screen there, the
  // colours in bits 3-5); other modes show the standard screen.
  std::uint8_t timexMode = 0;
  // The ULA+ palette (GGGRRRBB bytes), when ULA+ mode was on.
  std::optional<std::array<std::uint8_t, 64>> ulaPlusPalette;
};

// Lists the screen at offset in the snapshot's own bytes, where held (the bytes from the
// screen's start to the end of its page or of the file) lie: named stem (the snapshot's file
// name), typed "snapshot", with the border colour. A display other than the standard one makes
// the screen its format's bytes (ListUnpackedScreen). When held is shorter than a screen, a
// warning says so and the screen becomes the collection's unpacked bytes, ending in zeros.
void ListStoredScreen(Collection& collection, std::string_view stem,
                      std::span<const std::uint8_t> held, std::uint64_t offset,
                      std::optional<std::uint8_t> border, const SnapshotDisplay& display = {});

// Lists the screen at the start of memory the reader unpacked, as ListStoredScreen; the screen's
// bytes become the collection's unpacked bytes (zeros past the memory's end): a standard
// screen's 6912, or the bytes of the screen format of the display recorded (Timex hi-colour, with
// the ULA+ palette after them when on; Timex hi-res; ULA+), taken from the page where the display
// reads them.
void ListUnpackedScreen(Collection& collection, std::string_view stem,
                        std::vector<std::uint8_t> memory, std::optional<std::uint8_t> border,
                        const SnapshotDisplay& display = {});

// Keeps bank 7 of a 128K snapshot that displays bank 5, from page (the bank's bytes; fewer than
// a screen's end in zeros), as the collection's bank7 screen: named stem and "-bank7", typed
// "snapshot", listed at offset, found as "bank 7".
void KeepBank7Screen(Collection& collection, std::string_view stem,
                     std::span<const std::uint8_t> page, std::uint64_t offset);

}  // namespace orlaspin
