#include "listed_image.h"

#include "containers/collection.h"

namespace orlaspin::testing {

void OpenImage(ListedImage& image, FileSystem& files, const std::string& path) {
  image.ImagePath = path;
  image.ReadCatalogue(files, path);
}

int ExportListed(const ListedImage& image, FileSystem& files, ExportView& view,
                 const std::string& outputDir) {
  return image.ExportScreens(files, image.ZxPalette, outputDir, view);
}

std::string ListedCell(const ListedImage& image, int column, int row) {
  const app::CatalogueSlot& entry = image.Catalogue[row];
  return ListingCells(FileFromCatalogueEntry(entry, entry.FileOffset()))[column];
}

}  // namespace orlaspin::testing
