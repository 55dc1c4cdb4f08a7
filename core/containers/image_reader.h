// Reading an image file of any supported kind: the reader is chosen by extension and content.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "containers/collection.h"
#include "containers/scl_image.h"

namespace orlaspin {

class FileSystem;

struct LoadedImage {
  std::vector<std::uint8_t> bytes;  // the file's bytes, up to kLargestImageRead
  Collection collection;
};

// Reading stops there: no image of a supported kind reaches further.
inline constexpr std::size_t kLargestImageRead = kSclLargestSize;

// The last part of a path, after its last "/" or "\".
std::string_view FileNamePart(std::string_view path);

// The file name without its last extension ("GAME.trd" gives "GAME"); a name whose only dot is
// its first character keeps it (".scr" stays ".scr").
std::string_view FileStem(std::string_view path);

// The collection in the bytes of the file at path. The extension decides when it names a kind
// (.trd, .scl, .scr; another screen format's when the size is one of the format's: .img, .mlt,
// .mc, .ifl, .mc4, .atr, .bsc, .bmc4, .ch$, .chr$; .$X and .!X for Hobeta; .fdi, .udi, .td0,
// .dsk; .tap, .tzx, .pzx, .sna, .z80, .szx; any case); otherwise the content: the signature of SCL,
// FDI, UDI, TD0 (with its header's CRC), DSK, TZX, PZX or SZX, a Hobeta header with a valid
// checksum, exactly 6912 bytes (a standard screen), the TR-DOS disk identifier, TAP blocks that end
// with the file and all hold their checksums, or an SNA snapshot's size. Raises ImageFormatError,
// its message starting with what the file is not, when none fits.
Collection ReadCollection(std::string_view path, std::span<const std::uint8_t> bytes);

// True when ReadCollection has a reader for the file at path: its extension names a kind of image
// (any case; .trd, .scl, .scr, another screen format's with one of its sizes, Hobeta's .$X and
// .!X, and the tape, snapshot and disk kinds: .tap, .tzx, .pzx, .sna, .z80, .szx, .fdi, .udi,
// .td0, .dsk), or its content is one that ReadCollection recognises by content alone.
bool IsKnownImage(std::string_view path, std::span<const std::uint8_t> bytes);

// Reads the file at path and its collection. A path naming no regular file raises the error of
// RequireRegularFile; a failed open, read or close raises its I/O error.
LoadedImage LoadImage(FileSystem& files, const std::string& path);

}  // namespace orlaspin
