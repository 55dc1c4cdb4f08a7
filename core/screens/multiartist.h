// MultiArtist pictures (.mg1, .mg2, .mg4, .mg8): two multicolour screens behind a 256-byte
// "MGH" header, shown as a gigascreen.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// "MGH", version 1, the attribute cell's height (1, 2, 4 or 8 lines), two border colours, then
// from byte 256 the two screens' pixels (6144 bytes each, standard line order) and their
// attributes: with cells of 2, 4 or 8 lines, a row of 32 for each cell row of each screen;
// with cells of 1 line, 16 a line for columns 8-23 of each screen, then for each screen the
// outer columns 0-7 and 24-31 in 8 x 8 cells. As a gigascreen (GigascreenFrames).
ScreenPictures MultiArtistPictures(std::span<const std::uint8_t> bytes,
                                   const ScreenOptions& options);

// Why the bytes are no MultiArtist file (the signature, version, cell height or size found and
// what was expected), empty when they are one.
std::string MultiArtistHeaderFault(std::span<const std::uint8_t> bytes);

}  // namespace orlaspin
