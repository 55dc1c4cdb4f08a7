#include "export/images_export.h"

#include <algorithm>
#include <optional>

#include "containers/container_kinds.h"
#include "containers/image_reader.h"
#include "containers/screen_source.h"
#include "export/file_names.h"
#include "export/output_folders.h"
#include "io/disk_file.h"
#include "text/zx_characters.h"

namespace orlaspin {

namespace {

// Keeps in the report what the export of one image tells. Pictures named anew are told with their
// files as listed (shown), found by their place among the files exported.
class ReportingView final : public ExportView {
 public:
  explicit ReportingView(ImageReport& report, const Collection* shown = nullptr,
                         const Collection* exported = nullptr)
      : report_(report), shown_(shown), exported_(exported) {}
  void Warn(const std::string& /*imagePath*/, const Warning& warning) override {
    report_.warnings.push_back(warning);
  }
  void FileWritten(const std::string& /*name*/) override { alreadyPresent_ = false; }
  void FileSkipped(const std::string& /*name*/) override { alreadyPresent_ = true; }
  void ScreenSaved(const CollectionFile& file, const std::string& name) override {
    const CollectionFile& told =
        shown_ ? shown_->files[static_cast<std::size_t>(&file - exported_->files.data())] : file;
    report_.pictures.push_back({name, told, alreadyPresent_});
  }

 private:
  ImageReport& report_;
  const Collection* shown_;
  const Collection* exported_;
  bool alreadyPresent_ = false;
};

// Raised from a report of a full disk: nothing more can be written, so the walk stops there.
struct DiskFullStop {};

// Where the last part of a path inside the output folder begins.
std::size_t LastPartStart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == path.npos ? 0 : slash + 1;
}

// The path's part before its last, "" for none.
std::string ParentPart(std::string_view path) {
  const std::size_t last = LastPartStart(path);
  return std::string(path.substr(0, last > 0 ? last - 1 : 0));
}

// The fields of each screen of the collection that a picture's name is made from.
std::vector<PictureFields> FieldsOfScreens(const Collection& collection,
                                           const std::string& imageName,
                                           const OutputOptions& options) {
  std::vector<PictureFields> fields;
  for (const CollectionFile& file : collection.files) {
    if (!file.isScreen) continue;
    const auto cells = ListingCells(file);
    const bool letter = file.extension && !file.revealed;
    fields.push_back({imageName, OutputStem(file, options), letter ? ZxText(cells[1]) : cells[1],
                      std::string(KindName(collection.kind)), cells[2],
                      static_cast<int>(fields.size()) + 1});
  }
  return fields;
}

class ExportTask final : public ImageTask {
 public:
  ExportTask(FileSystem& files, const ImagesExport& run, ReportListener& listener)
      : files_(files), run_(run), listener_(listener), folders_(files, run.outputDir) {}

  // The folder for the image's screens; for an image that is one picture, which gets no folder
  // of its own, the path of its picture without the extension; in the flat layout, the image's
  // name, unique among the images of the run.
  std::string Place(const SourceImage& image, const Collection& collection) override {
    const bool flat = run_.layout == PictureLayout::Flat;
    if (!HasScreens(collection) || (IsSingleImage(image.path) && !flat)) return {};
    const std::string_view name = image.name;
    const std::string_view extension =
        name.substr(std::min(name.size(), FileStem(name).size() + 1));
    if (flat) return folders_.PicturePathFor(0, std::span(image.folders).last(1), extension);
    if (HoldsOnePicture(collection)) {
      return folders_.PicturePathFor(image.namedIndex, image.folders, extension);
    }
    return folders_.FolderFor(image.namedIndex, image.folders, extension);
  }

  void Work(const SourceImage& image, const Collection& collection, const std::string& place,
            ImageReport& report) override {
    if (run_.pictureName || run_.layout == PictureLayout::Flat) {
      ExportNamed(image, collection, place, report);
      return;
    }
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

  // Every picture named by the template or the layout's default name, put into the place (the
  // tree's folder of an image of several pictures) or beside it.
  void ExportNamed(const SourceImage& image, const Collection& collection, const std::string& place,
                   ImageReport& report) {
    const bool onePicture = HoldsOnePicture(collection);
    const bool intoPlace = run_.layout == PictureLayout::Tree && !onePicture;
    const std::string imageName =
        place.empty() ? MakeSafeName(image.folders.back()) : place.substr(LastPartStart(place));
    const std::vector<PictureFields> fields = FieldsOfScreens(collection, imageName, run_.options);
    Collection named = collection;
    auto next = fields.begin();
    for (CollectionFile& file : named.files) {
      if (!file.isScreen) continue;
      file.name = run_.pictureName ? run_.pictureName->NameFor(*next)
                                   : DefaultPictureName(run_.layout, onePicture, *next);
      file.nameIsFileName = true;
      ++next;
    }
    ReportingView view(report, &collection, &named);
    CollectionScreenSource source(named, image.bytes);
    ExportCollection(files_, named, source, image.path, run_.outputDir,
                     intoPlace ? place : ParentPart(place), run_.options, view);
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
        files,
        {run.paths, run.walkFolders, oneImage ? 1 : run.jobs, run.options.hidden, run.filter},
        task));
  } catch (const DiskFullStop&) {
    return task.Result(std::nullopt);
  }
}

}  // namespace orlaspin
