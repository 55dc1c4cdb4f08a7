#include "containers/trd_image.h"

#include <algorithm>
#include <array>

#include "containers/catalogue.h"

namespace orlaspin {

namespace {

constexpr std::size_t kDiskIdentifierAt = 8 * 256 + 0xE7;
constexpr std::uint8_t kTrDosIdentifier = 0x10;

}  // namespace

bool HasTrdDiskIdentifier(std::span<const std::uint8_t> image) {
  return image.size() > kDiskIdentifierAt && image[kDiskIdentifierAt] == kTrDosIdentifier;
}

Collection ReadTrdImage(std::span<const std::uint8_t> image) {
  std::array<std::uint8_t, kCatalogueBytes> catalogue{};
  std::copy_n(image.begin(), std::min(image.size(), catalogue.size()), catalogue.begin());
  CatalogueTable table{};
  const int entryCount = ListCatalogue(catalogue, table);

  Collection collection{ImageKind::TrdImage, {}, {}, {}};
  for (int i = 0; i < entryCount; ++i) {
    collection.files.push_back(FileFromCatalogueEntry(table[i], table[i].FileOffset()));
  }
  return collection;
}

}  // namespace orlaspin
