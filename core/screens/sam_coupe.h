// SAM Coupé screens (.ss3, .ss4, .ssx) in their own colours: a CLUT of 16 entries that the file
// carries picks each colour from the SAM's 128.
#pragma once

#include <cstdint>
#include <span>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// A CLUT entry, 7 bits: bits 0-2 the low bits of blue, red and green, bit 3 a half step of all
// three (bright), bits 4-6 their high bits; each channel 4 high + 2 low + bright, a 3-bit level.
Colour SamColour(std::uint8_t clut);

// Mode 1 (6928 bytes): a standard screen, then the 16 CLUT entries; ink and paper are entries
// colour + 8 x bright.
ScreenPictures SamMode1Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Mode 2 (12304 bytes): 6144 bytes of pixels line by line from the top, an attribute for every 8
// pixels of every line in the same order, then the CLUT, as in mode 1.
ScreenPictures SamMode2Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Mode 3 (.ss3 24617, .ssx 24580 bytes): 512 x 192, 4 pixels a byte (the left in bits 7-6, whose
// bit 7 is the entry's bit 0), 128 bytes a line, then the CLUT's first 4 entries. Each line is
// shown twice, 512 x 384.
ScreenPictures SamMode3Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// Mode 4 (.ss4 24617, .ssx 24592 bytes): 256 x 192, 2 pixels a byte (the left in the high
// nibble), 128 bytes a line, then the 16 CLUT entries.
ScreenPictures SamMode4Pictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

// 98304 bytes: 512 x 192, a CLUT value (bit 7 ignored) a pixel line by line; each line shown
// twice, 512 x 384.
ScreenPictures SamRawPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options);

}  // namespace orlaspin
