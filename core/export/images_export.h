// Exporting the screens of many images at once: the files and folders the user names, walked
// and unpacked, each image into a folder of its own, on several threads.
#pragma once

#include <string>
#include <vector>

#include "export/collection_export.h"
#include "export/image_walk.h"
#include "export/picture_names.h"

namespace orlaspin {

class FileSystem;

struct ImagesExport {
  std::vector<std::string> paths;  // files, folders and archives, as the user named them
  bool walkFolders = false;        // a named folder is walked, not refused
  std::string outputDir;           // created with its parents when missing
  OutputOptions options;
  int jobs = 1;  // images read and exported at once, each on a thread of its own
  PictureLayout layout = PictureLayout::Tree;
  std::optional<NameTemplate> pictureName = {};  // absent: DefaultPictureName
  PathFilter filter = {};
};

// Hears each image's report in the order of the walk, whatever the number of jobs, from one
// thread at a time.
class ReportListener {
 public:
  virtual ~ReportListener() = default;
  virtual void Reported(const ImageReport& report) = 0;
};

struct ImagesExportResult {
  int images = 0;  // images tried, failed ones included
  int failedImages = 0;
  int readImages = 0;      // images whose reading succeeded, also those whose export failed later
  int screens = 0;         // files written, also those of an image that failed later
  int skippedScreens = 0;  // found already present
  int skippedFiles = 0;    // files of walked folders and archives that are no known image
  // The one path named was a file, read (or failed) as one image: its screens went into the
  // output folder itself.
  bool singleImage = false;
  // The disk filled up: the run ended there, the images after it not tried.
  bool diskFull = false;
};

// Exports every image that the walk finds in the paths. In the tree layout, a single named file
// that is an image has its screens written into the output folder itself; otherwise each image
// gets a folder (OutputFolders), made only when it has screens. In the flat layout every picture
// goes into the output folder itself, its image's name (PictureFields::image) the name that
// image's folder would get there were all folders side by side. Names and contents of the files do
// not depend on the number of jobs. A full disk ends the run: it is told once, in the report of the
// image being written. Raises only when the output folder cannot be made.
ImagesExportResult ExportImages(FileSystem& files, const ImagesExport& run,
                                ReportListener& listener);

}  // namespace orlaspin
