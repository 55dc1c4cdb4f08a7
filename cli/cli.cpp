#include "cli.h"

#include <exception>

#include "arguments.h"
#include "containers/image_reader.h"
#include "export/collection_export.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "listing.h"
#include "progress_line.h"

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

// "N screens exported", with the screens found already present when there are any.
std::string ExportedCount(int written, int skipped) {
  std::string text = CountOf(written, "screen") + " exported";
  if (skipped > 0) text += ", " + std::to_string(skipped) + " skipped as identical";
  return text;
}

class PrintingView final : public ExportView {
 public:
  PrintingView(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  void Warning(const std::string& imagePath, const std::string& text) override {
    out_.flush();
    PrintWarning(err_, imagePath, text);
  }
  void FileWritten(const std::string& name) override { out_ << name << '\n'; }
  void FileSkipped(const std::string&) override { ++skipped_; }
  int Skipped() const { return skipped_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  int skipped_ = 0;
};

// Prints the files and errors of a run over several images around the progress line.
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

int ExportOneImage(FileSystem& files, const CliCommand& command, std::ostream& out,
                   std::ostream& err) {
  PrintingView view(out, err);
  const std::string& image = command.images.front();
  try {
    const int count = ExportImage(files, image, command.outputDir, command.output, view);
    out << ExportedCount(count, view.Skipped()) << '\n';
    return 0;
  } catch (const Error& error) {
    PrintImageError(out, err, image, error);
    return 1;
  }
}

int ExportSeveralImages(FileSystem& files, const CliCommand& command, std::ostream& out,
                        std::ostream& err, bool errIsTerminal) {
  const int imageCount = static_cast<int>(command.images.size());
  ProgressLine progress(err, imageCount, errIsTerminal);
  PrintingImagesView view(out, err, progress);
  const ImagesExportResult result =
      ExportImages(files, command.images, command.outputDir, command.output, view);
  progress.Clear();
  out << CountOf(result.screens, "screen") << " exported from "
      << CountOf(imageCount - result.failedImages, "image");
  if (result.skippedScreens > 0) out << ", " << result.skippedScreens << " skipped as identical";
  if (result.failedImages > 0) out << ", " << result.failedImages << " failed";
  out << '\n';
  return result.failedImages > 0 ? 1 : 0;
}

int RunExport(const CliCommand& command, std::ostream& out, std::ostream& err, bool errIsTerminal) {
  FileSystem& files = SystemFileSystem();
  // One rule for one image and for many: the output folder is made before anything is read.
  CreateFolders(files, command.outputDir);
  if (command.images.size() == 1) return ExportOneImage(files, command, out, err);
  return ExportSeveralImages(files, command, out, err, errIsTerminal);
}

int RunList(const CliCommand& command, std::ostream& out, std::ostream& err) {
  FileSystem& files = SystemFileSystem();
  const bool several = command.images.size() > 1;
  JsonListing json(out);
  int status = 0;
  for (std::size_t i = 0; i < command.images.size(); ++i) {
    const std::string& image = command.images[i];
    try {
      const LoadedImage loaded = LoadImage(files, image);
      for (const std::string& warning : loaded.collection.warnings) {
        PrintWarning(err, image, warning);
      }
      if (command.json) {
        json.AddImage(image, loaded.collection);
        continue;
      }
      if (several) out << (i > 0 ? "\n" : "") << image << ":\n";
      PrintListing(out, loaded.collection);
    } catch (const Error& error) {
      status = 1;
      if (command.json) json.AddFailure(image, error.Message());
      PrintImageError(out, err, image, error);
    }
  }
  if (command.json) json.Finish();
  return status;
}

int RunCommand(const CliCommand& command, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
  switch (command.action) {
    case CliAction::Help: out << kUsage << '\n' << kHelp; return 0;
    case CliAction::Version: out << "orlaspin-cli " << kVersion << '\n'; return 0;
    case CliAction::List: return RunList(command, out, err);
    case CliAction::Export: return RunExport(command, out, err, errIsTerminal);
  }
  return 2;
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
  } catch (const UsageError& usage) {
    if (!usage.message.empty()) err << kProgram << usage.message << '\n';
    err << kUsage;
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
