#include "containers/image_reader.h"

#include <algorithm>

#include "containers/bare_screen.h"
#include "screens/plus3dos_header.h"
#include "containers/dsk_image.h"
#include "containers/fdi_image.h"
#include "containers/td0_image.h"
#include "containers/udi_image.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "containers/hobeta_file.h"
#include "containers/trd_image.h"
#include "containers/pzx_file.h"
#include "containers/sna_snapshot.h"
#include "containers/szx_snapshot.h"
#include "containers/tap_file.h"
#include "containers/tzx_file.h"
#include "containers/z80_snapshot.h"

namespace orlaspin {

namespace {

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The extension without its dot, lower case; empty when the name has none.
std::string Extension(std::string_view path) {
  const std::string_view name = FileNamePart(path);
  const std::string_view stem = FileStem(path);
  return stem.size() < name.size() ? LowerAscii(name.substr(stem.size() + 1)) : std::string();
}

bool IsHobetaExtension(std::string_view extension) {
  return extension.size() == 2 && (extension[0] == '$' || extension[0] == '!');
}

Collection ReadByContent(std::string_view path, std::span<const std::uint8_t> bytes) {
  if (HasSclSignature(bytes)) return ReadSclArchive(bytes);
  if (HasFdiSignature(bytes)) return ReadFdiImage(bytes);
  if (HasUdiSignature(bytes)) return ReadUdiImage(bytes);
  if (HasTd0Signature(bytes)) return ReadTd0Image(bytes);
  if (HasDskSignature(bytes)) return ReadDskImage(bytes);
  if (HasTzxSignature(bytes)) return ReadTzxFile(bytes, FileStem(path));
  if (HasPzxSignature(bytes)) return ReadPzxFile(bytes, FileStem(path));
  if (HasSzxSignature(bytes)) return ReadSzxSnapshot(bytes, FileStem(path));
  if (HasHobetaHeader(bytes)) return ReadHobetaFile(bytes);
  if (bytes.size() == kScreenBytes) return ReadBareScreen(bytes, "scr", FileStem(path));
  if (HasPlus3DosHeader(bytes) && ScreenFormatOf("scr", bytes)) {
    return ReadBareScreen(bytes, "scr", FileStem(path));
  }
  if (HasTrdDiskIdentifier(bytes)) return ReadTrdImage(bytes);
  if (LooksLikeTap(bytes)) return ReadTapFile(bytes, FileStem(path));
  if (HasSnaSize(bytes.size())) return ReadSnaSnapshot(bytes, FileStem(path));
  throw ImageFormatError(
      "not a TR-DOS image, SCL archive, Hobeta file, 6912-byte screen, FDI, UDI, TD0 or DSK disk "
      "image, TAP, TZX or PZX tape, or SNA, Z80 or SZX snapshot");
}

// A file of a screen's extension that no screen format accepts may still be of another kind (a
// disk image named .img); when it is not, the refusal says what the screen formats expected.
Collection ReadByContentOrScreen(std::string_view path, std::string_view extension,
                                 std::span<const std::uint8_t> bytes) {
  try {
    return ReadByContent(path, bytes);
  } catch (const ImageFormatError&) {
    throw ImageFormatError(ScreenRefusal(extension, bytes));
  }
}

}  // namespace

std::string_view FileNamePart(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FileStem(std::string_view path) {
  const std::string_view name = FileNamePart(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

Collection ReadCollection(std::string_view path, std::span<const std::uint8_t> bytes) {
  const std::string extension = Extension(path);
  if (extension == "trd") return ReadTrdImage(bytes);
  if (extension == "scl") return ReadSclArchive(bytes);
  // Other kinds share some screen extensions (.img disks, .atr): there the size must fit too.
  if (extension == "scr" || ScreenFormatOf(extension, bytes)) {
    return ReadBareScreen(bytes, extension, FileStem(path));
  }
  if (IsHobetaExtension(extension)) return ReadHobetaFile(bytes);
  if (extension == "fdi") return ReadFdiImage(bytes);
  if (extension == "udi") return ReadUdiImage(bytes);
  if (extension == "td0") return ReadTd0Image(bytes);
  if (extension == "dsk") return ReadDskImage(bytes);
  if (extension == "tap") return ReadTapFile(bytes, FileStem(path));
  if (extension == "tzx") return ReadTzxFile(bytes, FileStem(path));
  if (extension == "pzx") return ReadPzxFile(bytes, FileStem(path));
  if (extension == "sna") return ReadSnaSnapshot(bytes, FileStem(path));
  if (extension == "z80") return ReadZ80Snapshot(bytes, FileStem(path));
  if (extension == "szx") return ReadSzxSnapshot(bytes, FileStem(path));
  if (IsScreenExtension(extension)) return ReadByContentOrScreen(path, extension, bytes);
  return ReadByContent(path, bytes);
}

bool IsKnownImage(std::string_view path, std::span<const std::uint8_t> bytes) {
  static constexpr std::string_view kImageExtensions[] = {
      "trd", "scl", "scr", "tap", "tzx", "pzx", "sna", "z80", "szx", "fdi", "udi", "td0", "dsk"};
  const std::string extension = Extension(path);
  if (IsHobetaExtension(extension) || ScreenFormatOf(extension, bytes) ||
      std::ranges::count(kImageExtensions, extension) > 0) {
    return true;
  }
  // Any error of a reader means no: a walk must go on whatever one file holds.
  try {
    ReadByContent(path, bytes);
    return true;
  } catch (const Error&) {
    return false;
  }
}

LoadedImage LoadImage(FileSystem& files, const std::string& path) {
  // The window ignores a missing path; a command naming one is told.
  RequireRegularFile(files, path);
  LoadedImage image;
  image.bytes = ReadFileStart(files, path, kLargestImageRead);
  image.collection = ReadCollection(path, image.bytes);
  return image;
}

}  // namespace orlaspin
