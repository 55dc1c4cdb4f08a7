#include "export/gallery_view.h"

#include "containers/container_kinds.h"
#include "export/collection_export.h"
#include "io/disk_file.h"

namespace orlaspin {

void GalleryRecorder::Add(const ImageReport& report) {
  if (!report.kind || report.pictures.empty()) return;
  images_.push_back({report.path, std::string(KindName(*report.kind)), {}});
  GalleryImage& image = images_.back();
  for (const SavedPicture& picture : report.pictures) {
    const CollectionFile& file = picture.file;
    image.pictures.push_back(
        {picture.name, ShownName(file), ListingCells(file)[1], file.start, file.length});
  }
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
