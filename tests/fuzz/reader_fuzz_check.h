// The promises every container reader keeps on any bytes: it lists or refuses them as not its
// kind, nothing else; every listed file lies within the bytes it points into, unless a warning
// says the image is cut short; every screen reads; the bytes it made stay within a bound.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "containers/collection.h"
#include "fuzz_check.h"
#include "hidden_screens_check.h"

namespace orlaspin::testing {

// The problems of a tape or snapshot that ends before the bytes it lists.
inline bool WarnsOfCutShort(const Collection& collection) {
  return std::any_of(collection.warnings.begin(), collection.warnings.end(), [](const Warning& w) {
    return w.problem == Problem::TapeCutShort || w.problem == Problem::SnapshotCutShort ||
           w.problem == Problem::SnapshotScreenCutShort;
  });
}

template <typename Reader>
void CheckReader(Reader read, ImageKind kind, const std::uint8_t* data, std::size_t size,
                 std::size_t madeLimit) {
  const std::span<const std::uint8_t> image(data, size);
  Collection collection;
  try {
    collection = read(image, "fuzz");
  } catch (const ImageFormatError&) {
    return;
  }
  FuzzRequire(collection.kind == kind, "the collection is of the reader's kind");
  FuzzRequire(collection.unpacked.size() <= madeLimit, "the bytes made stay within their bound");
  const std::span<const std::uint8_t> bytes = FileBytes(collection, image);
  for (const CollectionFile& file : collection.files) {
    FuzzRequire(file.offset + file.length <= bytes.size() || WarnsOfCutShort(collection),
                "a file lies within its bytes or the image is said to be cut short");
    const bool standard = file.screenFormat == ScreenFormat::Standard;
    FuzzRequire(!file.isScreen || !standard || file.length <= kScreenBytes,
                "a standard screen is at most 6912 bytes");
    FuzzRequire(file.isScreen || standard, "only a screen has a screen format");
    if (file.isScreen) {
      FuzzRequire(ScreenFileData(bytes, file).size() == (standard ? kScreenBytes : file.length),
                  "a screen reads as its format's bytes");
    }
  }
  CheckHiddenScreens(collection, image);
}

}  // namespace orlaspin::testing
