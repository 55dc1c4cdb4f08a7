#include "containers/tap_file.h"

#include <algorithm>

#include "containers/tape_files.h"

namespace orlaspin {

namespace {

constexpr std::size_t kLengthSize = 2;

}  // namespace

bool LooksLikeTap(std::span<const std::uint8_t> image) {
  std::size_t at = 0;
  while (at < image.size()) {
    if (image.size() - at < kLengthSize) return false;
    const std::size_t size = U16At(image, at);
    at += kLengthSize;
    if (size < 2 || image.size() - at < size || !ChecksumHolds(image.subspan(at, size))) {
      return false;
    }
    at += size;
  }
  return !image.empty();
}

Collection ReadTapFile(std::span<const std::uint8_t> image, std::string_view stem) {
  Collection collection{ImageKind::Tap, {}, {}, {}};
  TapeFileLister lister(stem, collection);
  std::size_t at = 0;
  for (int number = 1; at < image.size(); ++number) {
    if (image.size() - at < kLengthSize) {
      collection.warnings.push_back(TapeCutShort(number));
      break;
    }
    const std::size_t size = U16At(image, at);
    at += kLengthSize;
    const auto bytes = image.subspan(at, std::min(size, image.size() - at));
    lister.Add({number, bytes, at, size, true, true});
    if (bytes.size() < size) {
      collection.warnings.push_back(TapeCutShort(number));
      break;
    }
    at += size;
  }
  lister.Finish();
  return collection;
}

}  // namespace orlaspin
