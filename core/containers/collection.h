// What an image holds, whatever its format: the files it lists and which of them are screens.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "containers/little_endian.h"
#include "io/errors.h"
#include "io/problems.h"
#include "screens/screen.h"
#include "screens/screen_format.h"

namespace orlaspin {

struct CatalogueEntry;

enum class ImageKind {
  TrdImage,
  SclArchive,
  HobetaFile,
  BareScreen,
  Tap,
  Tzx,
  Pzx,
  Sna,
  Z80,
  Szx,
  Fdi,
  Udi,
  Td0,
  Dsk,
  PackedFile,
  Nex,
};

// One file of an image, as listed.
struct CollectionFile {
  // A catalogue name's bytes up to its first zero byte; for a bare screen, its file's stem (UTF-8).
  std::string name;
  bool nameIsFileName = false;
  std::optional<std::uint8_t> extension;  // the one-byte TR-DOS file type
  std::optional<std::uint16_t> start;
  std::uint32_t length = 0;
  std::uint64_t offset = 0;  // where the file's data begins in the image
  bool isScreen = false;
  // The container's own word for the file's type where it has no TR-DOS letter ("Bytes",
  // "Program", "snapshot", ...); empty otherwise.
  std::string type;
  // The border colour (0-7) the container records with a screen (a snapshot, a tape's screen
  // block); absent when it records none.
  std::optional<std::uint8_t> border;
  // How a screen's bytes are laid out: a bare file's format, or a snapshot's display mode. A
  // screen in any other container is a standard one.
  ScreenFormat screenFormat = ScreenFormat::Standard;
  // A screen brought out of a file that is not one (RevealHiddenScreens): how it was found
  // ("ZX0 -> standard", "bank 7") and where its screen file lies in the collection's revealed
  // bytes.
  struct Revealed {
    std::string how;
    std::size_t at = 0;
    std::size_t size = 0;
  };
  std::optional<Revealed> revealed;
};

struct Collection {
  ImageKind kind = ImageKind::TrdImage;
  std::vector<CollectionFile> files;
  // Faults that lose nothing, such as a wrong checksum: told to the user, not fatal.
  std::vector<Warning> warnings;
  // Bytes the reader made itself (a decompressed snapshot, a disk turned into a linear TR-DOS
  // image): when not empty, the files' offsets point here instead of into the image's bytes.
  std::vector<std::uint8_t> unpacked;
  // The screen files of the files' revealed screens.
  std::vector<std::uint8_t> revealed = {};
  // A 128K snapshot's bank 7 screen beside the one displayed, listed only when asked for; its
  // bytes lie in revealed.
  std::optional<CollectionFile> bank7 = {};
};

// The bytes the files' offsets point into: the collection's own unpacked bytes when it has them,
// otherwise the image's.
std::span<const std::uint8_t> FileBytes(const Collection& collection,
                                        std::span<const std::uint8_t> image);

// The bytes are not an image of the kind asked for; the message says what it is not and why.
class ImageFormatError : public Error {
 public:
  explicit ImageFormatError(std::string message) : Error(0, std::move(message)) {}
};

// A TR-DOS file described by the first 14 bytes of a catalogue entry (name, extension, start,
// length, sector count), its data at offset; a screen when its length is 6912.
CollectionFile FileFromCatalogueEntry(const CatalogueEntry& entry, std::uint64_t offset);

// The five cells of a listed file, as the window's grid and the command-line listing show them:
// name, extension (how a revealed screen was found, else one byte, or the container's type word
// when it has no TR-DOS letter), start,
// length and offset in decimal; an empty cell for a field the file has not.
std::array<std::string, 5> ListingCells(const CollectionFile& file);

// The 6912 bytes at file.offset of the image; bytes the image does not supply are zero.
ScreenBytes ScreenData(std::span<const std::uint8_t> image, const CollectionFile& file);

// How many bytes a screen's decoder takes: a standard screen's 6912, else the file's length.
std::size_t ScreenFileSize(const CollectionFile& file);

// The ScreenFileSize bytes at file.offset of the image; bytes the image does not supply are zero.
std::vector<std::uint8_t> ScreenFileData(std::span<const std::uint8_t> image,
                                         const CollectionFile& file);

// The bytes of a listed screen's file in the collection read from image: its revealed screen's
// when it has one, else ScreenFileData of the bytes its offset points into.
std::vector<std::uint8_t> CollectionScreenFile(const Collection& collection,
                                               std::span<const std::uint8_t> image,
                                               const CollectionFile& file);

}  // namespace orlaspin
