#include "containers/sna_snapshot.h"

#include <algorithm>

#include "containers/snapshot_screen.h"

namespace orlaspin {

namespace {

constexpr std::size_t kHeaderSize = 27;
constexpr std::size_t kBorderAt = 26;
constexpr std::size_t k48KSize = kHeaderSize + 3 * kMemoryPageSize;
constexpr std::size_t kPagedBankAt = kHeaderSize + 2 * kMemoryPageSize;
constexpr std::size_t kPortAt = k48KSize + 2;  // after PC
constexpr std::size_t kOtherBanksAt = k48KSize + 4;
constexpr std::size_t k128KSize = kOtherBanksAt + 5 * kMemoryPageSize;
constexpr std::size_t k128KPagedTwiceSize = k128KSize + kMemoryPageSize;
constexpr std::uint8_t kShadowScreenBit = 0x08;
constexpr unsigned kShadowScreenBank = 7;

// Where bank 7 lies in a 128K snapshot whose paged bank is pagedBank.
std::size_t ShadowScreenAt(unsigned pagedBank) {
  if (pagedBank == kShadowScreenBank) return kPagedBankAt;
  std::size_t before = 0;
  for (unsigned bank = 0; bank < kShadowScreenBank; ++bank) {
    if (bank != 2 && bank != 5 && bank != pagedBank) ++before;
  }
  return kOtherBanksAt + before * kMemoryPageSize;
}

}  // namespace

bool HasSnaSize(std::size_t size) {
  return size == k48KSize || size == k128KSize || size == k128KPagedTwiceSize;
}

Collection ReadSnaSnapshot(std::span<const std::uint8_t> image, std::string_view stem) {
  if (image.size() < kHeaderSize) {
    throw ImageFormatError("not an SNA snapshot: it is shorter than the 27-byte header");
  }
  Collection collection{ImageKind::Sna, {}, {}, {}};
  if (!HasSnaSize(image.size())) {
    collection.warnings.push_back({Problem::SnaOddSize, {}, Details(image.size())});
  }
  std::size_t screenAt = kHeaderSize;
  if (image.size() >= k128KSize && (image[kPortAt] & kShadowScreenBit)) {
    screenAt = ShadowScreenAt(image[kPortAt] & 7);
  } else if (image.size() >= k128KSize) {
    const std::size_t bank7At = ShadowScreenAt(image[kPortAt] & 7);
    KeepBank7Screen(collection, stem, image.subspan(bank7At), bank7At);
  }
  ListStoredScreen(collection, stem, image.subspan(std::min(screenAt, image.size())), screenAt,
                   image[kBorderAt] & 7);
  return collection;
}

}  // namespace orlaspin
