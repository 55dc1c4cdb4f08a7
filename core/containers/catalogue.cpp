#include "containers/catalogue.h"

#include <algorithm>

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

std::vector<CatalogueEntry> ListCatalogue(std::span<const std::uint8_t, kCatalogueBytes> bytes) {
  std::vector<CatalogueEntry> entries;
  for (std::size_t at = 0; at < bytes.size(); at += kCatalogueEntrySize) {
    CatalogueEntry entry;
    std::copy_n(bytes.begin() + at, kCatalogueEntrySize, entry.Bytes.begin());
    if (entry.NameText().empty()) break;
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace orlaspin
