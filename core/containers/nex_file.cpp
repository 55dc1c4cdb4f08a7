#include "containers/nex_file.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace orlaspin {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kPaletteBytes = 512;
constexpr std::string_view kSignature = "Next";
constexpr std::string_view kVersions[] = {"V1.0", "V1.1", "V1.2", "V1.3"};

// Header fields.
constexpr std::size_t kScreenFlagsAt = 10;
constexpr std::size_t kBorderAt = 11;
constexpr std::size_t kColourAt = 138;  // the Timex hi-res port value, or a palette offset
constexpr std::size_t kWideScreenAt = 152;
constexpr std::uint8_t kWideScreenFlag = 0x40;  // V1.3: byte 152 names a wide screen
constexpr std::uint8_t kNoPaletteFlag = 0x80;
constexpr std::uint8_t kPaletteUsers = 0x05 | kWideScreenFlag;  // Layer 2, LoRes, wide

enum class Block { Layer2, Ula, LoRes, TimexHiRes, TimexHiColour, Wide320, Wide640 };

struct ScreenBlock {
  Block block;
  std::string_view suffix;
  std::size_t size;
  ScreenFormat type;  // names the screen in listings
};

// In the order the blocks follow the header; the first five flagged by bits 0-4 of byte 10.
constexpr ScreenBlock kBlocks[] = {
    {Block::Layer2, "layer2", 49152, ScreenFormat::NextLayer2},
    {Block::Ula, "ula", 6912, ScreenFormat::Standard},
    {Block::LoRes, "lores", 12288, ScreenFormat::NextLoRes},
    {Block::TimexHiRes, "hires", 12288, ScreenFormat::TimexHiRes},
    {Block::TimexHiColour, "hicolour", 12288, ScreenFormat::TimexHiColour},
    {Block::Wide320, "layer2-320", 81920, ScreenFormat::NextLayer2Wide},
    {Block::Wide640, "layer2-640", 81920, ScreenFormat::NextLayer2HiRes},
};

bool StartsWith(Bytes bytes, std::string_view text) {
  return bytes.size() >= text.size() &&
         std::equal(text.begin(), text.end(), bytes.begin(),
                    [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

ImageFormatError NotANex(const std::string& why) {
  return ImageFormatError("not a NEX program: " + why);
}

// Bytes as text to quote, a byte that is not printable as "?".
std::string Shown(Bytes bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) text += (b >= ' ' && b < 0x7F) ? static_cast<char>(b) : '?';
  return text;
}

std::string_view VersionOf(Bytes header) {
  const std::string version = Shown(header.subspan(4, 4));
  for (const std::string_view known : kVersions) {
    if (known == version) return known;
  }
  throw NotANex("its version (bytes 4-7) is \"" + version +
                "\", expected V1.0, V1.1, V1.2 or V1.3");
}

// The wide screen the header flags (byte 152: 1, 2, or 3 for a tilemap, which has no block),
// or none.
std::optional<Block> WideScreenOf(Bytes header, bool v13) {
  if (!v13 || (header[kScreenFlagsAt] & kWideScreenFlag) == 0) return std::nullopt;
  switch (header[kWideScreenAt]) {
    case 1: return Block::Wide320;
    case 2: return Block::Wide640;
    case 3: return std::nullopt;
  }
  throw NotANex("its second screen flags (byte 152) are " + std::to_string(header[kWideScreenAt]) +
                ", expected 1, 2 or 3 with bit 6 of byte 10 set");
}

class NexReader {
 public:
  NexReader(Bytes image, std::string_view stem) : image_(image), stem_(stem) {
    if (image.size() < kHeaderBytes) {
      throw NotANex("it holds " + std::to_string(image.size()) + " bytes, less than its " +
                    std::to_string(kHeaderBytes) + "-byte header");
    }
    if (!StartsWith(image, kSignature)) {
      throw NotANex("its first bytes are \"" + Shown(image.first(4)) + "\", expected \"Next\"");
    }
    header_ = image.first(kHeaderBytes);
    const bool v13 = VersionOf(header_) == "V1.3";
    wide_ = WideScreenOf(header_, v13);
    const std::uint8_t flags = header_[kScreenFlagsAt];
    const std::uint8_t users = v13 ? kPaletteUsers : kPaletteUsers & ~kWideScreenFlag;
    hasPalette_ = (flags & users) != 0 && (flags & kNoPaletteFlag) == 0;
  }

  Collection Read() {
    collection_.kind = ImageKind::Nex;
    std::size_t at = kHeaderBytes;
    if (hasPalette_) {
      if (!Holds(at, kPaletteBytes, "palette")) return Finish();
      palette_ = image_.subspan(at, kPaletteBytes);
      at += kPaletteBytes;
    }
    for (const ScreenBlock& block : kBlocks) {
      if (!Flagged(block.block)) continue;
      if (!Holds(at, block.size, std::string(ScreenFormatName(block.type)) + " screen")) break;
      List(block, at);
      at += block.size;
    }
    return Finish();
  }

 private:
  bool Flagged(Block block) const {
    if (block == Block::Wide320 || block == Block::Wide640) return wide_ == block;
    return (header_[kScreenFlagsAt] >> static_cast<int>(block)) & 1;
  }

  // True when the image holds size bytes at; else warns that it is cut short there.
  bool Holds(std::size_t at, std::size_t size, const std::string& what) {
    if (at + size <= image_.size()) return true;
    collection_.warnings.push_back(
        {Problem::NexCutShort, what, Details(image_.size() - std::min(at, image_.size()), size)});
    return false;
  }

  // count palette colours from entry 16 x the header's palette offset on: the palette block's
  // two-byte colours, else the default's entry numbers as one-byte colours.
  std::vector<std::uint8_t> ColoursFromOffset(std::size_t count) const {
    const std::size_t first = 16 * (header_[kColourAt] & 15u);
    std::vector<std::uint8_t> colours;
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t entry = (first + i) % 256;
      if (palette_.empty()) {
        colours.push_back(static_cast<std::uint8_t>(entry));
      } else {
        colours.insert(colours.end(), {palette_[2 * entry], palette_[2 * entry + 1]});
      }
    }
    return colours;
  }

  // A LoRes screen in its palette as the Layer 2 picture it shows: the palette, then each
  // pixel as 2 x 2.
  std::vector<std::uint8_t> LoResAsLayer2(Bytes pixels) const {
    std::vector<std::uint8_t> file(palette_.begin(), palette_.end());
    for (std::size_t y = 0; y < 192; ++y) {
      for (std::size_t x = 0; x < 256; ++x) file.push_back(pixels[(y / 2) * 128 + x / 2]);
    }
    return file;
  }

  void List(const ScreenBlock& block, std::size_t at) {
    const Bytes data = image_.subspan(at, block.size);
    switch (block.block) {
      case Block::Layer2:
        if (palette_.empty()) return Add(block, at, block.size, ScreenFormat::NextLayer2);
        return Add(block, at - kPaletteBytes, kPaletteBytes + block.size, ScreenFormat::NextImage);
      case Block::Ula: return Add(block, at, block.size, ScreenFormat::Standard);
      case Block::LoRes:
        if (palette_.empty()) return Add(block, at, block.size, ScreenFormat::NextLoRes);
        return AddMade(block, LoResAsLayer2(data), ScreenFormat::NextImage);
      case Block::TimexHiRes:
        return AddMade(block, Joined(data, {header_[kColourAt]}), ScreenFormat::TimexHiRes);
      case Block::TimexHiColour: return Add(block, at, block.size, ScreenFormat::TimexHiColour);
      case Block::Wide320:
        return AddMade(block, Joined(data, ColoursFromOffset(256)), ScreenFormat::NextLayer2Wide);
      case Block::Wide640:
        return AddMade(block, Joined(data, ColoursFromOffset(16)), ScreenFormat::NextLayer2HiRes);
    }
  }

  static std::vector<std::uint8_t> Joined(Bytes first, const std::vector<std::uint8_t>& second) {
    std::vector<std::uint8_t> bytes(first.begin(), first.end());
    bytes.insert(bytes.end(), second.begin(), second.end());
    return bytes;
  }

  void Add(const ScreenBlock& block, std::uint64_t offset, std::size_t length,
           ScreenFormat format) {
    CollectionFile file;
    file.name = std::string(stem_) + "-" + std::string(block.suffix);
    file.nameIsFileName = true;
    file.offset = offset;
    file.length = static_cast<std::uint32_t>(length);
    file.isScreen = true;
    file.type = std::string(ScreenFormatName(block.type));
    if (header_[kBorderAt] < 8) file.border = header_[kBorderAt];
    file.screenFormat = format;
    collection_.files.push_back(std::move(file));
  }

  // A screen whose file the reader makes: it lies after the image in the collection's bytes.
  void AddMade(const ScreenBlock& block, const std::vector<std::uint8_t>& file,
               ScreenFormat format) {
    Add(block, image_.size() + made_.size(), file.size(), format);
    made_.insert(made_.end(), file.begin(), file.end());
  }

  Collection Finish() {
    if (!made_.empty()) {
      collection_.unpacked.assign(image_.begin(), image_.end());
      collection_.unpacked.insert(collection_.unpacked.end(), made_.begin(), made_.end());
    }
    return std::move(collection_);
  }

  Bytes image_;
  std::string_view stem_;
  Bytes header_;
  std::optional<Block> wide_;
  bool hasPalette_ = false;
  Bytes palette_;
  std::vector<std::uint8_t> made_;
  Collection collection_;
};

}  // namespace

bool HasNexSignature(Bytes bytes) { return StartsWith(bytes, "NextV1."); }

Collection ReadNexFile(Bytes image, std::string_view stem) { return NexReader(image, stem).Read(); }

}  // namespace orlaspin
