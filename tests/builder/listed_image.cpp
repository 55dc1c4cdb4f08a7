#include "listed_image.h"

#include "containers/collection.h"

namespace orlaspin::testing {

void OpenImage(ListedImage& image, FileSystem& files, const std::string& path) {
  image.ImagePath = path;
  if (const auto entryCount = ReadCatalogue(files, path, image.Catalogue)) {
    image.EntryCount = *entryCount;
  }
}

int ExportListed(const ListedImage& image, FileSystem& files, ExportView& view,
                 const std::string& outputDir) {
  return ExportListedScreens(files, image.Catalogue, image.EntryCount, image.ImagePath,
                             image.ZxPalette, outputDir, view);
}

std::string ListedCell(const ListedImage& image, int column, int row) {
  const CatalogueEntry& entry = image.Catalogue[row];
  return ListingCells(FileFromCatalogueEntry(entry, entry.FileOffset()))[column];
}

}  // namespace orlaspin::testing
