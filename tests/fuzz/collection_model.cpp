#include "collection_model.h"

#include <algorithm>
#include <string_view>

#include "fuzz_check.h"

namespace orlaspin::testing {

namespace {

constexpr std::size_t kSector = 256;
constexpr std::size_t kSclHeadersAt = 9;
constexpr std::size_t kSclHeader = 14;
constexpr std::size_t kHobetaHeader = 17;
constexpr std::size_t kTrdIdentifierAt = 8 * kSector + 0xE7;

unsigned U16LE(std::span<const std::uint8_t> bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8);
}

// The file described by the 13 bytes of name, extension, start and length at entry.
CollectionFile FileOfEntry(std::span<const std::uint8_t> entry, std::uint64_t offset) {
  CollectionFile file;
  for (std::size_t i = 0; i < 8 && entry[i] != 0; ++i) file.name += static_cast<char>(entry[i]);
  file.extension = entry[8];
  file.start = static_cast<std::uint16_t>(U16LE(entry, 9));
  file.length = U16LE(entry, 11);
  file.offset = offset;
  file.isScreen = file.length == 6912;
  return file;
}

bool SameFile(const CollectionFile& got, const CollectionFile& want) {
  return got.name == want.name && got.nameIsFileName == want.nameIsFileName &&
         got.extension == want.extension && got.start == want.start && got.length == want.length &&
         got.offset == want.offset && got.isScreen == want.isScreen && got.type == want.type &&
         got.screenFormat == want.screenFormat && !got.border.has_value();
}

// The warnings are of the problems, in any order.
bool HasWarnings(const std::vector<Warning>& warnings, std::vector<Problem> problems) {
  std::vector<Problem> got;
  for (const Warning& warning : warnings) got.push_back(warning.problem);
  std::sort(got.begin(), got.end());
  std::sort(problems.begin(), problems.end());
  return got == problems;
}

bool ScreenIsBytesAt(const ScreenBytes& screen, std::span<const std::uint8_t> bytes,
                     std::uint64_t offset) {
  for (std::size_t i = 0; i < screen.size(); ++i) {
    const std::uint64_t at = offset + i;
    if (screen[i] != (at < bytes.size() ? bytes[at] : 0)) return false;
  }
  return true;
}

}  // namespace

std::optional<ModelCollection> SclModel(std::span<const std::uint8_t> bytes) {
  constexpr std::string_view kSignature = "SINCLAIR";
  if (bytes.size() < kSclHeadersAt ||
      !std::equal(kSignature.begin(), kSignature.end(), bytes.begin())) {
    return std::nullopt;
  }
  const std::size_t count = bytes[8];
  const std::size_t dataAt = kSclHeadersAt + count * kSclHeader;
  if (bytes.size() < dataAt) return std::nullopt;

  ModelCollection model{ImageKind::SclArchive, {}, std::vector<Problem>{}};
  std::size_t dataEnd = dataAt;
  for (std::size_t i = 0; i < count; ++i) {
    const auto header = bytes.subspan(kSclHeadersAt + i * kSclHeader, kSclHeader);
    model.files.push_back(FileOfEntry(header, dataEnd));
    dataEnd += header[13] * kSector;
  }
  if (bytes.size() < dataEnd + 4) {
    model.problems->push_back(Problem::SclCutShort);
  } else {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < dataEnd; ++i) sum += bytes[i];
    const std::uint32_t stored = U16LE(bytes, dataEnd) | (U16LE(bytes, dataEnd + 2) << 16);
    if (sum != stored) model.problems->push_back(Problem::SclWrongChecksum);
  }
  return model;
}

bool HobetaHeaderHolds(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHobetaHeader) return false;
  unsigned checksum = 105;
  for (std::size_t i = 0; i < 15; ++i) checksum += 257u * bytes[i];
  return checksum % 65536 == U16LE(bytes, 15);
}

std::optional<ModelCollection> HobetaModel(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHobetaHeader) return std::nullopt;
  ModelCollection model{
      ImageKind::HobetaFile, {FileOfEntry(bytes, kHobetaHeader)}, std::vector<Problem>{}};
  if (!HobetaHeaderHolds(bytes)) model.problems->push_back(Problem::HobetaWrongChecksum);
  if (bytes.size() - kHobetaHeader < model.files.front().length) {
    model.problems->push_back(Problem::HobetaCutShort);
  }
  return model;
}

std::optional<ModelCollection> BareScreenModel(std::span<const std::uint8_t> bytes,
                                               const std::string& stem) {
  if (bytes.size() != 6912) return std::nullopt;
  CollectionFile screen;
  screen.name = stem;
  screen.nameIsFileName = true;
  screen.length = 6912;
  screen.isScreen = true;
  screen.type = "standard";
  return ModelCollection{ImageKind::BareScreen, {screen}, std::vector<Problem>{}};
}

std::optional<ModelCollection> IdentifiedTrdModel(std::span<const std::uint8_t> bytes) {
  if (bytes.size() <= kTrdIdentifierAt || bytes[kTrdIdentifierAt] != 0x10) return std::nullopt;
  ModelCollection model{ImageKind::TrdImage, {}, std::nullopt};
  for (std::size_t at = 0; at < 2048 && bytes[at] != 0; at += 16) {
    const auto entry = bytes.subspan(at, 16);
    model.files.push_back(FileOfEntry(entry, (entry[15] * 16u + entry[14]) * kSector));
  }
  return model;
}

void CheckReader(const std::function<Collection()>& read, std::span<const std::uint8_t> bytes,
                 const std::optional<ModelCollection>& model) {
  Collection got;
  try {
    got = read();
  } catch (const ImageFormatError& error) {
    FuzzRequire(!model.has_value(), "refuses only bytes its layout cannot hold");
    FuzzRequire(error.Message().starts_with("not "), "a refusal says what the bytes are not");
    return;
  }
  FuzzRequire(model.has_value(), "refuses bytes its layout cannot hold");
  FuzzRequire(got.kind == model->kind, "the kind its layout gives");
  FuzzRequire(got.unpacked.empty(), "the files lie in the bytes as read");
  FuzzRequire(got.files.size() == model->files.size(), "one file per header, no more");
  for (std::size_t i = 0; i < got.files.size(); ++i) {
    FuzzRequire(SameFile(got.files[i], model->files[i]),
                "each file's fields and offset as its header and place give them");
    if (got.files[i].isScreen) {
      FuzzRequire(ScreenIsBytesAt(ScreenData(FileBytes(got, bytes), got.files[i]), bytes,
                                  got.files[i].offset),
                  "a screen is the 6912 bytes at its offset, zero past the end");
    }
  }
  if (model->problems) {
    FuzzRequire(HasWarnings(got.warnings, *model->problems),
                "a warning for each fault that loses nothing, and no other");
  }
}

}  // namespace orlaspin::testing
