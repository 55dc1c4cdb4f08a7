#include "export/images_export.h"

#include <algorithm>

#include "containers/screen_source.h"
#include "export/output_folders.h"
#include "io/disk_file.h"

namespace orlaspin {

namespace {

// Keeps in the report what the export of one image tells.
class ReportingView final : public ExportView {
 public:
  explicit ReportingView(ImageReport& report) : report_(report) {}
  void Warning(const std::string& /*imagePath*/, const std::string& text) override {
    report_.warnings.push_back(text);
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

bool HasScreens(const Collection& collection) {
  return std::any_of(collection.files.begin(), collection.files.end(),
                     [](const CollectionFile& file) { return file.isScreen; });
}

class ExportTask final : public ImageTask {
 public:
  ExportTask(FileSystem& files, const ImagesExport& run, ReportListener& listener)
      : files_(files), run_(run), listener_(listener), folders_(files, run.outputDir) {}

  std::string Place(const SourceImage& image, const Collection& collection) override {
    if (!HasScreens(collection) || IsSingleImage(image.path)) return {};
    return folders_.FolderFor(image.namedIndex, image.folders);
  }

  void Work(const SourceImage& image, const Collection& collection, const std::string& folder,
            ImageReport& report) override {
    ReportingView view(report);
    CollectionScreenSource source(collection, image.bytes);
    ExportCollection(files_, collection, source, image.path, run_.outputDir, folder, run_.options,
                     view);
  }

  void Told(const ImageReport& report, const SourceImage*, const Collection*) override {
    if (report.isImage) result_.singleImage = IsSingleImage(report.path);
    const int written = report.WrittenCount();
    result_.screens += written;
    result_.skippedScreens += static_cast<int>(report.pictures.size()) - written;
    listener_.Reported(report);
  }

  ImagesExportResult Result(const WalkCounts& counts) {
    result_.images = counts.images;
    result_.failedImages = counts.failedImages;
    result_.skippedFiles = counts.skippedFiles;
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
};

}  // namespace

ImagesExportResult ExportImages(FileSystem& files, const ImagesExport& run,
                                ReportListener& listener) {
  CreateFolders(files, run.outputDir);
  ExportTask task(files, run, listener);
  // One image named alone starts no threads.
  const bool oneImage = run.paths.size() == 1 && !HasZipExtension(run.paths.front()) &&
                        !(run.walkFolders && files.IsFolder(run.paths.front()));
  const WalkCounts counts = WalkImages(
      files, {run.paths, run.walkFolders, oneImage ? 1 : run.jobs, run.options.hidden}, task);
  return task.Result(counts);
}

}  // namespace orlaspin
