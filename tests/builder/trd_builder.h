// Builds TR-DOS disk images in memory for tests: entries with given names, lengths and places,
// screens with given bytes, and short or odd images. Entries and file data are cut off at the
// image's size, so a short image is built like a full one; only PutBytes grows the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::testing {

inline constexpr std::size_t kSectorSize = 256;
inline constexpr std::size_t kSectorsPerTrack = 16;
inline constexpr std::size_t kFullImageSize = 655360;  // 80 tracks, 2 sides

// One catalogue entry as stored: every field settable, for odd and hostile catalogues.
struct EntrySpec {
  std::string name = {};  // up to 8 bytes, stored as given and filled out with spaces
  std::uint8_t extension = 'C';
  std::uint16_t start = 0;
  std::uint16_t length = 6912;
  std::uint8_t sectorCount = 27;
  std::uint8_t firstSector = 0;
  std::uint8_t firstTrack = 1;
};

class TrdBuilder {
 public:
  // imageSize: the length of the built image (a full disk unless a test wants a short one).
  explicit TrdBuilder(std::size_t imageSize = kFullImageSize);

  // Appends a catalogue entry as given; its data is not touched. Throws std::length_error past
  // 128 entries or for a name longer than 8 bytes.
  TrdBuilder& AddEntry(const EntrySpec& entry);
  // Appends an entry for data placed in the next free sectors (from track 1 on) and stores the
  // data there; length and sector count follow the data.
  TrdBuilder& AddFile(std::string_view name, std::uint8_t extension,
                      std::span<const std::uint8_t> data, std::uint16_t start = 0);
  // As AddFile, but the entry's name, extension, start and length are entry's: a length that
  // disagrees with the data is stored as given. The place and sector count follow the data.
  TrdBuilder& AddPlacedEntry(const EntrySpec& entry, std::span<const std::uint8_t> data);
  TrdBuilder& AddScreen(std::string_view name, const ScreenBytes& screen);
  // Writes the disk information sector (track 0, sector 8) for the files added so far, as TR-DOS
  // keeps it: first free sector and track, an 80-track double-sided disk, the file count, the
  // free sectors, the TR-DOS identifier and the disk label (up to 8 bytes).
  TrdBuilder& AddDiskInfo(std::string_view label);
  // Writes raw bytes at an offset of the image (growing it if needed).
  TrdBuilder& PutBytes(std::size_t offset, std::span<const std::uint8_t> bytes);

  std::vector<std::uint8_t> Build() const;
  // Writes the image to a file; throws std::runtime_error on failure.
  void WriteTo(const std::string& path) const;

  // Where the next AddFile data goes: track and sector.
  std::size_t NextFreeSector() const { return nextFreeSector_; }

 private:
  std::vector<std::uint8_t> image_;
  std::size_t entries_ = 0;
  std::size_t nextFreeSector_ = kSectorsPerTrack;
};

// What a sound file of some released disks looks like: data of many sectors whose catalogue
// entry nevertheless says 6912 bytes, so that it is listed and converted as a screen.
struct SoundFile {
  std::string name;
  std::vector<std::uint8_t> data;
};

// A disk of such files: a loading screen, then the sound files (each entry's length 6912, its
// sector count that of its data), then a long code file, and the disk information sector.
// imageSize may cut the last files off.
std::vector<std::uint8_t> SoundDataDisk(const ScreenBytes& loadingScreen,
                                        const std::vector<SoundFile>& soundFiles,
                                        std::size_t imageSize = kFullImageSize);

}  // namespace orlaspin::testing
