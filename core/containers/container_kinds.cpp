#include "containers/container_kinds.h"

#include <algorithm>

#include "containers/bare_screen.h"
#include "containers/dsk_image.h"
#include "containers/fdi_image.h"
#include "containers/hobeta_file.h"
#include "containers/image_reader.h"
#include "containers/nex_file.h"
#include "containers/packed_file.h"
#include "unpack/unpackers.h"
#include "containers/pzx_file.h"
#include "containers/scl_image.h"
#include "containers/sna_snapshot.h"
#include "containers/szx_snapshot.h"
#include "containers/tap_file.h"
#include "containers/td0_image.h"
#include "containers/trd_image.h"
#include "containers/tzx_file.h"
#include "containers/udi_image.h"
#include "containers/z80_snapshot.h"
#include "screens/plus3dos_header.h"

namespace orlaspin {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::string_view kTrdExtensions[] = {"trd"};
constexpr std::string_view kSclExtensions[] = {"scl"};
constexpr std::string_view kHobetaExtensions[] = {"$?", "!?"};
constexpr std::string_view kScreenExtensions[] = {"scr"};
constexpr std::string_view kFdiExtensions[] = {"fdi"};
constexpr std::string_view kUdiExtensions[] = {"udi"};
constexpr std::string_view kTd0Extensions[] = {"td0"};
constexpr std::string_view kDskExtensions[] = {"dsk"};
constexpr std::string_view kTapExtensions[] = {"tap"};
constexpr std::string_view kTzxExtensions[] = {"tzx"};
constexpr std::string_view kPzxExtensions[] = {"pzx"};
constexpr std::string_view kSnaExtensions[] = {"sna"};
constexpr std::string_view kZ80Extensions[] = {"z80"};
constexpr std::string_view kSzxExtensions[] = {"szx"};
constexpr std::string_view kNexExtensions[] = {"nex"};

bool HasScreenFormat(std::string_view extension, Bytes bytes) {
  return ScreenFormatOf(extension, bytes).has_value();
}

// A standard screen's size, or a screen file behind a +3DOS header.
bool LooksLikeScreen(Bytes bytes) {
  return bytes.size() == kScreenBytes ||
         (HasPlus3DosHeader(bytes) && HasScreenFormat("scr", bytes));
}

// Reached by content, a bare screen is a standard one whatever its file's extension.
Collection ReadScreenFile(Bytes bytes, std::string_view path) {
  const std::string extension = ExtensionOf(path);
  const bool named = extension == "scr" || HasScreenFormat(extension, bytes);
  return ReadBareScreen(bytes, named ? std::string_view(extension) : "scr", FileStem(path));
}

Collection ReadPackedScreenFile(Bytes bytes, std::string_view path) {
  return ReadPackedFile(bytes, ExtensionOf(path), FileStem(path));
}

constexpr ContainerKind kRows[] = {
    {ImageKind::TrdImage, "trd", "TR-DOS image", "", kTrdExtensions, nullptr, HasTrdDiskIdentifier,
     12, [](Bytes b, std::string_view) { return ReadTrdImage(b); }},
    {ImageKind::SclArchive, "scl", "SCL archive", "", kSclExtensions, nullptr, HasSclSignature, 1,
     [](Bytes b, std::string_view) { return ReadSclArchive(b); }},
    {ImageKind::HobetaFile, "hobeta", "Hobeta file", "", kHobetaExtensions, nullptr,
     HasHobetaHeader, 10, [](Bytes b, std::string_view) { return ReadHobetaFile(b); }},
    {ImageKind::BareScreen, "scr", "6912-byte screen", "", kScreenExtensions, HasScreenFormat,
     LooksLikeScreen, 11, ReadScreenFile, true},
    {ImageKind::PackedFile, "packed", "packed screen", "", kPackedExtensions, nullptr, nullptr, 0,
     ReadPackedScreenFile, true},
    {ImageKind::Fdi, "fdi", "FDI", "disk image", kFdiExtensions, nullptr, HasFdiSignature, 2,
     [](Bytes b, std::string_view) { return ReadFdiImage(b); }},
    {ImageKind::Udi, "udi", "UDI", "disk image", kUdiExtensions, nullptr, HasUdiSignature, 3,
     [](Bytes b, std::string_view) { return ReadUdiImage(b); }},
    {ImageKind::Td0, "td0", "TD0", "disk image", kTd0Extensions, nullptr, HasTd0Signature, 4,
     [](Bytes b, std::string_view) { return ReadTd0Image(b); }},
    {ImageKind::Dsk, "dsk", "DSK", "disk image", kDskExtensions, nullptr, HasDskSignature, 5,
     [](Bytes b, std::string_view) { return ReadDskImage(b); }},
    {ImageKind::Tap, "tap", "TAP", "tape", kTapExtensions, nullptr, LooksLikeTap, 13,
     [](Bytes b, std::string_view path) { return ReadTapFile(b, FileStem(path)); }},
    {ImageKind::Tzx, "tzx", "TZX", "tape", kTzxExtensions, nullptr, HasTzxSignature, 6,
     [](Bytes b, std::string_view path) { return ReadTzxFile(b, FileStem(path)); }},
    {ImageKind::Pzx, "pzx", "PZX", "tape", kPzxExtensions, nullptr, HasPzxSignature, 7,
     [](Bytes b, std::string_view path) { return ReadPzxFile(b, FileStem(path)); }},
    {ImageKind::Sna, "sna", "SNA", "snapshot", kSnaExtensions, nullptr,
     [](Bytes b) { return HasSnaSize(b.size()); }, 14,
     [](Bytes b, std::string_view path) { return ReadSnaSnapshot(b, FileStem(path)); }, true},
    // A Z80 snapshot has no signature: its extension alone names it.
    {ImageKind::Z80, "z80", "Z80", "snapshot", kZ80Extensions, nullptr, nullptr, 0,
     [](Bytes b, std::string_view path) { return ReadZ80Snapshot(b, FileStem(path)); }, true},
    {ImageKind::Szx, "szx", "SZX", "snapshot", kSzxExtensions, nullptr, HasSzxSignature, 8,
     [](Bytes b, std::string_view path) { return ReadSzxSnapshot(b, FileStem(path)); }, true},
    {ImageKind::Nex, "nex", "NEX program", "", kNexExtensions, nullptr, HasNexSignature, 9,
     [](Bytes b, std::string_view path) { return ReadNexFile(b, FileStem(path)); }},
};

bool MatchesPattern(std::string_view pattern, std::string_view extension) {
  return pattern.size() == extension.size() &&
         std::equal(pattern.begin(), pattern.end(), extension.begin(),
                    [](char p, char c) { return p == '?' || p == c; });
}

// "A, B or C".
std::string Alternatives(std::span<const std::string_view> words) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
    text += words[i];
  }
  return text;
}

}  // namespace

std::span<const ContainerKind> ContainerKinds() { return kRows; }

const ContainerKind* KindByExtension(std::string_view extension, Bytes bytes) {
  for (const ContainerKind& row : kRows) {
    const bool listed = std::ranges::any_of(row.extensions, [&](std::string_view pattern) {
      return MatchesPattern(pattern, extension);
    });
    if (listed || (row.claimsExtension && row.claimsExtension(extension, bytes))) return &row;
  }
  return nullptr;
}

const ContainerKind* KindByContent(std::span<const std::uint8_t> bytes) {
  const ContainerKind* found = nullptr;
  for (const ContainerKind& row : kRows) {
    if (row.probe && (!found || row.probeRank < found->probeRank) && row.probe(bytes)) found = &row;
  }
  return found;
}

const ContainerKind& RowOf(ImageKind kind) {
  return *std::ranges::find(kRows, kind, &ContainerKind::kind);
}

std::string_view KindName(ImageKind kind) { return RowOf(kind).word; }

std::string NoKnownKindText() {
  std::vector<std::string> groups;
  for (std::size_t i = 0; i < std::size(kRows);) {
    std::vector<std::string_view> nouns{kRows[i].noun};
    const std::string_view family = kRows[i].family;
    while (++i < std::size(kRows) && !family.empty() && kRows[i].family == family) {
      nouns.push_back(kRows[i].noun);
    }
    groups.push_back(Alternatives(nouns) + (family.empty() ? "" : " " + std::string(family)));
  }
  std::string text = "not a ";
  for (std::size_t i = 0; i < groups.size(); ++i) {
    if (i > 0) text += i + 1 == groups.size() ? ", or " : ", ";
    text += groups[i];
  }
  return text;
}

}  // namespace orlaspin
