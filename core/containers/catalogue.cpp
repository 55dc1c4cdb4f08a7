#include "containers/catalogue.h"

#include <algorithm>

#include "io/disk_file.h"

namespace orlaspin {

std::string_view CatalogueEntry::NameText() const {
  const auto name = Name();
  const auto end = std::find(name.begin(), name.end(), std::uint8_t{0});
  return {reinterpret_cast<const char*>(name.data()), static_cast<std::size_t>(end - name.begin())};
}

std::string EscapeCatalogueText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  for (const unsigned char c : text) {
    if (c >= 0x20 && c <= 0x7E && c != '\\') {
      escaped += static_cast<char>(c);
    } else {
      escaped += "\\x";
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  return escaped;
}

int ListCatalogue(std::span<const std::uint8_t, kCatalogueBytes> bytes, CatalogueTable& table) {
  for (int slot = 0; slot < kCatalogueSlots; ++slot) {
    std::copy_n(bytes.begin() + slot * kCatalogueEntrySize, kCatalogueEntrySize,
                table[slot].Bytes.begin());
  }
  for (int row = 0; row < kCatalogueSlots; ++row) {
    CatalogueEntry& entry = table[row];
    // The mark is set before the end test, so the terminating entry is marked too.
    entry.IsScreen = entry.HasScreenLength() ? 1 : 0;
    if (entry.NameText().empty()) return row;
  }
  return kCatalogueSlots;
}

std::optional<int> ReadCatalogue(FileSystem& files, const std::string& path,
                                 CatalogueTable& table) {
  if (!files.IsFile(path)) return std::nullopt;

  // Read into a zeroed buffer and build the new table aside, so that a failure at any step leaves
  // the previous image in place and a short image cannot show bytes of an earlier one.
  std::array<std::uint8_t, kCatalogueBytes> bytes{};
  {
    const auto file = files.OpenForReading(path);
    ReadFully(*file, bytes);
    file->Close();
  }
  CatalogueTable read = table;
  const int entryCount = ListCatalogue(bytes, read);
  table = read;
  return entryCount;
}

}  // namespace orlaspin
