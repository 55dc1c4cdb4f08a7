// Reading an image file of any supported kind: the row of ContainerKinds that its extension or
// content names reads it.
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
struct ContainerKind;

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

// The extension without its dot, lower case; empty when the name has none.
std::string ExtensionOf(std::string_view path);

// The row of ContainerKinds that reads the file at path: the one its extension names, else the
// one whose probe accepts its content; null when none does.
const ContainerKind* KindOfImage(std::string_view path, std::span<const std::uint8_t> bytes);

// The collection in the bytes of the file at path, read by KindOfImage's reader. Raises
// ImageFormatError, its message saying what the file is not, when no row takes it.
Collection ReadCollection(std::string_view path, std::span<const std::uint8_t> bytes);

// True when KindOfImage finds a row for the file: a look at its name and first bytes, not a read.
bool IsKnownImage(std::string_view path, std::span<const std::uint8_t> bytes);

// Reads the file at path and its collection. A path naming no regular file raises the error of
// RequireRegularFile; a failed open, read or close raises its I/O error.
LoadedImage LoadImage(FileSystem& files, const std::string& path);

}  // namespace orlaspin
