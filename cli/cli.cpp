#include "cli.h"

#include <zlib.h>

#include <exception>

#include "arguments.h"
#include "containers/image_reader.h"
#include "export/gallery_view.h"
#include "export/image_sources.h"
#include "export/image_walk.h"
#include "export/images_export.h"
#include "export/sheet_export.h"
#include "help_text.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "io/problems.h"
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

void PrintWarning(std::ostream& err, const std::string& imagePath, const Warning& warning) {
  err << kProgram << "warning: " << imagePath << ": " << WarningText(warning) << '\n';
}

using Verbosity = CliCommand::Verbosity;

// What --verbose adds: each file skipped as the walk passes it, the failed images at the end.
class VerboseNotes {
 public:
  VerboseNotes(std::ostream& out, std::ostream& err, Verbosity verbosity)
      : out_(out), err_(err), verbose_(verbosity == Verbosity::Verbose) {}

  void Note(const ImageReport& report) {
    if (!verbose_) return;
    if (!report.skippedBecause.empty()) {
      out_.flush();
      err_ << kProgram << "skipped: " << report.path << ": " << report.skippedBecause << '\n';
    }
    if (report.filesLeftOut > 0) {
      out_.flush();
      err_ << kProgram << "skipped: " << report.path << ": " << CountOf(report.filesLeftOut, "file")
           << " in it left out by --include or --exclude\n";
    }
    if (report.failure) failed_.push_back(report.path);
  }

  void Finish() {
    out_.flush();
    for (const std::string& path : failed_) err_ << kProgram << "failed: " << path << '\n';
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool verbose_;
  std::vector<std::string> failed_;
};

// Prints each image's report around the progress line: its warnings, its files, its failure.
// Quiet, it prints its errors alone.
class ReportPrinter final : public SheetListener {
 public:
  ReportPrinter(std::ostream& out, std::ostream& err, ProgressLine& progress, Verbosity verbosity)
      : out_(out),
        err_(err),
        progress_(progress),
        quiet_(verbosity == Verbosity::Quiet),
        notes_(out, err, verbosity) {}

  // Each line goes out between the progress line's clearing and showing, as it comes.
  void Reported(const ImageReport& report) override {
    notes_.Note(report);
    if (quiet_) {
      if (report.failure) PrintImageError(out_, err_, report.path, *report.failure);
      return;
    }
    for (const Warning& warning : report.warnings) {
      progress_.Clear();
      out_.flush();
      PrintWarning(err_, report.path, warning);
      progress_.Show(images_, screens_);
    }
    for (const SavedPicture& picture : report.pictures) {
      if (picture.alreadyPresent) continue;
      progress_.Clear();
      out_ << picture.name << '\n';
      progress_.Show(images_, ++screens_);
    }
    if (report.failure) {
      progress_.Clear();
      PrintImageError(out_, err_, report.path, *report.failure);
    }
    if (report.isImage) progress_.Show(++images_, screens_);
  }

  void PageWritten(const std::string& path) override {
    if (!quiet_) out_ << path << '\n';
  }

  // The run's last line, unless quiet; then the failed images again, when verbose.
  void Finish(const std::string& summary) {
    if (!quiet_ && !summary.empty()) out_ << summary << '\n';
    notes_.Finish();
  }

 private:
  std::ostream& out_;
  std::ostream& err_;
  ProgressLine& progress_;
  bool quiet_;
  VerboseNotes notes_;
  int images_ = 0;
  int screens_ = 0;
};

// Prints each report and keeps the gallery's images.
class GalleryPrinter final : public ReportListener {
 public:
  explicit GalleryPrinter(ReportPrinter& printer) : printer_(printer) {}
  void Reported(const ImageReport& report) override {
    gallery_.Add(report);
    printer_.Reported(report);
  }
  const GalleryRecorder& Gallery() const { return gallery_; }

 private:
  ReportPrinter& printer_;
  GalleryRecorder gallery_;
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
    text += " from " + CountOf(result.readImages, "image");
  }
  if (result.skippedScreens > 0) {
    text += ", " + std::to_string(result.skippedScreens) + " skipped as identical";
  }
  if (!result.singleImage) text += SkippedAndFailed(result.skippedFiles, result.failedImages);
  if (result.diskFull) text += "; the disk is full, the images after it were not tried";
  return text;
}

// A run over more than one image shows its progress: several paths, a walk or an archive.
bool MayHoldSeveralImages(const CliCommand& command) {
  return command.images.size() > 1 || command.recursive || HasZipExtension(command.images.front());
}

int RunExport(const CliCommand& command, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  FileSystem& files = SystemFileSystem();
  const ImagesExport run{command.images,
                         command.recursive,
                         command.outputDir,
                         command.output,
                         command.jobs > 0 ? command.jobs : AllCoresJobCount(),
                         command.layout,
                         command.pictureName,
                         command.filter};
  const bool quiet = command.verbosity == Verbosity::Quiet;
  ProgressLine progress(err, errIsTerminal && !quiet && MayHoldSeveralImages(command));
  ReportPrinter printer(out, err, progress, command.verbosity);
  GalleryPrinter gallery(printer);
  ReportListener& listener = command.gallery ? static_cast<ReportListener&>(gallery) : printer;
  const ImagesExportResult result = ExportImages(files, run, listener);
  progress.Clear();
  if (command.gallery && !result.diskFull) {
    const std::string page = SaveGallery(files, command.outputDir, gallery.Gallery());
    if (!quiet) out << page << '\n';
  }
  // One image that failed has said why; a summary of nothing would add nothing.
  const bool summarised = !(result.singleImage && result.failedImages > 0);
  printer.Finish(summarised ? ExportSummary(result) : "");
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
  ReportPrinter printer(out, err, noProgress, command.verbosity);
  const SheetExportResult result =
      ExportSheet(files,
                  {command.images, command.recursive, command.sheetPath, command.output,
                   command.sheetLayout, command.filter},
                  printer);
  printer.Finish(CountOf(result.screens, "screen") + " on " + CountOf(result.pages, "page") +
                 " from " + CountOf(result.images - result.failedImages, "image") +
                 SkippedAndFailed(result.skippedFiles, result.failedImages));
  return result.failedImages > 0 ? 1 : 0;
}

// Lists every image found; with more than one, each listing follows a line with its path.
class ListTask final : public ImageTask {
 public:
  ListTask(const CliCommand& command, std::ostream& out, std::ostream& err)
      : command_(command), out_(out), err_(err), json_(out), notes_(out, err, command.verbosity) {}

  void Told(const ImageReport& report, const SourceImage*, const Collection* collection) override {
    notes_.Note(report);
    for (const Warning& warning : report.warnings) PrintWarning(err_, report.path, warning);
    if (report.failure) {
      if (command_.json) json_.AddFailure(report.path, report.failure->Message());
      PrintImageError(out_, err_, report.path, *report.failure);
    } else if (collection && command_.json) {
      json_.AddImage(report.path, *collection);
    } else if (collection) {
      if (command_.images.size() > 1 || report.path != ShownNamedPath(command_.images.front())) {
        out_ << (first_ ? "" : "\n") << report.path << ":\n";
      }
      first_ = false;
      PrintListing(out_, *collection);
    }
  }

  void Finish() {
    if (command_.json) json_.Finish();
    notes_.Finish();
  }

 private:
  const CliCommand& command_;
  std::ostream& out_;
  std::ostream& err_;
  JsonListing json_;
  VerboseNotes notes_;
  bool first_ = true;
};

int RunList(const CliCommand& command, std::ostream& out, std::ostream& err) {
  ListTask task(command, out, err);
  const WalkCounts counts = WalkImages(
      SystemFileSystem(),
      {command.images, command.recursive, 1, command.output.hidden, command.filter}, task);
  task.Finish();
  if (counts.skippedFiles > 0) {
    out.flush();
    err << kProgram << CountOf(counts.skippedFiles, "file") << " of no known kind skipped\n";
  }
  return counts.failedImages > 0 ? 1 : 0;
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
