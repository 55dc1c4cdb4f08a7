#include "containers/snapshot_screen.h"

#include <algorithm>

namespace orlaspin {

namespace {

// Where the Timex modes read their second half (the attributes, or the second pixel screen).
constexpr std::size_t kTimexSecondHalf = 0x2000;
constexpr std::uint8_t kTimexModeMask = 7;
constexpr std::uint8_t kTimexHiColour = 2;
constexpr std::uint8_t kTimexHiRes = 6;

ScreenFormat FormatOf(const SnapshotDisplay& display) {
  const std::uint8_t mode = display.timexMode & kTimexModeMask;
  const bool ulaPlus = display.ulaPlusPalette.has_value();
  if (mode == kTimexHiRes) return ScreenFormat::TimexHiRes;
  if (mode == kTimexHiColour) {
    return ulaPlus ? ScreenFormat::TimexHiColourUlaPlus : ScreenFormat::TimexHiColour;
  }
  return ulaPlus ? ScreenFormat::UlaPlus : ScreenFormat::Standard;
}

bool IsTimexMode(ScreenFormat format) {
  return format == ScreenFormat::TimexHiColour || format == ScreenFormat::TimexHiColourUlaPlus ||
         format == ScreenFormat::TimexHiRes;
}

// How much of the page the display reads.
std::size_t PageBytesShown(ScreenFormat format) {
  return IsTimexMode(format) ? kTimexSecondHalf + kPixelBytes : kScreenBytes;
}

// The screen file of the format from the page (at least PageBytesShown long).
std::vector<std::uint8_t> ScreenFileOf(ScreenFormat format, std::span<const std::uint8_t> page,
                                       const SnapshotDisplay& display) {
  std::vector<std::uint8_t> screen;
  if (IsTimexMode(format)) {
    const auto first = page.first(kPixelBytes);
    const auto second = page.subspan(kTimexSecondHalf, kPixelBytes);
    screen.assign(first.begin(), first.end());
    screen.insert(screen.end(), second.begin(), second.end());
  } else {
    screen.assign(page.begin(), page.begin() + kScreenBytes);
  }
  if (format == ScreenFormat::TimexHiRes) screen.push_back(display.timexMode);
  if (format == ScreenFormat::UlaPlus || format == ScreenFormat::TimexHiColourUlaPlus) {
    screen.insert(screen.end(), display.ulaPlusPalette->begin(), display.ulaPlusPalette->end());
  }
  return screen;
}

void AddScreenFile(Collection& collection, std::string_view stem, std::uint64_t offset,
                   std::size_t length, ScreenFormat format, std::optional<std::uint8_t> border) {
  CollectionFile screen;
  screen.name = std::string(stem);
  screen.nameIsFileName = true;
  screen.length = static_cast<std::uint32_t>(length);
  screen.offset = offset;
  screen.isScreen = true;
  screen.type = "snapshot";
  screen.border = border;
  screen.screenFormat = format;
  collection.files.push_back(std::move(screen));
}

}  // namespace

void ListStoredScreen(Collection& collection, std::string_view stem,
                      std::span<const std::uint8_t> held, std::uint64_t offset,
                      std::optional<std::uint8_t> border, const SnapshotDisplay& display) {
  if (FormatOf(display) == ScreenFormat::Standard && held.size() >= kScreenBytes) {
    AddScreenFile(collection, stem, offset, kScreenBytes, ScreenFormat::Standard, border);
    return;
  }
  ListUnpackedScreen(collection, stem, {held.begin(), held.end()}, border, display);
}

void ListUnpackedScreen(Collection& collection, std::string_view stem,
                        std::vector<std::uint8_t> memory, std::optional<std::uint8_t> border,
                        const SnapshotDisplay& display) {
  const ScreenFormat format = FormatOf(display);
  const std::size_t shown = PageBytesShown(format);
  if (memory.size() < shown) {
    collection.warnings.push_back(
        {Problem::SnapshotScreenCutShort, {}, Details(memory.size(), shown)});
  }
  memory.resize(std::max(memory.size(), shown));
  collection.unpacked = ScreenFileOf(format, memory, display);
  AddScreenFile(collection, stem, 0, collection.unpacked.size(), format, border);
}

void KeepBank7Screen(Collection& collection, std::string_view stem,
                     std::span<const std::uint8_t> page, std::uint64_t offset) {
  CollectionFile screen;
  screen.name = std::string(stem) + "-bank7";
  screen.nameIsFileName = true;
  screen.length = kScreenBytes;
  screen.offset = offset;
  screen.isScreen = true;
  screen.type = "snapshot";
  screen.revealed = CollectionFile::Revealed{"bank 7", collection.revealed.size(), kScreenBytes};
  const auto held = page.first(std::min(page.size(), kScreenBytes));
  collection.revealed.insert(collection.revealed.end(), held.begin(), held.end());
  collection.revealed.resize(screen.revealed->at + kScreenBytes);
  collection.bank7 = std::move(screen);
}

}  // namespace orlaspin
