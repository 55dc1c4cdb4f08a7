#include "cli.h"

#include "arguments.h"
#include "export/collection_export.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "containers/image_reader.h"
#include "listing.h"
#include "progress_line.h"

namespace orlaspin {

namespace {

constexpr const char* kVersion = ORLASPIN_VERSION;  // the project version, set by CMake
constexpr const char* kProgram = "orlaspin-cli: ";

// The text of an error of one image: what the error box would show, the image named when the
// message does not say which file it is about, or when several images are at work.
std::string ImageErrorText(const std::string& imagePath, const Error& error, bool nameImage) {
  const bool isFormatError = dynamic_cast<const ImageFormatError*>(&error) != nullptr;
  const std::string text = WithFullStop(error.Message());
  return nameImage || isFormatError ? imagePath + ": " + text : text;
}

void PrintWarning(std::ostream& err, const std::string& imagePath, const std::string& text) {
  err << kProgram << "warning: " << imagePath << ": " << text << '\n';
}

class PrintingView final : public ExportView {
 public:
  PrintingView(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}
  void Warning(const std::string& imagePath, const std::string& text) override {
    out_.flush();
    PrintWarning(err_, imagePath, text);
  }
  void FileWritten(const std::string& name) override { out_ << name << '\n'; }

 private:
  std::ostream& out_;
  std::ostream& err_;
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
    out_.flush();
    err_ << kProgram << ImageErrorText(imagePath, error, true) << '\n';
  }
  void ImageFinished() override { progress_.Show(++images_, screens_); }

 private:
  std::ostream& out_;
  std::ostream& err_;
  ProgressLine& progress_;
  int images_ = 0;
  int screens_ = 0;
};

std::string Plural(int count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

int RunExport(const CliCommand& command, std::ostream& out, std::ostream& err,
              bool errIsTerminal) {
  FileSystem& files = SystemFileSystem();
  if (command.images.size() == 1) {
    PrintingView view(out, err);
    const std::string& image = command.images.front();
    try {
      const int count = ExportImage(files, image, command.outputDir, command.output, view);
      out << count << " screens exported\n";
      return 0;
    } catch (const Error& error) {
      out.flush();
      err << kProgram << ImageErrorText(image, error, false) << '\n';
      return 1;
    }
  }

  const int imageCount = static_cast<int>(command.images.size());
  ProgressLine progress(err, imageCount, errIsTerminal);
  PrintingImagesView view(out, err, progress);
  const ImagesExportResult result =
      ExportImages(files, command.images, command.outputDir, command.output, view);
  progress.Clear();
  out << result.screens << " screens exported from "
      << Plural(imageCount - result.failedImages, "image");
  if (result.failedImages > 0) out << ", " << result.failedImages << " failed";
  out << '\n';
  return result.failedImages > 0 ? 1 : 0;
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
      out.flush();
      err << kProgram << ImageErrorText(image, error, several) << '\n';
    }
  }
  if (command.json) json.Finish();
  return status;
}

}  // namespace

std::string EscapeCatalogueText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string escaped;
  for (const unsigned char c : text) {
    if (c >= 0x20 && c <= 0x7E && c != '\\') {
      escaped += static_cast<char>(c);
    } else {
      escaped += "\\x";
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  return escaped;
}

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
  switch (command.action) {
    case CliAction::Help: out << kUsage << '\n' << kHelp; return 0;
    case CliAction::Version: out << "orlaspin-cli " << kVersion << '\n'; return 0;
    case CliAction::List: return RunList(command, out, err);
    case CliAction::Export: return RunExport(command, out, err, errIsTerminal);
  }
  return 2;
}

}  // namespace orlaspin
