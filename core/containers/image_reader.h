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
// (.trd, .scl, .scr; .$X and .!X for Hobeta, any case); otherwise the content: the SCL signature,
// a Hobeta header with a valid checksum, exactly 6912 bytes, or the TR-DOS disk identifier.
// Raises ImageFormatError, its message starting with what the file is not, when none fits.
Collection ReadCollection(std::string_view path, std::span<const std::uint8_t> bytes);

// Reads the file at path and its collection. A path naming no regular file raises the error of
// RequireRegularFile; a failed open, read or close raises its I/O error.
LoadedImage LoadImage(FileSystem& files, const std::string& path);

}  // namespace orlaspin
