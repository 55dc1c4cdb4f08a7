#include "export/sheet_export.h"

#include <variant>

#include "containers/image_reader.h"
#include "containers/screen_source.h"
#include "encoders/png_file.h"
#include "export/image_sources.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "screens/screen_format.h"

namespace orlaspin {

namespace {

class SheetRun {
 public:
  SheetRun(FileSystem& files, const SheetExport& run, ImagesExportView& view)
      : files_(files), run_(run), view_(view), sheet_(run.layout) {}

  SheetExportResult Run() {
    ImageSources sources(files_, run_.paths, run_.walkFolders);
    while (const std::optional<SourceItem> item = sources.Next()) {
      if (const auto* warning = std::get_if<SourceWarning>(&*item)) {
        view_.Warning(warning->path, warning->text);
      } else if (const auto* failure = std::get_if<SourceFailure>(&*item)) {
        Failed(failure->path, failure->error);
      } else {
        Draw(std::get<SourceImage>(*item));
      }
      WritePages(sheet_.TakeFullPages(), false);
    }
    WritePages(sheet_.Finish(), true);
    result_.skippedFiles = sources.SkippedCount();
    return result_;
  }

 private:
  void Draw(const SourceImage& image) {
    try {
      const Collection collection = ReadCollection(image.path, image.bytes);
      view_.ImageRead(image.path, collection.kind);
      for (const std::string& warning : collection.warnings) view_.Warning(image.path, warning);
      CollectionScreenSource source(collection, image.bytes);
      sheet_.StartGroup(image.path);
      for (const CollectionFile& file : collection.files) {
        if (!file.isScreen) continue;
        const Picture picture = DecodeScreenFile(file.screenFormat, source.ScreenFile(file),
                                                 ScreenOptionsFor(file, run_.options))
                                    .frames.front();
        sheet_.AddScreen(ShownName(file), picture);
        ++result_.screens;
      }
      ++result_.images;
      view_.ImageFinished();
    } catch (const Error& error) {
      Failed(image.path, error);
    }
  }

  void Failed(const std::string& path, const Error& error) {
    ++result_.images;
    ++result_.failedImages;
    view_.ImageFailed(path, error);
    view_.ImageFinished();
  }

  // The pages taken at the end are the sheet's last; any taken before mean it has several.
  void WritePages(const std::vector<Picture>& pages, bool last) {
    for (const Picture& page : pages) {
      const bool numbered = result_.pages > 0 || !last || pages.size() > 1;
      const std::string path =
          numbered ? SheetPagePath(run_.sheetPath, result_.pages + 1) : run_.sheetPath;
      const std::vector<std::uint8_t> png = EncodePng(std::span(&page, 1), 0);
      const std::span<const std::uint8_t> parts[] = {png};
      if (!WriteNewFile(files_, path, parts)) {
        throw CreateFileError(path, "A file of that name is there already; it is not replaced", 0);
      }
      ++result_.pages;
      view_.FileWritten(path);
    }
  }

  FileSystem& files_;
  const SheetExport& run_;
  ImagesExportView& view_;
  ContactSheet sheet_;
  SheetExportResult result_;
};

}  // namespace

SheetExportResult ExportSheet(FileSystem& files, const SheetExport& run, ImagesExportView& view) {
  return SheetRun(files, run, view).Run();
}

}  // namespace orlaspin
