// What --unpack and --all-screens promise for any collection a reader made: every screen they
// bring out lies within the revealed bytes and decodes as its format.
#pragma once

#include "containers/hidden_screens.h"
#include "fuzz_check.h"
#include "screens/screen_format.h"

namespace orlaspin::testing {

inline void CheckHiddenScreens(Collection& collection, std::span<const std::uint8_t> image) {
  RevealHiddenScreens(collection, image, {true, true});
  for (const CollectionFile& file : collection.files) {
    if (!file.revealed) continue;
    const auto& [how, at, size] = *file.revealed;
    FuzzRequire(at + size <= collection.revealed.size(), "a hidden screen lies within its bytes");
    DecodeScreenFile(file.screenFormat, CollectionScreenFile(collection, image, file), {});
  }
}

}  // namespace orlaspin::testing
