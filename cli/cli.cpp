#include "cli.h"

#include <zlib.h>

#include <exception>
#include <optional>
#include <variant>

#include "arguments.h"
#include "containers/image_reader.h"
#include "export/gallery_view.h"
#include "export/image_sources.h"
#include "export/images_export.h"
#include "export/sheet_export.h"
#include "help_text.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "listing.h"
#include "progress_line.h"
#include "screens/palette_file.h"

namespace orlaspin {

namespace {

constexpr const char* kVersion = ORLASPIN_VERSION;  // the project version, set by CMake
constexpr const char* kProgram = "orlaspin-cli: ";

// What the error box would show, after the file it concerns: every error met while reading or
// exporting an image names the image, whose own messages ("File not found") do not.
void PrintImageError(std::ostream& out, std::ostream& err, const std::string& imagePath,
                     const Error& error) {
  out.flush();
  err << kProgram << imagePath << ": " << WithFullStop(error.Message()) << '\n';
}

void PrintWarning(std::ostream& err, const std::string& imagePath, const std::string& text) {
  err << kProgram << "warning: " << imagePath << ": " << text << '\n';
}

// Prints the files and errors of an export around the progress line.
class PrintingImagesView final : public ImagesExportView {
 public:
  PrintingImagesView(std::ostream& out, std::ostream& err, ProgressLine& progress)
      : out_(out), err_(err), progress_(progress) {}
  void Warning(const std::string& imagePath, const std::string& text) override {
    progress_.Clear();
    out_.flush();
    PrintWarning(err_, imagePath, text);
    progress_.Show(images_, screens_);
  }
  void FileWritten(const std::string& name) override {
    progress_.Clear();
    out_ << name << '\n';
    ++screens_;
    progress_.Show(images_, screens_);
  }
  void ImageFailed(const std::string& imagePath, const Error& error) override {
    progress_.Clear();
    PrintImageError(out_, err_, imagePath, error);
  }
  void ImageFinished() override { progress_.Show(++images_, screens_); }

 private:
  std::ostream& out_;
  std::ostream& err_;
  ProgressLine& progress_;
  int images_ = 0;
  int screens_ = 0;
};

// The end of a run's summary: ", 2 files of no known kind skipped, 1 failed", each part only
// when its count is not zero.
std::string SkippedAndFailed(int skippedFiles, int failedImages) {
  std::string text;
  if (skippedFiles > 0) text += ", " + CountOf(skippedFiles, "file") + " of no known kind skipped";
  if (failedImages > 0) text += ", " + std::to_string(failedImages) + " failed";
  return text;
}

// The closing line: "N screens exported" for one image named alone, otherwise with the images
// read and what was skipped or failed.
std::string ExportSummary(const ImagesExportResult& result) {
  std::string text = CountOf(result.screens, "screen") + " exported";
  if (!result.singleImage) {
    text += " from " + CountOf(result.images - result.failedImages, "image");
  }
  if (result.skippedScreens > 0) {
    text += ", " + std::to_string(result.skippedScreens) + " skipped as identical";
  }
  if (!result.singleImage) text += SkippedAndFailed(result.skippedFiles, result.failedImages);
  return text;
}

// A run over more than one image shows its progress: several paths, a walk or an archive.
bool MayHoldSeveralImages(const CliCommand& command) {
  return command.images.size() > 1 || command.recursive || HasZipExtension(command.images.front());
}

int RunExport(const CliCommand& command, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  FileSystem& files = SystemFileSystem();
  const ImagesExport run{command.images, command.recursive, command.outputDir, command.output,
                         command.jobs > 0 ? command.jobs : AllCoresJobCount()};
  ProgressLine progress(err, errIsTerminal && MayHoldSeveralImages(command));
  PrintingImagesView printing(out, err, progress);
  GalleryRecorder gallery(printing);
  ImagesExportView& view = command.gallery ? static_cast<ImagesExportView&>(gallery) : printing;
  const ImagesExportResult result = ExportImages(files, run, view);
  progress.Clear();
  if (command.gallery) out << SaveGallery(files, command.outputDir, gallery.Images()) << '\n';
  // One image that failed has said why; a summary of nothing would add nothing.
  if (!(result.singleImage && result.failedImages > 0)) out << ExportSummary(result) << '\n';
  return result.failedImages > 0 ? 1 : 0;
}

// Draws the sheet's pages, named on standard output as they are written.
int RunSheet(const CliCommand& command, std::ostream& out, std::ostream& err) {
  FileSystem& files = SystemFileSystem();
  const std::string_view name = FileNamePart(command.sheetPath);
  if (name.size() < command.sheetPath.size()) {
    CreateFolders(files, command.sheetPath.substr(0, command.sheetPath.size() - name.size()));
  }
  ProgressLine noProgress(err, false);
  PrintingImagesView view(out, err, noProgress);
  const SheetExportResult result = ExportSheet(
      files, {command.images, command.recursive, command.sheetPath, command.output, {}}, view);
  out << CountOf(result.screens, "screen") << " on " << CountOf(result.pages, "page") << " from "
      << CountOf(result.images - result.failedImages, "image");
  out << SkippedAndFailed(result.skippedFiles, result.failedImages) << '\n';
  return result.failedImages > 0 ? 1 : 0;
}

// Lists every image found; with more than one, each listing follows a line with its path.
int RunList(const CliCommand& command, std::ostream& out, std::ostream& err) {
  ImageSources sources(SystemFileSystem(), command.images, command.recursive);
  JsonListing json(out);
  int status = 0;
  bool first = true;
  const auto fail = [&](const std::string& path, const Error& error) {
    status = 1;
    if (command.json) json.AddFailure(path, error.Message());
    PrintImageError(out, err, path, error);
  };
  while (const std::optional<SourceItem> item = sources.Next()) {
    if (const auto* warning = std::get_if<SourceWarning>(&*item)) {
      PrintWarning(err, warning->path, warning->text);
    } else if (const auto* failure = std::get_if<SourceFailure>(&*item)) {
      fail(failure->path, failure->error);
    } else {
      const auto& image = std::get<SourceImage>(*item);
      try {
        const Collection collection = ReadCollection(image.path, image.bytes);
        for (const std::string& warning : collection.warnings) {
          PrintWarning(err, image.path, warning);
        }
        if (command.json) {
          json.AddImage(image.path, collection);
          continue;
        }
        if (command.images.size() > 1 || image.path != command.images.front()) {
          out << (first ? "" : "\n") << image.path << ":\n";
        }
        first = false;
        PrintListing(out, collection);
      } catch (const Error& error) {
        fail(image.path, error);
      }
    }
  }
  if (command.json) json.Finish();
  if (sources.SkippedCount() > 0) {
    out.flush();
    err << kProgram << CountOf(sources.SkippedCount(), "file") << " of no known kind skipped\n";
  }
  return status;
}

int RunCommand(const CliCommand& command, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
  switch (command.action) {
    case CliAction::Help: out << HelpText(); return 0;
    case CliAction::Version:
      out << "orlaspin-cli " << kVersion << " (zlib " << zlibVersion() << ")\n";
      return 0;
    case CliAction::List: return RunList(command, out, err);
    case CliAction::Export: return RunExport(command, out, err, errIsTerminal);
    case CliAction::Sheet: return RunSheet(command, out, err);
  }
  return 2;
}

// The palette the command names, read from its file when it is not a palette's name; one that
// cannot be had is a wrong command line, found before anything is read or written.
void ResolvePalette(CliCommand& command) {
  if (command.paletteName.empty()) return;
  try {
    command.output.palette = PaletteByNameOrFile(SystemFileSystem(), command.paletteName);
  } catch (const Error& error) {
    throw UsageError{"--palette " + command.paletteName + ": " + error.Message()};
  }
}

}  // namespace

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  return RunCli(args, out, err, false);
}

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
  CliCommand command;
  try {
    command = ParseArguments(args);
    ResolvePalette(command);
  } catch (const UsageError& usage) {
    err << kProgram << usage.message << "\nTry 'orlaspin-cli --help'.\n";
    return 2;
  }
  int status = 1;
  try {
    status = RunCommand(command, out, err, errIsTerminal);
  } catch (const Error& error) {
    out.flush();
    err << kProgram << WithFullStop(error.Message()) << '\n';
  } catch (const std::exception& error) {
    out.flush();
    err << kProgram << error.what() << '\n';
  }
  if (!out.flush()) {
    err << kProgram << "the output could not be written\n";
    return 1;
  }
  return status;
}

}  // namespace orlaspin
