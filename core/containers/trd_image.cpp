#include "containers/trd_image.h"

#include <algorithm>
#include <array>


namespace orlaspin {

namespace {

constexpr std::size_t kDiskIdentifierAt = 8 * 256 + 0xE7;
constexpr std::uint8_t kTrDosIdentifier = 0x10;

}  // namespace

bool HasTrdDiskIdentifier(std::span<const std::uint8_t> image) {
  return image.size() > kDiskIdentifierAt && image[kDiskIdentifierAt] == kTrDosIdentifier;
}

Collection CollectionOfCatalogue(const CatalogueTable& table, int entryCount) {
  Collection collection{ImageKind::TrdImage, {}, {}, {}};
  for (int i = 0; i < entryCount; ++i) {
    CollectionFile& file =
        collection.files.emplace_back(FileFromCatalogueEntry(table[i], table[i].FileOffset()));
    file.isScreen = table[i].IsScreen == 1;  // the table's own mark, as listed
  }
  return collection;
}

Collection ReadTrdImage(std::span<const std::uint8_t> image) {
  std::array<std::uint8_t, kCatalogueBytes> catalogue{};
  std::copy_n(image.begin(), std::min(image.size(), catalogue.size()), catalogue.begin());
  CatalogueTable table{};
  return CollectionOfCatalogue(table, ListCatalogue(catalogue, table));
}

}  // namespace orlaspin
