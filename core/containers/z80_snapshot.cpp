#include "containers/z80_snapshot.h"

#include <algorithm>
#include <vector>

#include "containers/snapshot_screen.h"

namespace orlaspin {

namespace {

constexpr std::size_t kHeaderSize = 30;
constexpr std::size_t kPcAt = 6;
constexpr std::size_t kFlagsAt = 12;
constexpr std::uint8_t kCompressedBit = 0x20;
constexpr std::size_t kExtraLengthAt = 30;
constexpr std::size_t kExtraAt = 32;
constexpr std::size_t kHardwareAt = 34;
constexpr std::size_t kPortAt = 35;
constexpr std::uint8_t kShadowScreenBit = 0x08;
constexpr std::size_t kTimexModeAt = 36;  // the last write to port 0xFF on a Timex machine
constexpr std::size_t kVersion2Extra = 23;
constexpr std::size_t kVersion3Extra = 54;
constexpr std::size_t kVersion3With1FfdExtra = 55;
constexpr std::size_t kRamSize = 3 * kMemoryPageSize;
constexpr std::size_t kPageHeaderSize = 3;
constexpr std::uint16_t kStoredPage = 0xFFFF;
constexpr std::uint8_t kScreenPage = 8;         // bank 5 of a 128K machine, 0x4000 of a 48K one
constexpr std::uint8_t kShadowScreenPage = 10;  // bank 7
constexpr std::uint8_t kRunMark = 0xED;

// Whether the machine pages its memory through port 0x7FFD. The hardware numbers 3 to 6 mean
// different machines in versions 2 and 3.
bool Is128KMachine(std::uint8_t hardware, bool version2) {
  switch (hardware) {
    case 3: return version2;
    case 4: return true;
    case 5:
    case 6: return !version2;
    case 7:   // +3
    case 8:   // +3
    case 9:   // Pentagon 128
    case 10:  // Scorpion 256
    case 12:  // +2
    case 13:  // +2A
      return true;
    default: return false;
  }
}

bool IsTimexMachine(std::uint8_t hardware) {
  return hardware == 14 || hardware == 15 || hardware == 128;  // TC2048, TC2068, TS2068
}

// Expands packed up to limit bytes. A version 1 stream (endMarker) also ends at 00 ED ED 00.
std::vector<std::uint8_t> ExpandZ80Memory(std::span<const std::uint8_t> packed, std::size_t limit,
                                          bool endMarker) {
  std::vector<std::uint8_t> memory;
  std::size_t at = 0;
  while (at < packed.size() && memory.size() < limit) {
    const auto rest = packed.subspan(at);
    const bool fourBytes = rest.size() >= 4;
    if (endMarker && fourBytes && rest[0] == 0x00 && rest[1] == kRunMark && rest[2] == kRunMark &&
        rest[3] == 0x00) {
      break;
    }
    if (fourBytes && rest[0] == kRunMark && rest[1] == kRunMark) {
      memory.insert(memory.end(), std::min<std::size_t>(rest[2], limit - memory.size()), rest[3]);
      at += 4;
    } else {
      memory.push_back(rest[0]);
      ++at;
    }
  }
  return memory;
}

std::string PageName(std::uint8_t page) { return "page " + std::to_string(page); }

void ReadVersion1(Collection& collection, std::span<const std::uint8_t> image,
                  std::string_view stem, std::uint8_t flags, std::uint8_t border) {
  const auto memory = image.subspan(kHeaderSize);
  if (!(flags & kCompressedBit)) {
    if (memory.size() != kRamSize) {
      collection.warnings.push_back({Problem::Z80MemorySize, {}, Details(memory.size())});
    }
    ListStoredScreen(collection, stem, memory, kHeaderSize, border);
    return;
  }
  std::vector<std::uint8_t> ram = ExpandZ80Memory(memory, kRamSize, true);
  if (ram.size() != kRamSize) {
    collection.warnings.push_back({Problem::Z80MemoryUnpackedSize, {}, Details(ram.size())});
  }
  ListUnpackedScreen(collection, stem, std::move(ram), border);
}

// Lists the screen of screenPage; with keepBank7, bank 7 too. Pages after the screen's are read
// only for bank 7, and their faults, which lose nothing of the screen, are not told.
void ReadPages(Collection& collection, std::span<const std::uint8_t> image, std::size_t at,
               std::string_view stem, std::uint8_t screenPage, std::uint8_t border,
               const SnapshotDisplay& display, bool keepBank7) {
  bool listed = false;
  const auto cutShort = [&](std::string where) {
    if (!listed) collection.warnings.push_back({Problem::SnapshotCutShort, std::move(where)});
  };
  while (at < image.size()) {
    if (image.size() - at < kPageHeaderSize) {
      cutShort("a page header");
      break;
    }
    const std::uint16_t length = U16At(image, at);
    const std::uint8_t page = image[at + 2];
    at += kPageHeaderSize;
    const std::size_t size = length == kStoredPage ? kMemoryPageSize : length;
    const auto data = image.subspan(at, std::min(size, image.size() - at));
    if (data.size() < size) cutShort(PageName(page));
    if (page == screenPage && !listed) {
      if (length == kStoredPage) {
        ListStoredScreen(collection, stem, data, at, border, display);
      } else {
        std::vector<std::uint8_t> memory = ExpandZ80Memory(data, kMemoryPageSize, false);
        if (memory.size() != kMemoryPageSize && data.size() == size) {
          collection.warnings.push_back(
              {Problem::Z80PageUnpackedSize, PageName(page), Details(memory.size())});
        }
        ListUnpackedScreen(collection, stem, std::move(memory), border, display);
      }
      listed = true;
    } else if (page == kShadowScreenPage && keepBank7) {
      KeepBank7Screen(collection, stem,
                      length == kStoredPage ? std::vector<std::uint8_t>(data.begin(), data.end())
                                            : ExpandZ80Memory(data, kScreenBytes, false),
                      at);
    }
    if (listed && (!keepBank7 || collection.bank7)) return;
    at += data.size();
  }
  if (!listed)
    collection.warnings.push_back({Problem::Z80ScreenPageMissing, {}, Details(screenPage)});
}

}  // namespace

Collection ReadZ80Snapshot(std::span<const std::uint8_t> image, std::string_view stem) {
  if (image.size() < kHeaderSize) {
    throw ImageFormatError("not a Z80 snapshot: it is shorter than the 30-byte header");
  }
  Collection collection{ImageKind::Z80, {}, {}, {}};
  // The format's own rule: a byte 12 of 0xFF is to be read as 1.
  const std::uint8_t flags = image[kFlagsAt] == 0xFF ? 1 : image[kFlagsAt];
  const std::uint8_t border = (flags >> 1) & 7;
  if (U16At(image, kPcAt) != 0) {
    ReadVersion1(collection, image, stem, flags, border);
    return collection;
  }
  if (image.size() < kExtraAt) {
    throw ImageFormatError("not a complete Z80 snapshot: the extra header's length is missing");
  }
  const std::size_t extra = U16At(image, kExtraLengthAt);
  if (extra != kVersion2Extra && extra != kVersion3Extra && extra != kVersion3With1FfdExtra) {
    throw ImageFormatError("not a Z80 snapshot: an extra header of " + std::to_string(extra) +
                           " bytes, where versions 2 and 3 have 23, 54 or 55");
  }
  if (image.size() < kExtraAt + extra) {
    throw ImageFormatError("not a complete Z80 snapshot: its extra header is cut short");
  }
  const std::uint8_t hardware = image[kHardwareAt];
  const bool paged = Is128KMachine(hardware, extra == kVersion2Extra);
  const bool shadow = paged && (image[kPortAt] & kShadowScreenBit);
  SnapshotDisplay display;
  if (IsTimexMachine(hardware)) display.timexMode = image[kTimexModeAt];
  ReadPages(collection, image, kExtraAt + extra, stem, shadow ? kShadowScreenPage : kScreenPage,
            border, display, paged && !shadow);
  return collection;
}

}  // namespace orlaspin
