// Any bytes read by each container reader, the first byte picking which (container_fuzz_rows.h):
// - SCL and Hobeta against what their layouts say (collection_model.h): SCL refused only without
//   the signature or with headers cut off, otherwise every header listed in order, each file at
//   the sum of the sectors before it, and a warning exactly when the archive is cut short or its
//   checksum is wrong; Hobeta refused only when shorter than the header, otherwise its one file
//   after the header, warned of for a wrong checksum and for data shorter than the length, and
//   its header recognised by content exactly when the checksum holds;
// - tapes and snapshots by the promises of every reader (reader_fuzz_check.h);
// - disk images (FDI, UDI, TD0, DSK) by the promises of every disk reader (disk_fuzz_check.h);
// - NEX programs by the promises of every reader.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

#include "collection_model.h"
#include "container_fuzz_rows.h"
#include "containers/dsk_image.h"
#include "containers/fdi_image.h"
#include "containers/hobeta_file.h"
#include "containers/nex_file.h"
#include "containers/plus3dos_disk.h"
#include "containers/pzx_file.h"
#include "containers/scl_image.h"
#include "containers/sna_snapshot.h"
#include "containers/szx_snapshot.h"
#include "containers/tap_file.h"
#include "containers/td0_image.h"
#include "containers/trdos_sectors.h"
#include "containers/tzx_file.h"
#include "containers/udi_image.h"
#include "containers/z80_snapshot.h"
#include "disk_fuzz_check.h"
#include "fuzz_check.h"
#include "reader_fuzz_check.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

constexpr std::size_t kNexMadeBytesLimit = 49664 + 12289 + 82432;  // LoRes, hi-res, wide
constexpr std::size_t kTrDosDiskBytes = kTrDosTrackLimit * kTrDosSectorsPerTrack * kTrDosSectorSize;

void CheckScl(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  CheckReader([&] { return ReadSclArchive(bytes); }, bytes, SclModel(bytes));
}

void CheckHobeta(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  CheckReader([&] { return ReadHobetaFile(bytes); }, bytes, HobetaModel(bytes));
  FuzzRequire(HasHobetaHeader(bytes) == HobetaHeaderHolds(bytes),
              "a header is recognised exactly when its checksum holds");
}

struct Row {
  std::string_view word;
  void (*check)(const std::uint8_t* data, std::size_t size);
};

constexpr Row kRows[] = {
    {"scl", CheckScl},
    {"hobeta", CheckHobeta},
    {"tap", [](const std::uint8_t* data, std::size_t size) {
       CheckReader(ReadTapFile, ImageKind::Tap, data, size, 0);
     }},
    // The unpacked bytes: the tape, a screen of zeros, then what its blocks unpacked.
    {"tzx", [](const std::uint8_t* data, std::size_t size) {
       CheckReader(ReadTzxFile, ImageKind::Tzx, data, size, size + kScreenBytes + kTzxMadeBytesLimit);
     }},
    {"pzx", [](const std::uint8_t* data, std::size_t size) {
       CheckReader(ReadPzxFile, ImageKind::Pzx, data, size, 0);
     }},
    {"sna", [](const std::uint8_t* data, std::size_t size) {
       CheckReader(ReadSnaSnapshot, ImageKind::Sna, data, size, kScreenBytes);
     }},
    {"z80", [](const std::uint8_t* data, std::size_t size) {
       CheckReader(ReadZ80Snapshot, ImageKind::Z80, data, size, kScreenBytes);
     }},
    {"szx", [](const std::uint8_t* data, std::size_t size) {
       CheckReader(ReadSzxSnapshot, ImageKind::Szx, data, size, kScreenBytes);
     }},
    {"fdi", [](const std::uint8_t* data, std::size_t size) {
       CheckDiskReader(data, size, ReadFdiImage, ImageKind::Fdi, kTrDosDiskBytes);
     }},
    {"udi", [](const std::uint8_t* data, std::size_t size) {
       CheckDiskReader(data, size, ReadUdiImage, ImageKind::Udi, kTrDosDiskBytes);
     }},
    {"td0", [](const std::uint8_t* data, std::size_t size) {
       CheckDiskReader(data, size, ReadTd0Image, ImageKind::Td0, kTrDosDiskBytes);
     }},
    {"dsk", [](const std::uint8_t* data, std::size_t size) {
       CheckDiskReader(data, size, ReadDskImage, ImageKind::Dsk, kLargestPlus3Files);
     }},
    {"nex", [](const std::uint8_t* data, std::size_t size) {
       CheckReader(ReadNexFile, ImageKind::Nex, data, size, size + kNexMadeBytesLimit);
     }},
};

// The seeds' selector bytes name these rows.
static_assert([] {
  if (std::size(kRows) != std::size(kContainerFuzzRows)) return false;
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    if (kRows[i].word != kContainerFuzzRows[i]) return false;
  }
  return true;
}());

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  kRows[data[0] % std::size(kRows)].check(data + 1, size - 1);
  return 0;
}
