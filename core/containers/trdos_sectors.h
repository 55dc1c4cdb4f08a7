// The sectors of a TR-DOS disk gathered from an image that records tracks and sector IDs (FDI,
// UDI, TD0, DSK), laid out as TR-DOS addresses them: a linear image of 16 sectors of 256 bytes to
// a track, track t = cylinder x sides + side, each sector placed by its ID.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "containers/collection.h"
#include "containers/sector_damage.h"

namespace orlaspin {

// TR-DOS reads sectors of 256 bytes (size code 1) numbered 1 to 16.
inline constexpr std::uint8_t kTrDosSizeCode = 1;
inline constexpr std::size_t kTrDosSectorSize = 256;
inline constexpr std::size_t kTrDosSectorsPerTrack = 16;
// A catalogue entry's track is one byte: no file lies further.
inline constexpr std::size_t kTrDosTrackLimit = 256;

// The bytes of image from start, length of them or fewer where the image ends.
std::span<const std::uint8_t> RecordedBytes(std::span<const std::uint8_t> image,
                                            std::uint64_t start, std::uint64_t length);

class TrDosSectors {
 public:
  // A track the image records, even with no sector TR-DOS can read: the linear image reaches it,
  // so its missing sectors are told as missing. Tracks from kTrDosTrackLimit on are ignored.
  void AddTrack(std::size_t track);

  // A sector found on a track. Only TR-DOS's sectors (size code 1, ID 1-16) are kept. data is
  // what the image recorded: none makes the sector missing, fewer than 256 bytes (the rest zero)
  // or damaged (a CRC error) makes it damaged. Of a sector recorded twice the first undamaged
  // copy counts.
  void AddSector(std::size_t track, std::uint8_t id, std::uint8_t sizeCode,
                 std::span<const std::uint8_t> data, bool damaged);

  // The catalogue of the linear image (ReadTrdCatalogue), the image kept in collection.unpacked,
  // with the given kind. A file or catalogue with missing or damaged sectors gets a warning.
  // Raises ImageFormatError "not a TR-DOS disk: ..." when track 0 has no sector 9 with TR-DOS's
  // disk identifier: the disk belongs to another system.
  Collection ReadCatalogue(ImageKind kind) &&;

 private:
  enum class State : std::uint8_t { Missing, Damaged, Read };

  // The sectors of the linear image that the bytes [from, from + length) fall in.
  SectorDamage DamageOf(std::uint64_t from, std::uint64_t length) const;

  std::vector<std::uint8_t> image_;
  std::vector<State> states_;  // one per sector of image_
};

}  // namespace orlaspin
