#include "image_document.h"

#include <algorithm>

#include "containers/screen_source.h"
#include "export/collection_export.h"
#include "io/disk_file.h"

namespace orlaspin::app {

bool ImageDocument::ReadCatalogue(FileSystem& files, const std::string& path) {
  if (!files.IsFile(path)) return false;
  // Read into a zeroed buffer and fill the table only once all went well, so that a failure
  // leaves the previous image in place and a short image cannot show bytes of an earlier one.
  std::array<std::uint8_t, kCatalogueBytes> bytes{};
  {
    const auto file = files.OpenForReading(path);
    ReadFully(*file, bytes);
    file->Close();
  }
  const auto listed = static_cast<std::int32_t>(ListCatalogue(bytes).size());
  for (int slot = 0; slot < kCatalogueSlots; ++slot) {
    std::copy_n(bytes.begin() + slot * kCatalogueEntrySize, kCatalogueEntrySize,
                Catalogue[slot].Bytes.begin());
    // The entry that ends the listing is marked too; the slots after it keep their marks.
    if (slot <= listed) Catalogue[slot].IsScreen = Catalogue[slot].HasScreenLength() ? 1 : 0;
  }
  EntryCount = listed;
  return true;
}

Collection ImageDocument::Listing() const {
  Collection collection{ImageKind::TrdImage, {}, {}, {}};
  for (int i = 0; i < EntryCount; ++i) {
    const CatalogueSlot& slot = Catalogue[i];
    collection.files.push_back(FileFromCatalogueEntry(slot, slot.FileOffset()));
    collection.files.back().isScreen = slot.IsScreen == 1;
  }
  return collection;
}

int ImageDocument::ExportScreens(FileSystem& files, const Palette& palette,
                                 const std::string& outputDir, ExportView& view) const {
  ImageFileScreenSource source(files, ImagePath);
  OutputOptions options;
  options.palette = {DefaultPalette().name, palette, std::nullopt};
  options.windowNames = true;
  options.windowWrites = true;
  try {
    return ExportCollection(files, Listing(), source, ImagePath, outputDir, {}, options, view);
  } catch (const WriteError&) {
    // The window names every failed write alike, a full disk too.
    throw StreamWriteError();
  }
}

}  // namespace orlaspin::app
