#include "containers/tzx_file.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "containers/sna_snapshot.h"
#include "containers/tape_files.h"
#include "containers/z80_snapshot.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature{"ZXTape!\x1A", 8};
constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kMajorVersionAt = 8;
constexpr std::uint8_t kMajorVersion = 1;

enum BlockId : std::uint8_t {
  kStandardSpeed = 0x10,
  kTurboSpeed = 0x11,
  kPureData = 0x14,
  kC64RomData = 0x16,
  kC64TurboData = 0x17,
  kGeneralizedData = 0x19,
  kArchiveInfo = 0x32,
  kCustomInfo = 0x35,
  kSnapshot = 0x40,
};

// A body's length: fixed bytes plus unit times the count of countSize bytes at countAt.
struct LengthRule {
  std::uint8_t id;
  std::uint8_t fixed;
  std::uint8_t countAt = 0;
  std::uint8_t countSize = 0;
  std::uint8_t unit = 1;
};

constexpr LengthRule kLengthRules[] = {
    {kStandardSpeed, 4, 2, 2},
    {kTurboSpeed, 0x12, 0x0F, 3},
    {0x12, 4},           // pure tone
    {0x13, 1, 0, 1, 2},  // pulse sequence
    {kPureData, 0x0A, 7, 3},
    {0x15, 8, 5, 3},  // direct recording
    {kC64RomData, 4, 0, 4},
    {kC64TurboData, 4, 0, 4},
    {0x18, 4, 0, 4},  // CSW recording
    {kGeneralizedData, 4, 0, 4},
    {0x20, 2},           // pause or stop
    {0x21, 1, 0, 1},     // group start
    {0x22, 0},           // group end
    {0x23, 2},           // jump
    {0x24, 2},           // loop start
    {0x25, 0},           // loop end
    {0x26, 2, 0, 2, 2},  // call sequence
    {0x27, 0},           // return from sequence
    {0x28, 2, 0, 2},     // select block
    {0x2A, 4, 0, 4},     // stop the tape in 48K mode
    {0x2B, 4, 0, 4},     // signal level
    {0x30, 1, 0, 1},     // text description
    {0x31, 2, 1, 1},     // message
    {kArchiveInfo, 2, 0, 2},
    {0x33, 1, 0, 1, 3},  // hardware type
    {0x34, 8},           // emulation information
    {kCustomInfo, 0x14, 0x10, 4},
    {kSnapshot, 4, 1, 3},
    {0x5A, 9},  // glue of joined tapes
};
// Any other ID, as the format asks of later extensions: a 32-bit length first.
constexpr LengthRule kExtensionRule = {0, 4, 0, 4};

const LengthRule* FindRule(std::uint8_t id) {
  for (const LengthRule& rule : kLengthRules) {
    if (rule.id == id) return &rule;
  }
  return nullptr;
}

std::uint64_t NumberAt(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size) {
  std::uint64_t number = 0;
  for (std::size_t i = size; i > 0; --i) number = (number << 8) | bytes[at + i - 1];
  return number;
}

// The length by the rule; none when the count lies past the end.
std::optional<std::uint64_t> RuleLength(const LengthRule& rule,
                                        std::span<const std::uint8_t> rest) {
  if (rest.size() < std::size_t{rule.countAt} + rule.countSize) return std::nullopt;
  return rule.fixed + rule.unit * NumberAt(rest, rule.countAt, rule.countSize);
}

// An archive info body measured by its strings: count, then each an ID, a length and the text.
std::optional<std::uint64_t> ArchiveInfoByStrings(std::span<const std::uint8_t> rest) {
  std::size_t at = 3;
  if (rest.size() < at) return std::nullopt;
  for (unsigned i = 0; i < rest[2]; ++i) {
    if (rest.size() < at + 2) return std::nullopt;
    at += 2 + rest[at + 1];
  }
  return at;
}

// The body's length. Writers disagree on two blocks: the C64 blocks' count may be the whole
// length, and some archive info counts leave out the count byte. The rule's length is taken
// unless only the other one ends at the end of the tape or at a known block ID.
std::optional<std::uint64_t> BodyLength(std::uint8_t id, std::span<const std::uint8_t> rest) {
  const LengthRule* rule = FindRule(id);
  const std::optional<std::uint64_t> length = RuleLength(rule ? *rule : kExtensionRule, rest);
  std::optional<std::uint64_t> other;
  if (id == kC64RomData || id == kC64TurboData) other = RuleLength({id, 0, 0, 4}, rest);
  if (id == kArchiveInfo) other = ArchiveInfoByStrings(rest);
  const auto endsWell = [&](std::optional<std::uint64_t> candidate) {
    return candidate && *candidate <= rest.size() &&
           (*candidate == rest.size() || FindRule(rest[*candidate]) != nullptr);
  };
  return !endsWell(length) && endsWell(other) ? other : length;
}

// Bytes the reader makes: data whose bits it inverted, embedded snapshots' screens. They follow
// a copy of the image and a screen's worth of zeros, so that the image's offsets hold and a
// screen cut short by the image's end reads zeros as it does in the image.
class MadeBytes {
 public:
  explicit MadeBytes(std::size_t imageSize) : firstOffset_(imageSize + kScreenBytes) {}

  struct Kept {
    std::uint64_t offset;                 // in the unpacked bytes
    std::span<const std::uint8_t> bytes;  // valid while this object lives
  };

  // Keeps bytes where they are; none past the limit.
  std::optional<Kept> Keep(std::vector<std::uint8_t> bytes) {
    if (size_ + bytes.size() > kTzxMadeBytesLimit) return std::nullopt;
    const std::uint64_t offset = firstOffset_ + size_;
    size_ += bytes.size();
    parts_.push_back(std::move(bytes));
    return Kept{offset, parts_.back()};
  }

  // Empty when nothing was made: the files' offsets then point into the image.
  std::vector<std::uint8_t> Unpacked(std::span<const std::uint8_t> image) const {
    if (parts_.empty()) return {};
    std::vector<std::uint8_t> unpacked(image.begin(), image.end());
    unpacked.resize(firstOffset_);
    for (const auto& part : parts_) unpacked.insert(unpacked.end(), part.begin(), part.end());
    return unpacked;
  }

 private:
  std::uint64_t firstOffset_;
  std::size_t size_ = 0;
  std::deque<std::vector<std::uint8_t>> parts_;
};

// The data of a generalized data block whose data symbols are two, a 0 and a 1 bit.
struct TwoSymbolData {
  std::span<const std::uint8_t> bytes;
  std::size_t at;   // in the body
  bool wholeBytes;  // the symbol count is a multiple of 8
  bool inverted;    // symbol 0 is the longer one, which the ROM loader reads as a 1
  bool fits;        // the data lies inside the body
};

std::uint64_t SymbolDuration(std::span<const std::uint8_t> definition, unsigned pulses) {
  std::uint64_t duration = 0;
  for (unsigned i = 0; i < pulses; ++i) {
    const std::uint16_t pulse = U16At(definition, 1 + 2 * i);
    if (pulse == 0) break;
    duration += pulse;
  }
  return duration;
}

std::optional<TwoSymbolData> FindTwoSymbolData(std::span<const std::uint8_t> body) {
  constexpr std::size_t kTablesAt = 0x12;
  if (body.size() < kTablesAt) return std::nullopt;
  const std::uint64_t pilotSymbols = U32At(body, 6);
  const unsigned pilotPulses = body[0x0A];
  const unsigned pilotAlphabet = body[0x0B] == 0 ? 256 : body[0x0B];
  const std::uint64_t dataSymbols = U32At(body, 0x0C);
  const unsigned dataPulses = body[0x10];
  if (dataSymbols == 0 || body[0x11] != 2) return std::nullopt;

  std::uint64_t at = kTablesAt;
  if (pilotSymbols > 0) at += pilotAlphabet * (1 + 2 * pilotPulses) + 3 * pilotSymbols;
  const std::uint64_t definitionSize = 1 + 2 * dataPulses;
  const std::uint64_t dataAt = at + 2 * definitionSize;
  const std::uint64_t size = (dataSymbols + 7) / 8;
  if (dataAt + size > body.size()) {
    return TwoSymbolData{{}, 0, false, false, false};
  }
  const auto zero = body.subspan(static_cast<std::size_t>(at), definitionSize);
  const auto one = body.subspan(static_cast<std::size_t>(at + definitionSize), definitionSize);
  return TwoSymbolData{body.subspan(static_cast<std::size_t>(dataAt), size),
                       static_cast<std::size_t>(dataAt), dataSymbols % 8 == 0,
                       SymbolDuration(zero, dataPulses) > SymbolDuration(one, dataPulses), true};
}

class TzxReader {
 public:
  TzxReader(std::span<const std::uint8_t> image, std::string_view stem)
      : image_(image), stem_(stem), lister_(stem, collection_), made_(image.size()) {}

  Collection Read() {
    std::size_t at = kHeaderSize;
    for (int number = 1; at < image_.size(); ++number) {
      const std::uint8_t id = image_[at];
      const auto rest = image_.subspan(at + 1);
      const std::optional<std::uint64_t> length = BodyLength(id, rest);
      const auto body = rest.first(std::min<std::uint64_t>(length.value_or(0), rest.size()));
      const bool cut = !length || body.size() < *length;
      if (length && !ReadBlock(id, body, at + 1, number, cut)) break;
      if (cut) {
        Warn(TapeCutShort(number));
        break;
      }
      at += 1 + body.size();
    }
    lister_.Finish();
    collection_.unpacked = made_.Unpacked(image_);
    return std::move(collection_);
  }

 private:
  void Warn(Warning warning) { collection_.warnings.push_back(std::move(warning)); }

  // Reads a block whose body lies at bodyAt, cut short or not; false ends the tape. The data
  // blocks give where their loaded bytes begin, how many they are and the bits of the last.
  bool ReadBlock(std::uint8_t id, std::span<const std::uint8_t> body, std::size_t bodyAt,
                 int number, bool cut) {
    switch (id) {
      case kStandardSpeed: AddData(body, bodyAt, number, 4, U16At(body, 2), 8, true); break;
      case kTurboSpeed:
        AddData(body, bodyAt, number, 0x12, NumberAt(body, 0x0F, 3), body[0x0C], false);
        break;
      case kPureData:
        AddData(body, bodyAt, number, 0x0A, NumberAt(body, 7, 3), body[4], false);
        break;
      case kGeneralizedData:
        if (!cut) return AddGeneralizedData(body, bodyAt, number);
        break;
      case kCustomInfo: AddScreenInfo(body, bodyAt, number); break;
      case kSnapshot: return AddSnapshot(body, bodyAt, number);
      default: break;
    }
    return true;
  }

  void AddData(std::span<const std::uint8_t> body, std::size_t bodyAt, int number,
               std::size_t dataAt, std::size_t size, std::uint8_t usedBits, bool checksummed) {
    if (body.size() <= dataAt) return;
    lister_.Add({number, body.subspan(dataAt), bodyAt + dataAt, size, usedBits == 8, checksummed});
  }

  bool AddGeneralizedData(std::span<const std::uint8_t> body, std::size_t bodyAt, int number) {
    const std::optional<TwoSymbolData> data = FindTwoSymbolData(body);
    if (!data) return true;
    if (!data->fits) {
      Warn({Problem::DataPastBlockEnd, BlockName(number)});
      return true;
    }
    TapeBlock block{number,           data->bytes, bodyAt + data->at, data->bytes.size(),
                    data->wholeBytes, false};
    if (data->inverted) {
      std::vector<std::uint8_t> bytes(data->bytes.begin(), data->bytes.end());
      for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(~byte);
      const auto kept = made_.Keep(std::move(bytes));
      if (!kept) return MadeBytesLimitReached(number);
      block.bytes = kept->bytes;
      block.offset = kept->offset;
    }
    lister_.Add(block);
    return true;
  }

  // A custom info block: its 16-character ident, the length of the rest; a "Spectrum Screen "
  // goes on with the description's length and text, the border, the screen.
  void AddScreenInfo(std::span<const std::uint8_t> body, std::size_t bodyAt, int number) {
    constexpr std::string_view kScreenIdent = "Spectrum Screen ";
    constexpr std::size_t kLengthAt = 0x10;
    constexpr std::size_t kDescriptionSizeAt = 0x14;
    constexpr std::size_t kDescriptionAt = 0x15;
    if (body.size() < kDescriptionAt ||
        !std::equal(kScreenIdent.begin(), kScreenIdent.end(), body.begin())) {
      return;
    }
    const std::size_t descriptionSize = body[kDescriptionSizeAt];
    const std::size_t borderAt = kDescriptionAt + descriptionSize;
    const std::size_t screenAt = borderAt + 1;
    if (U32At(body, kLengthAt) < screenAt - kDescriptionSizeAt + kScreenBytes) {
      Warn({Problem::ScreenBlockTooShort, BlockName(number)});
      return;
    }
    if (body.size() <= borderAt) return;
    CollectionFile screen;
    const auto description = body.subspan(kDescriptionAt, descriptionSize);
    screen.name = descriptionSize == 0 ? std::string("Loading Screen")
                                       : std::string(description.begin(), description.end());
    screen.length = static_cast<std::uint32_t>(std::min(body.size() - screenAt, kScreenBytes));
    screen.offset = bodyAt + screenAt;
    screen.isScreen = true;
    screen.type = "screen";
    screen.border = body[borderAt] & 7;
    collection_.files.push_back(std::move(screen));
  }

  // The snapshot's type (0 Z80, 1 SNA), its 24-bit length, the snapshot.
  bool AddSnapshot(std::span<const std::uint8_t> body, std::size_t bodyAt, int number) {
    const std::string where = BlockName(number);
    const std::string name = TapeBlockName(stem_, number);
    const auto snapshotBytes = body.subspan(4);
    Collection snapshot;
    try {
      switch (body[0]) {
        case 0: snapshot = ReadZ80Snapshot(snapshotBytes, name); break;
        case 1: snapshot = ReadSnaSnapshot(snapshotBytes, name); break;
        default: Warn({Problem::UnknownSnapshotType, where, Details(body[0])}); return true;
      }
    } catch (const ImageFormatError& error) {
      Warn({Problem::SnapshotBlockUnreadable, where, Details(error.Message())});
      return true;
    }
    for (Warning& warning : snapshot.warnings) {
      warning.within = where;
      Warn(std::move(warning));
    }
    std::uint64_t base = bodyAt + 4;
    if (!snapshot.unpacked.empty()) {
      const auto kept = made_.Keep(std::move(snapshot.unpacked));
      if (!kept) return MadeBytesLimitReached(number);
      base = kept->offset;
    }
    for (CollectionFile& file : snapshot.files) {
      file.offset += base;
      collection_.files.push_back(std::move(file));
    }
    return true;
  }

  bool MadeBytesLimitReached(int number) {
    Warn({Problem::TapeMadeBytesLimit, BlockName(number)});
    return false;
  }

  std::span<const std::uint8_t> image_;
  std::string stem_;
  Collection collection_{ImageKind::Tzx, {}, {}, {}};
  TapeFileLister lister_;
  MadeBytes made_;
};

}  // namespace

bool HasTzxSignature(std::span<const std::uint8_t> image) {
  return image.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), image.begin());
}

Collection ReadTzxFile(std::span<const std::uint8_t> image, std::string_view stem) {
  if (!HasTzxSignature(image)) {
    throw ImageFormatError("not a TZX tape: it does not begin with \"ZXTape!\"");
  }
  if (image.size() < kHeaderSize) {
    throw ImageFormatError("not a complete TZX tape: its 10-byte header is cut short");
  }
  if (image[kMajorVersionAt] != kMajorVersion) {
    throw ImageFormatError("not a TZX tape of version 1: its major version is " +
                           std::to_string(image[kMajorVersionAt]));
  }
  return TzxReader(image, stem).Read();
}

}  // namespace orlaspin
