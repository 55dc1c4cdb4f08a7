// Faults that lose nothing or only what they name (a wrong checksum, an image cut short, a member
// skipped): codes with one text each, told to the user, never fatal.
#pragma once

#include <concepts>
#include <string>
#include <type_traits>
#include <vector>

namespace orlaspin {

enum class Problem {
  // Tapes: where is a block ("block 3").
  TapeCutShort,
  DataPastBlockEnd,
  WrongBlockChecksum,
  HeaderWithoutData,  // detail: the header's name
  ScreenBlockTooShort,
  UnknownSnapshotType,      // detail: the type byte
  SnapshotBlockUnreadable,  // detail: why the snapshot was refused
  TapeMadeBytesLimit,
  // Snapshots.
  SnapshotCutShort,        // where: the page, chunk or header the bytes end in
  SnapshotScreenCutShort,  // detail: bytes present, bytes shown
  SnaOddSize,              // detail: the size
  Z80MemorySize,           // detail: the size
  Z80MemoryUnpackedSize,   // detail: the size
  Z80PageUnpackedSize,     // where: the page; detail: the size
  Z80ScreenPageMissing,    // detail: the page
  SzxScreenPageMissing,    // detail: the page
  SzxScreenPageShort,      // detail: the page
  NexCutShort,             // where: the block; detail: bytes present, bytes needed
  // TR-DOS files.
  TrdMarkMissing,
  ScreenWhollyPastEnd,  // where: the screen's name
  ScreenPartlyPastEnd,  // where: the screen's name; detail: bytes missing, screen size
  HobetaWrongChecksum,  // detail: stored, computed
  HobetaCutShort,       // detail: bytes present, file length
  SclCutShort,          // detail: size, size expected
  SclWrongChecksum,     // detail: stored, computed
  // Disks: where is the catalogue or a file ("file \"GAME\"").
  SectorsMissing,           // detail: sectors missing, sectors of it
  SectorsDamaged,           // detail: sectors damaged, sectors of it
  FdiTrackHeadersCutShort,  // detail: the track, tracks
  FdiSectorsCutShort,       // detail: sectors
  UdiCutShort,              // detail: size, size expected
  UdiWrongChecksum,         // detail: stored, computed
  UdiFmTracksSkipped,       // detail: tracks
  UdiUnknownTrackType,      // where: the track; detail: the type
  UdiTrackDataDamaged,      // where: the track
  UdiTracksEndEarly,        // where: the track
  Td0CutShort,              // detail: whole tracks read
  Td0WrongTrackHeaderCrcs,  // detail: tracks
  Td0UnknownMethods,        // detail: sectors
  Td0WrongHeaderCrc,        // detail: stored, computed
  Td0WrongCommentCrc,
  DskCutShort,          // detail: the track, tracks
  DskTracksUnreadable,  // detail: tracks
  Plus3BlocksShort,     // where: the file; detail: bytes held, bytes recorded
  Plus3FileCutShort,    // where: the file; detail: bytes present, file length
  Plus3TooManyFiles,    // detail: megabytes, files read
  // ZIP archives: where is a member's name.
  ZipEndsInLocalHeader,
  ZipDescriptorMissing,
  ZipDirectoryDamaged,
  ZipNoEndRecord,
  MemberEncrypted,
  MemberMethodUnsupported,  // detail: the method
  MemberTooLarge,           // detail: the largest size
  MemberLocalHeaderMissing,
  MemberCutShort,
  MemberSizeMismatch,     // detail: stored size, its size
  MemberInflatesTooLong,  // detail: its size
  MemberBrokenDeflate,
  MemberWrongCrc,
  // The walk over the images.
  ArchiveTooDeep,   // detail: archives
  ArchiveTooLong,   // detail: megabytes read
  GzipFileSkipped,  // detail: what is wrong with it
  GzipInsideGzip,
  // Export: where is the picture's file-name stem.
  PictureScaleReduced,  // detail: width, height, scale asked, largest side, scale used
};

// One fault found: its problem, where in the image (empty when the whole image), and the values
// its text names.
struct Warning {
  Problem problem;
  std::string where = {};
  std::vector<std::string> detail = {};
  // The part of the image that holds what the problem is about, when that is an image of its own
  // (a tape's block holding a snapshot); empty otherwise.
  std::string within = {};

  friend bool operator==(const Warning&, const Warning&) = default;
};

// The values of a warning's detail, numbers in decimal.
template <typename... Values>
std::vector<std::string> Details(const Values&... values) {
  const auto text = [](const auto& value) {
    if constexpr (std::integral<std::decay_t<decltype(value)>>) {
      return std::to_string(value);
    } else {
      return std::string(value);
    }
  };
  return {text(values)...};
}

// The sentence the user reads: the problem's text with its place and values filled in. A text
// that names no place is preceded by "<where>: " when there is one, and any text by
// "<within>: ".
std::string WarningText(const Warning& warning);

}  // namespace orlaspin
