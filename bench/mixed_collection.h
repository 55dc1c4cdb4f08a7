// A collection of images of every kind a folder walk reads, for timing orlaspin-cli on what a
// user's archive holds: TR-DOS disks, SCL archives, tapes, snapshots, Teledisk and +3 disks, a
// tenth of them packed into ZIP archives, spread over subfolders. Every screen differs from all
// others, and each is also kept as a bare 6912-byte file for tools that read only those.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::bench {

enum class MixedKind { Trd, Scl, Tap, Tzx, Z80, Sna, Szx, Td0, Dsk };

// One image: its file name (with the kind's extension), bytes and the screens it holds, in the
// order orlaspin-cli lists them.
struct MixedImage {
  std::string name;
  std::vector<std::uint8_t> bytes;
  std::vector<ScreenBytes> screens;
};

// The index-th image of a collection (from 0): its kind, its number of screens (disks 4 to 8,
// tapes 1 or 2, snapshots 1) and its other files follow from index alone; its screens are
// ColourfulScreen(firstSeed), ColourfulScreen(firstSeed + 1), ...
MixedKind KindOf(int index);
MixedImage MakeImage(int index, std::uint32_t firstSeed);

struct CollectionCounts {
  int images = 0;
  int screens = 0;
};

// Writes imageCount images below folder, 100 to a subfolder ("set-00", "set-01", ...), every
// tenth one as a member of a ZIP archive of up to 5 images (every other member in a folder inside
// the archive), and each screen as NNNNNN.scr into screensFolder. Both folders are created; to
// leave the user's files alone, an existing one must be empty. Throws std::runtime_error on
// failure.
CollectionCounts WriteMixedCollection(int imageCount, const std::filesystem::path& folder,
                                      const std::filesystem::path& screensFolder);

}  // namespace orlaspin::bench
