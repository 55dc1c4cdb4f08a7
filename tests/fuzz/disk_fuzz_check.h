// What every disk image reader promises for any bytes: it returns a collection of its kind or
// raises ImageFormatError, nothing else; its unpacked bytes stay within a set amount; each listed
// file lies within the bytes its offset points into, or a warning tells of the damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "containers/collection.h"
#include "fuzz_check.h"
#include "hidden_screens_check.h"

namespace orlaspin::testing {

template <typename Reader>
void CheckDiskReader(const std::uint8_t* data, std::size_t size, Reader read, ImageKind kind,
                     std::size_t largestUnpacked) {
  const std::span<const std::uint8_t> image(data, size);
  Collection collection;
  try {
    collection = read(image);
  } catch (const ImageFormatError&) {
    return;
  }
  FuzzRequire(collection.kind == kind, "the collection is of the reader's kind");
  FuzzRequire(collection.unpacked.size() <= largestUnpacked, "the unpacked bytes stay in bounds");
  const auto bytes = FileBytes(collection, image);
  for (const CollectionFile& file : collection.files) {
    FuzzRequire(file.offset + file.length <= bytes.size() || !collection.warnings.empty(),
                "a file past the end of its bytes is warned of");
    if (file.isScreen) ScreenData(bytes, file);
  }
  CheckHiddenScreens(collection, image);
}

}  // namespace orlaspin::testing
