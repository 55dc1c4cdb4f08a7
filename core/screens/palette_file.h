// A palette of one's own, from a small text file.
//
// The file holds the 16 colours in the Spectrum's order, one per line as #RRGGBB (hexadecimal,
// either case): black, blue, red, magenta, green, cyan, yellow and white, then the same eight
// bright. Blank lines are skipped; "#" followed by a space, a tab or the line's end begins a
// comment, on a line of its own or after a colour. Lines may end in CRLF, and a UTF-8 byte order
// mark is skipped. For example:
//
//   # Fuse's colours
//   #000000   # black
//   #0000C0   # blue
//   ... (14 more)
//
// A Next palette file (.npl, or a .pal that is not text) holds the colours of the Next's
// screens instead, by its size: 256 one-byte colours (RRRGGGBB), 512 two-byte colours (the
// second byte's bit 0 the blue's low bit), or 513, the two-byte colours and a byte that is no
// colour (a transparent index or a colour mask).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "io/errors.h"
#include "screens/palettes.h"

namespace orlaspin {

class FileSystem;

// No palette file is longer: a longer file is refused before it is read.
inline constexpr std::size_t kLargestPaletteFile = 64 * 1024;

// The text is no palette file; the message starts "not a palette file: " and names the line.
class PaletteFileError : public Error {
 public:
  explicit PaletteFileError(std::string message) : Error(0, std::move(message)) {}
};

// The palette the text describes, named name; it mixes gigascreen colours in linear light.
// Raises PaletteFileError for a line that is neither a colour, a comment nor blank, for a 17th
// colour, and for fewer than 16.
ScreenPalette ParsePalette(std::string_view text, std::string name);

// The colours of a Next palette file's bytes. Raises PaletteFileError naming the size found and
// the sizes such a file has.
NextPalette ParseNextPalette(std::span<const std::uint8_t> bytes);

// The palette in the file at path, named by the path: a Next palette file's colours for the
// Next's screens (and the default palette's for the others), else the text's. A missing file raises
// "File not found", a failed open, read or close its I/O error, and a file longer than
// kLargestPaletteFile or not of either form above PaletteFileError.
ScreenPalette ReadPaletteFile(FileSystem& files, const std::string& path);

// The palette named nameOrPath, else the palette file at that path. When neither exists, raises
// PaletteFileError listing the palette names.
ScreenPalette PaletteByNameOrFile(FileSystem& files, const std::string& nameOrPath);

}  // namespace orlaspin
