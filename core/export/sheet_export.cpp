#include "export/sheet_export.h"

#include <algorithm>

#include "containers/image_reader.h"
#include "containers/screen_source.h"
#include "encoders/output_format.h"
#include "export/output_folders.h"
#include "export/image_walk.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "screens/screen_format.h"

namespace orlaspin {

namespace {

// The heading of images that share rows: their folder's path with its "/", "./" for none.
std::string FolderHeading(std::string_view path) {
  const std::size_t folder = path.size() - FileNamePart(path).size();
  return folder > 0 ? std::string(path.substr(0, folder)) : std::string("./");
}

// The format the sheet's name asks for by its extension; PNG for any other name.
const OutputFormatRow& PageFormat(std::string_view path) {
  const OutputFormatRow* row = OutputFormatOfPath(path);
  return row ? *row : OutputFormatRowOf(OutputFormat::Png);
}

class SheetTask final : public ImageTask {
 public:
  SheetTask(FileSystem& files, const SheetExport& run, SheetListener& listener)
      : files_(files),
        run_(run),
        listener_(listener),
        output_(PageFormat(run.sheetPath)),
        sheet_(run.layout) {}

  void Told(const ImageReport& report, const SourceImage* image,
            const Collection* collection) override {
    ImageReport told = report;
    if (collection && !told.failure) {
      try {
        Draw(*image, *collection);
      } catch (const Error& error) {
        told.failure = error;
      }
    }
    if (told.isImage) {
      ++result_.images;
      if (told.failure) ++result_.failedImages;
    }
    listener_.Reported(told);
    WritePages(sheet_.TakeFullPages(), false);
  }

  SheetExportResult Finish(const WalkCounts& counts) {
    WritePages(sheet_.Finish(), true);
    result_.skippedFiles = counts.skippedFiles;
    return result_;
  }

 private:
  void Draw(const SourceImage& image, const Collection& collection) {
    if (!HasScreens(collection)) return;  // no heading, and no end to a shared one
    CollectionScreenSource source(collection, image.bytes);
    const bool shares = HoldsOnePicture(collection);
    const std::string_view name = FileNamePart(image.path);
    const std::string heading = shares ? FolderHeading(image.path) : image.path;
    if (!shares || heading != sharedHeading_) sheet_.StartGroup(heading);
    sharedHeading_ = shares ? heading : std::string();
    for (const CollectionFile& file : collection.files) {
      if (!file.isScreen) continue;
      const Picture picture = DecodeScreenFile(file.screenFormat, source.ScreenFile(file),
                                               ScreenOptionsFor(file, run_.options))
                                  .frames.front();
      sheet_.AddScreen(shares ? std::string(name) : ShownName(file), picture);
      ++result_.screens;
    }
  }

  // The pages taken at the end are the sheet's last; any taken before mean it has several.
  void WritePages(const std::vector<Picture>& pages, bool last) {
    for (const Picture& page : pages) {
      const bool numbered = result_.pages > 0 || !last || pages.size() > 1;
      const std::string path =
          numbered ? SheetPagePath(run_.sheetPath, result_.pages + 1) : run_.sheetPath;
      output_.encode(ScreenPictures{{page}}, 1, file_);
      const std::span<const std::uint8_t> parts[] = {file_};
      if (!WriteNewFile(files_, path, parts)) {
        throw CreateFileError(path, "A file of that name is there already; it is not replaced", 0);
      }
      ++result_.pages;
      listener_.PageWritten(path);
    }
  }

  FileSystem& files_;
  const SheetExport& run_;
  SheetListener& listener_;
  const OutputFormatRow& output_;
  std::vector<std::uint8_t> file_;  // each page's in turn
  ContactSheet sheet_;
  // The heading of the images of one picture being drawn in shared rows; empty when none is.
  std::string sharedHeading_;
  SheetExportResult result_;
};

}  // namespace

SheetExportResult ExportSheet(FileSystem& files, const SheetExport& run, SheetListener& listener) {
  SheetTask task(files, run, listener);
  return task.Finish(WalkImages(files, {run.paths, run.walkFolders, 1, {}, run.filter}, task));
}

}  // namespace orlaspin
