// An image as the window holds it between its open action and its batch: its path and its listed
// catalogue, read and exported by the window's document.
#pragma once

#include <string>

#include "export/collection_export.h"
#include "image_document.h"
#include "screens/screen.h"

namespace orlaspin {
class FileSystem;
}

namespace orlaspin::testing {

// The window's own document, with the colours its window gives the batch.
struct ListedImage : app::ImageDocument {
  Palette ZxPalette = kZxPaletteColours;
};

// Reads the catalogue of the image at path into image; a path naming no file changes nothing.
// Sets ImagePath either way, as the open action does before it lists.
void OpenImage(ListedImage& image, FileSystem& files, const std::string& path);

// The batch of the window: every listed screen into outputDir (the current folder when empty).
int ExportListed(const ListedImage& image, FileSystem& files, ExportView& view,
                 const std::string& outputDir);

// The text of a grid cell for a listed entry: column 0-4 (name, extension, start, length,
// offset).
std::string ListedCell(const ListedImage& image, int column, int row);

}  // namespace orlaspin::testing
