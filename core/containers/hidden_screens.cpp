#include "containers/hidden_screens.h"

#include <algorithm>
#include <set>
#include <string>

#include "containers/packed_file.h"

namespace orlaspin {

namespace {

constexpr std::uint16_t kScreenAddress = 16384;
constexpr std::uint8_t kCodeLetter = 'C';

bool IsBytesFile(const CollectionFile& file) {
  return file.extension ? *file.extension == kCodeLetter : file.type == "Bytes";
}

// The file's bytes as listed; nothing when the image holds fewer.
std::span<const std::uint8_t> FileData(std::span<const std::uint8_t> bytes,
                                       const CollectionFile& file) {
  if (file.offset > bytes.size() || bytes.size() - file.offset < file.length) return {};
  return bytes.subspan(static_cast<std::size_t>(file.offset), file.length);
}

// A screen that shows a single colour, such as cleared memory.
bool IsBlank(std::span<const std::uint8_t> screen) {
  std::set<int> colours;
  for (std::size_t cell = 0; cell < kScreenBytes - kPixelBytes; ++cell) {
    const std::uint8_t attribute = screen[kPixelBytes + cell];
    const int bright = (attribute & 0x40) ? 8 : 0;
    bool ink = false, paper = false;
    for (std::size_t line = 0; line < 8; ++line) {
      const std::size_t row = cell / 32, column = cell % 32;
      const std::uint8_t byte = screen[(row / 8) * 2048 + line * 256 + (row % 8) * 32 + column];
      ink = ink || byte != 0;
      paper = paper || byte != 0xFF;
    }
    if (ink) colours.insert((attribute & 7) | bright);
    if (paper) colours.insert(((attribute >> 3) & 7) | bright);
  }
  return colours.size() <= 1;
}

void Reveal(Collection& collection, CollectionFile& file, std::string how, ScreenFormat format,
            std::span<const std::uint8_t> screen) {
  file.isScreen = true;
  file.screenFormat = format;
  file.revealed =
      CollectionFile::Revealed{std::move(how), collection.revealed.size(), screen.size()};
  collection.revealed.insert(collection.revealed.end(), screen.begin(), screen.end());
}

void RevealPacked(Collection& collection, std::span<const std::uint8_t> bytes) {
  for (CollectionFile& file : collection.files) {
    if (file.isScreen) continue;
    const auto data = FileData(bytes, file);
    if (data.empty()) continue;
    if (file.start == kScreenAddress && IsBytesFile(file) &&
        (data.size() > kScreenBytes || data.size() == kPixelBytes)) {
      const bool whole = data.size() > kScreenBytes;
      Reveal(collection, file, whole ? "at 16384 -> standard" : "at 16384 -> pixels only",
             whole ? ScreenFormat::Standard : ScreenFormat::PixelsOnly,
             data.first(whole ? kScreenBytes : kPixelBytes));
    } else if (const auto screen = UnpackScreen(data)) {
      Reveal(collection, file,
             std::string(screen->packer) + " -> " + std::string(ScreenFormatName(screen->format)),
             screen->format, screen->bytes);
    }
  }
}

void RevealBank7(Collection& collection, std::span<const std::uint8_t> image) {
  if (!collection.bank7 || collection.files.empty()) return;
  const auto bank7 = CollectionScreenFile(collection, image, *collection.bank7);
  const auto shown = CollectionScreenFile(collection, image, collection.files.front());
  if (IsBlank(bank7) || std::equal(bank7.begin(), bank7.end(), shown.begin())) return;
  collection.files.push_back(*collection.bank7);
}

}  // namespace

void RevealHiddenScreens(Collection& collection, std::span<const std::uint8_t> image,
                         const HiddenScreens& wanted) {
  if (wanted.packed) RevealPacked(collection, FileBytes(collection, image));
  if (wanted.bank7) RevealBank7(collection, image);
}

}  // namespace orlaspin
