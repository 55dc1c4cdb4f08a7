// The gallery page of a run: gathered from what the run tells its view, written when it ends.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "export/collection_export.h"
#include "export/gallery.h"
#include "export/images_export.h"

namespace orlaspin {

class FileSystem;

// Passes everything on to view and keeps, for each image read, its pictures in the output folder:
// those written and those found already there.
class GalleryRecorder final : public ImagesExportView {
 public:
  explicit GalleryRecorder(ImagesExportView& view) : view_(view) {}

  void ImageRead(const std::string& imagePath, ImageKind kind) override;
  void Warning(const std::string& imagePath, const std::string& text) override {
    view_.Warning(imagePath, text);
  }
  void FileWritten(const std::string& name) override { view_.FileWritten(name); }
  void FileSkipped(const std::string& name) override { view_.FileSkipped(name); }
  void ScreenSaved(const CollectionFile& file, const std::string& name) override;
  void ImageFailed(const std::string& imagePath, const Error& error) override {
    view_.ImageFailed(imagePath, error);
  }
  void ImageFinished() override { view_.ImageFinished(); }

  // The images with pictures, in the order of the run.
  std::vector<GalleryImage> Images() const;

 private:
  ImagesExportView& view_;
  std::vector<GalleryImage> images_;
};

// Writes the page of the images as index.html in outputDir, or under the next free name
// ("index1.html", ...) when that is taken; returns the name written.
std::string SaveGallery(FileSystem& files, const std::string& outputDir,
                        std::span<const GalleryImage> images);

}  // namespace orlaspin
