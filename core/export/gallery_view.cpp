#include "export/gallery_view.h"

#include "containers/container_kinds.h"
#include "export/collection_export.h"
#include "io/disk_file.h"

namespace orlaspin {

void GalleryRecorder::Add(const ImageReport& report) {
  if (report.kind) ++imagesRead_;
  if (!report.kind || report.pictures.empty()) return;
  images_.push_back({report.path, std::string(KindName(*report.kind)), {}});
  GalleryImage& image = images_.back();
  for (const SavedPicture& picture : report.pictures) {
    const CollectionFile& file = picture.file;
    image.pictures.push_back(
        {picture.name, ShownName(file), ListingCells(file)[1], file.start, file.length});
  }
}

namespace {

// How far into a page its marker is looked for: the head, before any picture.
constexpr std::size_t kMarkerSearched = 1024;

// True when the regular file at path is a gallery page of ours; an unreadable file is not.
bool IsOurGallery(FileSystem& files, const std::string& path) {
  if (!files.IsFile(path)) return false;
  try {
    const std::vector<std::uint8_t> start = ReadFileStart(files, path, kMarkerSearched);
    return std::string_view(reinterpret_cast<const char*>(start.data()), start.size())
               .find(kGalleryMarker) != std::string_view::npos;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace

std::string SaveGallery(FileSystem& files, const std::string& outputDir,
                        const GalleryRecorder& gallery) {
  const std::string page = GalleryHtml(gallery.Images(), gallery.ImagesRead());
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(page.data()),
                                            page.size());
  const std::span<const std::uint8_t> parts[] = {bytes};
  const std::string name = std::string(kGalleryStem) + std::string(kGalleryExtension);
  const std::string path = JoinPath(outputDir, name);
  if (IsOurGallery(files, path)) {
    ReplaceFile(files, path, parts);
    return name;
  }
  return SaveUnderFreeName(files, outputDir, std::string(kGalleryStem), kGalleryExtension, parts,
                           false)
      .fileName;
}

}  // namespace orlaspin
