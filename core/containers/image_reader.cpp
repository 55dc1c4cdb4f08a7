#include "containers/image_reader.h"

#include "containers/container_kinds.h"
#include "screens/screen_format.h"
#include "io/disk_file.h"
#include "io/errors.h"

namespace orlaspin {

namespace {

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
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

std::string ExtensionOf(std::string_view path) {
  const std::string_view name = FileNamePart(path);
  const std::string_view stem = FileStem(path);
  return stem.size() < name.size() ? LowerAscii(name.substr(stem.size() + 1)) : std::string();
}

const ContainerKind* KindOfImage(std::string_view path, std::span<const std::uint8_t> bytes) {
  const ContainerKind* byName = KindByExtension(ExtensionOf(path), bytes);
  return byName ? byName : KindByContent(bytes);
}

Collection ReadCollection(std::string_view path, std::span<const std::uint8_t> bytes) {
  const ContainerKind* kind = KindOfImage(path, bytes);
  if (kind) return kind->read(bytes, path);
  // A screen's extension that fits no screen format, nor any other kind by content: what the
  // screen formats expected says more than the kinds it is not.
  const std::string extension = ExtensionOf(path);
  if (IsScreenExtension(extension)) throw ImageFormatError(ScreenRefusal(extension, bytes));
  throw ImageFormatError(NoKnownKindText());
}

bool IsKnownImage(std::string_view path, std::span<const std::uint8_t> bytes) {
  return KindOfImage(path, bytes) != nullptr;
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
