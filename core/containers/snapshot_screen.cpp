#include "containers/snapshot_screen.h"

#include <algorithm>

namespace orlaspin {

namespace {

void AddScreenFile(Collection& collection, std::string_view stem, std::uint64_t offset,
                   std::optional<std::uint8_t> border) {
  CollectionFile screen;
  screen.name = std::string(stem);
  screen.nameIsFileName = true;
  screen.length = kScreenBytes;
  screen.offset = offset;
  screen.isScreen = true;
  screen.type = "snapshot";
  screen.border = border;
  collection.files.push_back(std::move(screen));
}

}  // namespace

void ListStoredScreen(Collection& collection, std::string_view stem,
                      std::span<const std::uint8_t> held, std::uint64_t offset,
                      std::optional<std::uint8_t> border) {
  if (held.size() >= kScreenBytes) {
    AddScreenFile(collection, stem, offset, border);
    return;
  }
  ListUnpackedScreen(collection, stem, {held.begin(), held.end()}, border);
}

void ListUnpackedScreen(Collection& collection, std::string_view stem,
                        std::vector<std::uint8_t> memory, std::optional<std::uint8_t> border) {
  if (memory.size() < kScreenBytes) {
    collection.warnings.push_back("the snapshot is cut short: its screen has " +
                                  std::to_string(memory.size()) + " of 6912 bytes");
  }
  memory.resize(kScreenBytes);
  collection.unpacked = std::move(memory);
  AddScreenFile(collection, stem, 0, border);
}

}  // namespace orlaspin
