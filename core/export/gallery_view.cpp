#include "export/gallery_view.h"

#include <algorithm>

#include "containers/container_kinds.h"
#include "io/disk_file.h"

namespace orlaspin {

void GalleryRecorder::ImageRead(const std::string& imagePath, ImageKind kind) {
  images_.push_back({imagePath, std::string(KindName(kind)), {}});
  view_.ImageRead(imagePath, kind);
}

void GalleryRecorder::ScreenSaved(const CollectionFile& file, const std::string& name) {
  if (!images_.empty()) {
    images_.back().pictures.push_back(
        {name, ShownName(file), ListingCells(file)[1], file.start, file.length});
  }
  view_.ScreenSaved(file, name);
}

std::vector<GalleryImage> GalleryRecorder::Images() const {
  std::vector<GalleryImage> shown;
  std::copy_if(images_.begin(), images_.end(), std::back_inserter(shown),
               [](const GalleryImage& image) { return !image.pictures.empty(); });
  return shown;
}

std::string SaveGallery(FileSystem& files, const std::string& outputDir,
                        std::span<const GalleryImage> images) {
  const std::string page = GalleryHtml(images);
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(page.data()),
                                            page.size());
  const std::span<const std::uint8_t> parts[] = {bytes};
  return SaveUnderFreeName(files, outputDir, std::string(kGalleryStem), kGalleryExtension, parts,
                           false)
      .fileName;
}

}  // namespace orlaspin
