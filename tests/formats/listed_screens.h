// What a reader's listing shows of its screens, for the tape and snapshot tests.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "containers/collection.h"

namespace orlaspin::testing {

struct ListedScreen {
  std::string name;
  ScreenBytes bytes;
  bool operator==(const ListedScreen&) const = default;
};

// Names the screen and sums its bytes, instead of printing all 6912.
inline void PrintTo(const ListedScreen& screen, std::ostream* out) {
  std::uint32_t hash = 2166136261u;
  for (const std::uint8_t byte : screen.bytes) hash = (hash ^ byte) * 16777619u;
  *out << "{\"" << screen.name << "\", bytes hashing to " << hash << "}";
}

// Every file marked a screen, with the 6912 bytes it reads as.
inline std::vector<ListedScreen> ListedScreens(const Collection& collection,
                                               std::span<const std::uint8_t> image) {
  std::vector<ListedScreen> screens;
  for (const CollectionFile& file : collection.files) {
    if (file.isScreen)
      screens.push_back({file.name, ScreenData(FileBytes(collection, image), file)});
  }
  return screens;
}

// The screen's first bytes, then zeros: what a screen cut short reads as.
inline ScreenBytes CutScreen(const ScreenBytes& screen, std::size_t kept) {
  ScreenBytes cut{};
  std::copy_n(screen.begin(), kept, cut.begin());
  return cut;
}

}  // namespace orlaspin::testing
