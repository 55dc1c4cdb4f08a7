#include "containers/hobeta_file.h"

#include <algorithm>
#include <numeric>

#include "containers/catalogue.h"

namespace orlaspin {

namespace {

constexpr std::size_t kSummedBytes = 15;
constexpr std::size_t kSectorCountAt = 14;
constexpr std::size_t kChecksumAt = 15;

}  // namespace

std::uint16_t HobetaChecksum(std::span<const std::uint8_t> header) {
  const unsigned sum = std::accumulate(header.begin(), header.begin() + kSummedBytes, 0u);
  return static_cast<std::uint16_t>(105 + 257 * sum);
}

bool HasHobetaHeader(std::span<const std::uint8_t> image) {
  return image.size() >= kHobetaHeaderSize && HobetaChecksum(image) == U16At(image, kChecksumAt);
}

Collection ReadHobetaFile(std::span<const std::uint8_t> image) {
  if (image.size() < kHobetaHeaderSize) {
    throw ImageFormatError("not a Hobeta file: it is shorter than the 17-byte header");
  }
  // The first 13 bytes are those of a catalogue entry; the sector count is the full length's
  // high byte.
  CatalogueEntry entry;
  std::copy_n(image.begin(), 13, entry.Bytes.begin());
  entry.Bytes[13] = image[kSectorCountAt];

  Collection collection{
      ImageKind::HobetaFile, {FileFromCatalogueEntry(entry, kHobetaHeaderSize)}, {}, {}};
  const std::uint16_t stored = U16At(image, kChecksumAt);
  const std::uint16_t computed = HobetaChecksum(image);
  if (stored != computed) {
    collection.warnings.push_back({Problem::HobetaWrongChecksum, {}, Details(stored, computed)});
  }
  const std::size_t present = image.size() - kHobetaHeaderSize;
  if (present < entry.Length()) {
    collection.warnings.push_back({Problem::HobetaCutShort, {}, Details(present, entry.Length())});
  }
  return collection;
}

}  // namespace orlaspin
