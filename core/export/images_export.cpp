#include "export/images_export.h"

#include <algorithm>
#include <optional>

#include "containers/image_reader.h"
#include "containers/screen_source.h"
#include "export/output_folders.h"
#include "io/disk_file.h"

namespace orlaspin {

namespace {

// Keeps in the report what the export of one image tells.
class ReportingView final : public ExportView {
 public:
  explicit ReportingView(ImageReport& report) : report_(report) {}
  void Warn(const std::string& /*imagePath*/, const Warning& warning) override {
    report_.warnings.push_back(warning);
  }
  void FileWritten(const std::string& /*name*/) override { alreadyPresent_ = false; }
  void FileSkipped(const std::string& /*name*/) override { alreadyPresent_ = true; }
  void ScreenSaved(const CollectionFile& file, const std::string& name) override {
    report_.pictures.push_back({name, file, alreadyPresent_});
  }

 private:
  ImageReport& report_;
  bool alreadyPresent_ = false;
};

// Raised from a report of a full disk: nothing more can be written, so the walk stops there.
struct DiskFullStop {};

bool HasScreens(const Collection& collection) {
  return std::any_of(collection.files.begin(), collection.files.end(),
                     [](const CollectionFile& file) { return file.isScreen; });
}

class ExportTask final : public ImageTask {
 public:
  ExportTask(FileSystem& files, const ImagesExport& run, ReportListener& listener)
      : files_(files), run_(run), listener_(listener), folders_(files, run.outputDir) {}

  // The folder for the image's screens; for an image that is one picture, which gets no folder
  // of its own, the path of its picture without the extension.
  std::string Place(const SourceImage& image, const Collection& collection) override {
    if (!HasScreens(collection) || IsSingleImage(image.path)) return {};
    const std::string_view name = image.name;
    const std::string_view extension =
        name.substr(std::min(name.size(), FileStem(name).size() + 1));
    if (HoldsOnePicture(collection)) {
      return folders_.PicturePathFor(image.namedIndex, image.folders, extension);
    }
    return folders_.FolderFor(image.namedIndex, image.folders, extension);
  }

  void Work(const SourceImage& image, const Collection& collection, const std::string& place,
            ImageReport& report) override {
    ReportingView view(report);
    CollectionScreenSource source(collection, image.bytes);
    if (place.empty() || !HoldsOnePicture(collection)) {
      ExportCollection(files_, collection, source, image.path, run_.outputDir, place, run_.options,
                       view);
      return;
    }
    // The picture is named as the folder it does without would have been.
    const std::size_t slash = place.rfind('/');
    Collection named = collection;
    named.files.front().name = place.substr(slash == std::string::npos ? 0 : slash + 1);
    ExportCollection(files_, named, source, image.path, run_.outputDir,
                     slash == std::string::npos ? std::string() : place.substr(0, slash),
                     run_.options, view);
  }

  void Told(const ImageReport& report, const SourceImage*, const Collection*) override {
    if (report.kind) ++result_.readImages;
    if (report.isImage) {
      result_.singleImage = IsSingleImage(report.path);
      ++told_.images;
      if (report.failure) ++told_.failedImages;
    }
    const int written = report.WrittenCount();
    result_.screens += written;
    result_.skippedScreens += static_cast<int>(report.pictures.size()) - written;
    listener_.Reported(report);
    if (report.failure && IsDiskFull(*report.failure)) {
      result_.diskFull = true;
      throw DiskFullStop{};
    }
  }

  // The counts of the walk; those of the images told when a full disk stopped it.
  ImagesExportResult Result(const std::optional<WalkCounts>& counts) {
    const WalkCounts& taken = counts ? *counts : told_;
    result_.images = taken.images;
    result_.failedImages = taken.failedImages;
    result_.skippedFiles = taken.skippedFiles;
    return result_;
  }

 private:
  // The one path named is a file: its screens go into the output folder itself.
  bool IsSingleImage(const std::string& path) const {
    return run_.paths.size() == 1 && path == ShownNamedPath(run_.paths.front());
  }

  FileSystem& files_;
  const ImagesExport& run_;
  ReportListener& listener_;
  OutputFolders folders_;  // used in turn only
  ImagesExportResult result_;
  WalkCounts told_;
};

}  // namespace

ImagesExportResult ExportImages(FileSystem& files, const ImagesExport& run,
                                ReportListener& listener) {
  CreateFolders(files, run.outputDir);
  ExportTask task(files, run, listener);
  // One image named alone starts no threads.
  const bool oneImage = run.paths.size() == 1 && !HasZipExtension(run.paths.front()) &&
                        !(run.walkFolders && files.IsFolder(run.paths.front()));
  try {
    return task.Result(WalkImages(
        files, {run.paths, run.walkFolders, oneImage ? 1 : run.jobs, run.options.hidden}, task));
  } catch (const DiskFullStop&) {
    return task.Result(std::nullopt);
  }
}

}  // namespace orlaspin
