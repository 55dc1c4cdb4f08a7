// Contact sheets of whole collections: every screen of every image found, as thumbnails on PNG
// or BMP pages.
#pragma once

#include <string>
#include <vector>

#include "export/collection_export.h"
#include "export/contact_sheet.h"
#include "export/images_export.h"  // ReportListener

namespace orlaspin {

class FileSystem;

struct SheetExport {
  std::vector<std::string> paths;  // files, folders and archives, as the user named them
  bool walkFolders = false;
  // The page's file; a sheet of several pages is written as SheetPagePath gives (FILE-001.png).
  std::string sheetPath;
  OutputOptions options;  // the palette; a thumbnail is made from the picture at scale 1
  SheetLayout layout;
  PathFilter filter = {};
};

struct SheetExportResult {
  int images = 0;  // read, failed ones included
  int failedImages = 0;
  int screens = 0;  // on the sheet
  int pages = 0;
  int skippedFiles = 0;  // files of walked folders and archives that are no known image
};

// Hears the reports of a sheet's images and the pages written.
class SheetListener : public ReportListener {
 public:
  virtual void PageWritten(const std::string& path) = 0;
};

// Draws the screens of every image the walk finds in the paths, each image under a heading of its
// path; images that are one picture by nature (HoldsOnePicture) found one after another in one
// folder share a heading of the folder's path ("art/", "./" for none), and rows, each picture
// named by its image's file name, and writes the pages as they fill, as BMP files when sheetPath
// ends in ".bmp" (any case), else as PNG files, telling each page's path. A page never replaces a
// file: a name that is taken raises the file-creation error and ends the run, as does a failed
// write; a fault of one image (a screen its decoder refuses among them) only fails that image.
SheetExportResult ExportSheet(FileSystem& files, const SheetExport& run, SheetListener& listener);

}  // namespace orlaspin
