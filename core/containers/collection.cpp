#include "containers/collection.h"

#include <algorithm>

#include "containers/catalogue.h"

namespace orlaspin {

CollectionFile FileFromCatalogueEntry(const CatalogueEntry& entry, std::uint64_t offset) {
  CollectionFile file;
  file.name = std::string(entry.NameText());
  file.extension = entry.Extension();
  file.start = entry.Start();
  file.length = entry.Length();
  file.offset = offset;
  file.isScreen = entry.HasScreenLength();
  return file;
}

std::array<std::string, 5> ListingCells(const CollectionFile& file) {
  std::string kind =
      file.extension ? std::string(1, static_cast<char>(*file.extension)) : file.type;
  if (file.revealed) kind = file.revealed->how;
  return {file.name, kind, file.start ? std::to_string(*file.start) : std::string(),
          std::to_string(file.length), std::to_string(file.offset)};
}

std::span<const std::uint8_t> FileBytes(const Collection& collection,
                                        std::span<const std::uint8_t> image) {
  return collection.unpacked.empty() ? image : std::span<const std::uint8_t>(collection.unpacked);
}

namespace {

// Fills out from the image's bytes at offset; what lies past the image's end stays as it is.
void CopyFrom(std::span<const std::uint8_t> image, std::uint64_t offset,
              std::span<std::uint8_t> out) {
  if (offset >= image.size()) return;
  const auto present = image.subspan(static_cast<std::size_t>(offset));
  std::copy_n(present.begin(), std::min(present.size(), out.size()), out.begin());
}

}  // namespace

ScreenBytes ScreenData(std::span<const std::uint8_t> image, const CollectionFile& file) {
  ScreenBytes screen{};
  CopyFrom(image, file.offset, screen);
  return screen;
}

std::size_t ScreenFileSize(const CollectionFile& file) {
  return file.screenFormat == ScreenFormat::Standard ? kScreenBytes : file.length;
}

std::vector<std::uint8_t> ScreenFileData(std::span<const std::uint8_t> image,
                                         const CollectionFile& file) {
  std::vector<std::uint8_t> bytes(ScreenFileSize(file));
  CopyFrom(image, file.offset, bytes);
  return bytes;
}

}  // namespace orlaspin

namespace orlaspin {

std::vector<std::uint8_t> CollectionScreenFile(const Collection& collection,
                                               std::span<const std::uint8_t> image,
                                               const CollectionFile& file) {
  if (!file.revealed) return ScreenFileData(FileBytes(collection, image), file);
  const auto bytes = std::span(collection.revealed).subspan(file.revealed->at, file.revealed->size);
  return {bytes.begin(), bytes.end()};
}

}  // namespace orlaspin
