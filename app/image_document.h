// The image the window has open: its path and its listed catalogue, read and exported by the
// core's TR-DOS catalogue reading and its export, as orlaspin-cli reads and exports a .trd.
// Portable, so that it is tested natively too.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "containers/catalogue.h"
#include "containers/collection.h"
#include "screens/screen.h"

namespace orlaspin {
class ExportView;
class FileSystem;
}  // namespace orlaspin

namespace orlaspin::app {

// One slot of Catalogue: a catalogue entry's 16 bytes as read, and its screen mark, 1 when the
// entry is 6912 bytes long.
struct CatalogueSlot : CatalogueEntry {
  std::uint8_t IsScreen = 0;
};

using CatalogueTable = std::array<CatalogueSlot, kCatalogueSlots>;

class ImageDocument {
 public:
  std::string ImagePath;  // the open action's, full
  CatalogueTable Catalogue{};
  std::int32_t EntryCount = 0;

  // Reads the catalogue of the image at path into Catalogue (all 128 slots; zeros past a short
  // image's end) and EntryCount, and marks the listed entries and the one that ends the listing.
  // A path naming no file returns false and changes nothing. A failed open, read or close raises
  // its I/O error and changes nothing. Leaves ImagePath alone.
  bool ReadCatalogue(FileSystem& files, const std::string& path);

  // Entries 0 to EntryCount - 1, each at its FileOffset, a screen where its mark is 1.
  Collection Listing() const;

  // Writes the listed screens as BMP files into outputDir (the current folder when empty), each
  // read from the image at ImagePath at its turn; view hears of each picture before its file is
  // written. Returns the number written. A failed write raises "Stream write error".
  int ExportScreens(FileSystem& files, const Palette& palette, const std::string& outputDir,
                    ExportView& view) const;
};

}  // namespace orlaspin::app
