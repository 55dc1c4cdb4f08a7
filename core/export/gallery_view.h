// The gallery page of a run: gathered from the run's reports, written when it ends.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "export/gallery.h"
#include "export/image_walk.h"

namespace orlaspin {

class FileSystem;

// The images of a run with their pictures in the output folder, those written and those found
// already there, gathered from the run's reports.
class GalleryRecorder {
 public:
  void Add(const ImageReport& report);

  // The images with pictures, in the order of the run.
  const std::vector<GalleryImage>& Images() const { return images_; }
  // The images read, as a run's summary counts them: those with pictures and those without,
  // those that failed after being read too.
  std::size_t ImagesRead() const { return imagesRead_; }

 private:
  std::vector<GalleryImage> images_;
  std::size_t imagesRead_ = 0;
};

// Writes the page of the images as index.html in outputDir, replacing (in one step) a page of
// ours found there (kGalleryMarker near its start); when something else has that name, under the
// next free name ("index1.html", ...). Returns the name written.
std::string SaveGallery(FileSystem& files, const std::string& outputDir,
                        const GalleryRecorder& gallery);

}  // namespace orlaspin
