#include "containers/trd_image.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace orlaspin {

namespace {

constexpr std::size_t kDiskIdentifierAt = 8 * 256 + 0xE7;
constexpr std::uint8_t kTrDosIdentifier = 0x10;

// Nothing when the screen's 6912 bytes are all in the image.
std::optional<Warning> PastTheEndWarning(const CatalogueEntry& entry, std::size_t imageSize) {
  const std::size_t offset = entry.FileOffset();
  if (offset + kScreenFileLength <= imageSize) return std::nullopt;
  std::string_view name = entry.NameText();
  while (name.ends_with(' ')) name.remove_suffix(1);
  std::string where = EscapeCatalogueText(name);
  if (offset >= imageSize) return Warning{Problem::ScreenWhollyPastEnd, std::move(where)};
  return Warning{Problem::ScreenPartlyPastEnd, std::move(where),
                 Details(offset + kScreenFileLength - imageSize, kScreenFileLength)};
}

// The entries that ListCatalogue lists in the image's first 2048 bytes (zero past a short image's
// end).
std::vector<CatalogueEntry> ListTrdCatalogue(std::span<const std::uint8_t> image) {
  std::array<std::uint8_t, kCatalogueBytes> catalogue{};
  std::copy_n(image.begin(), std::min(image.size(), catalogue.size()), catalogue.begin());
  return ListCatalogue(catalogue);
}

Collection CollectionOfEntries(std::span<const CatalogueEntry> entries) {
  Collection collection{ImageKind::TrdImage, {}, {}, {}};
  for (const CatalogueEntry& entry : entries) {
    collection.files.push_back(FileFromCatalogueEntry(entry, entry.FileOffset()));
  }
  return collection;
}

}  // namespace

bool HasTrdDiskIdentifier(std::span<const std::uint8_t> image) {
  return image.size() > kDiskIdentifierAt && image[kDiskIdentifierAt] == kTrDosIdentifier;
}

Collection ReadTrdCatalogue(std::span<const std::uint8_t> image) {
  return CollectionOfEntries(ListTrdCatalogue(image));
}

Collection ReadTrdImage(std::span<const std::uint8_t> image) {
  const std::vector<CatalogueEntry> table = ListTrdCatalogue(image);
  Collection collection = CollectionOfEntries(table);
  if (!HasTrdDiskIdentifier(image)) {
    collection.warnings.push_back({Problem::TrdMarkMissing});
  }
  for (std::size_t i = 0; i < collection.files.size(); ++i) {
    if (!collection.files[i].isScreen) continue;
    if (auto warning = PastTheEndWarning(table[i], image.size())) {
      collection.warnings.push_back(std::move(*warning));
    }
  }
  return collection;
}

}  // namespace orlaspin
