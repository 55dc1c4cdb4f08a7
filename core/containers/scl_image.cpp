#include "containers/scl_image.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string_view>

#include "containers/catalogue.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "SINCLAIR";
constexpr std::size_t kFileCountAt = kSignature.size();
constexpr std::size_t kHeadersAt = kFileCountAt + 1;
constexpr std::size_t kChecksumSize = 4;
constexpr std::size_t kSectorSize = 256;

std::optional<Warning> ChecksumWarning(std::span<const std::uint8_t> image, std::size_t dataEnd) {
  const std::size_t expectedSize = dataEnd + kChecksumSize;
  if (image.size() < expectedSize) {
    return Warning{Problem::SclCutShort, {}, Details(image.size(), expectedSize)};
  }
  const std::uint32_t stored = U32At(image, dataEnd);
  const std::uint32_t sum = std::accumulate(
      image.begin(), image.begin() + static_cast<std::ptrdiff_t>(dataEnd), std::uint32_t{0});
  if (stored == sum) return std::nullopt;
  return Warning{Problem::SclWrongChecksum, {}, Details(stored, sum)};
}

}  // namespace

bool HasSclSignature(std::span<const std::uint8_t> image) {
  return image.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), image.begin());
}

Collection ReadSclArchive(std::span<const std::uint8_t> image) {
  if (!HasSclSignature(image)) {
    throw ImageFormatError("not an SCL archive: it does not begin with \"SINCLAIR\"");
  }
  if (image.size() <= kFileCountAt) {
    throw ImageFormatError("not a complete SCL archive: the file count is missing");
  }
  const std::size_t fileCount = image[kFileCountAt];
  const std::size_t dataAt = kHeadersAt + fileCount * kSclHeaderSize;
  if (image.size() < dataAt) {
    throw ImageFormatError("not a complete SCL archive: the headers of its " +
                           std::to_string(fileCount) + " files end early");
  }

  Collection collection{ImageKind::SclArchive, {}, {}, {}};
  std::size_t offset = dataAt;
  for (std::size_t i = 0; i < fileCount; ++i) {
    CatalogueEntry entry;
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(kHeadersAt + i * kSclHeaderSize),
                kSclHeaderSize, entry.Bytes.begin());
    collection.files.push_back(FileFromCatalogueEntry(entry, offset));
    offset += entry.SectorCount() * kSectorSize;
  }
  if (auto warning = ChecksumWarning(image, offset)) collection.warnings.push_back(*warning);
  return collection;
}

}  // namespace orlaspin
