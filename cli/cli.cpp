#include "cli.h"

#include <array>
#include <vector>

#include "batch_export.h"
#include "catalogue.h"
#include "disk_file.h"
#include "errors.h"
#include "program_state.h"

namespace orlaspin {

namespace {

constexpr const char* kVersion = "1.0.0";

constexpr const char* kUsage =
    "Usage: orlaspin-cli list IMAGE\n"
    "       orlaspin-cli export IMAGE [--output-dir DIR]\n"
    "       orlaspin-cli --help | --version\n";

constexpr const char* kHelp =
    "Lists the catalogue of a TR-DOS disk image (.trd) and converts every 6912-byte file\n"
    "(a ZX Spectrum screen) into a 256 x 192 BMP file.\n"
    "\n"
    "Commands:\n"
    "  list IMAGE                 print one line per catalogue entry: name, extension, start,\n"
    "                             length and offset, separated by tabs\n"
    "  export IMAGE               write every screen as NAME.bmp, never replacing a file\n"
    "    --output-dir DIR         the folder to write into (default: the current folder)\n"
    "\n"
    "Options:\n"
    "  --help                     show this help\n"
    "  --version                  show the version\n";

class ListingView final : public CatalogueView {
 public:
  void SetCell(int column, int row, std::string_view text) override {
    rows_[row][column] = std::string(text);
  }
  void SetRowCount(int) override {}

  void Print(std::ostream& out, int entryCount) const {
    for (int row = 0; row < entryCount; ++row) {
      for (int column = 0; column < kGridColumns; ++column) {
        if (column > 0) out << '\t';
        out << EscapeCatalogueText(rows_[row][column]);
      }
      out << '\n';
    }
  }

 private:
  std::array<std::array<std::string, kGridColumns>, kCatalogueSlots> rows_;
};

class PrintingBatchView final : public BatchView {
 public:
  explicit PrintingBatchView(std::ostream& out) : out_(out) {}
  void RepaintPreviewNow() override {}
  void FileWritten(const std::string& fileName) override { out_ << fileName << '\n'; }
  void ShowCompletion(const std::string&, int count) override {
    out_ << count << " screens exported\n";
  }

 private:
  std::ostream& out_;
};

struct Command {
  std::string name;
  std::string image;
  std::string outputDir;
};

class UsageError {};

Command ParseCommand(std::span<const std::string> args) {
  if (args.empty()) throw UsageError{};
  Command command{args[0], {}, {}};
  if (command.name != "list" && command.name != "export") throw UsageError{};
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (command.name == "export" && args[i] == "--output-dir" && i + 1 < args.size()) {
      command.outputDir = args[++i];
    } else if (command.image.empty() && !args[i].empty() && !args[i].starts_with("--")) {
      command.image = args[i];
    } else {
      throw UsageError{};
    }
  }
  if (command.image.empty()) throw UsageError{};
  return command;
}

void LoadImage(ProgramState& state, FileSystem& files, CatalogueView& view,
               const std::string& path) {
  // The window ignores a missing path; on the command line it is an error.
  if (!files.IsFile(path)) throw IoError(kFileNotFound);
  state.ImagePath = path;
  LoadCatalogue(state, files, view, path);
}

void RunCommand(const Command& command, std::ostream& out) {
  FileSystem& files = SystemFileSystem();
  ProgramState state;
  state.ZxPalette = kZxPaletteColours;
  ListingView listing;
  LoadImage(state, files, listing, command.image);
  if (command.name == "list") {
    listing.Print(out, state.EntryCount);
    return;
  }
  PrintingBatchView view(out);
  ExportScreens(state, files, view, command.outputDir);
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
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage << '\n' << kHelp;
    return 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    out << "orlaspin-cli " << kVersion << '\n';
    return 0;
  }
  try {
    RunCommand(ParseCommand(args), out);
    return 0;
  } catch (const UsageError&) {
    err << kUsage;
    return 2;
  } catch (const Error& error) {
    out.flush();
    err << "orlaspin-cli: " << WithFullStop(error.Message()) << '\n';
    return 1;
  }
}

}  // namespace orlaspin
