#include "arguments.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <optional>
#include <system_error>
#include <string_view>

#include "io/disk_file.h"
#include "screens/palette_file.h"
#include "screens/screen_format.h"
#include "screens/screen_frames.h"

namespace orlaspin {

const char* const kUsage =
    "Usage: orlaspin-cli list [-r] [--json] IMAGE...\n"
    "       orlaspin-cli export [-r] [-j N] [-o DIR] [-f bmp|png] [-s N] [--flash]\n"
    "                           [--skip-identical] [--gallery] [--palette NAME|FILE]\n"
    "                           [--gigascreen blend|flicker] [--border [0-7]] IMAGE...\n"
    "       orlaspin-cli sheet [-r] [--palette NAME|FILE] -o FILE.png IMAGE...\n"
    "       orlaspin-cli --help | --version\n";

// The help around the list of screen formats, which their table gives.
const char* const kHelpIntro =
    "Lists the files of ZX Spectrum disk images, tapes, snapshots and archives and converts\n"
    "every screen (a 6912-byte file, or a screen file of another format) into a picture, as BMP\n"
    "or PNG: 256 x 192 pixels for a standard screen.\n"
    "\n"
    "An IMAGE is a TR-DOS disk image (.trd, .fdi, .udi, .td0), a +3 disk (.dsk), an SCL archive\n"
    "(.scl), a Hobeta file (.$C, .!C and the like), a bare screen file (below), a tape (.tap,\n"
    ".tzx, .pzx) or a snapshot (.sna, .z80, .szx: the screen on display, in the Timex mode or\n"
    "with the ULA+ palette the snapshot records); a file of another extension is recognised by\n"
    "its contents (a file of 6912 bytes is a standard screen). A ZIP archive (.zip) is read\n"
    "member by member, archives inside it too; with -r, a folder is walked with everything\n"
    "below it.\n"
    "\n"
    "Bare screen files, told apart by extension and size (in bytes), and their pictures:\n";

const char* const kHelpCommands =
    "\n"
    "Commands:\n"
    "  list IMAGE...              print one line per file: name, extension (or the container's\n"
    "                             type word), start, length and offset, separated by tabs;\n"
    "                             with several images, each listing follows a line with the\n"
    "                             image's name\n"
    "    --json                   print the listings as JSON instead\n"
    "  export IMAGE...            write every screen as NAME.bmp (or NAME.png), never replacing a\n"
    "                             file: a name already taken gets \"1\" appended until it is "
    "free;\n"
    "                             with several images, each image's screens go into a folder\n"
    "                             named after the image (NAME-2, NAME-3, ... when that is taken),\n"
    "                             below folders for the folders and archives it was found in\n"
    "    -o, --output-dir DIR     the folder to write into (default: the current folder),\n"
    "                             created with its parents when missing\n"
    "    -f, --format bmp|png     the file format (default: bmp)\n"
    "    -s, --scale N            enlarge each pixel to N x N (1 to 8, default 1)\n"
    "    --flash                  with --format png: show FLASH as the Spectrum does, as an\n"
    "                             animated PNG of two frames, 320 ms each, looping; a screen\n"
    "                             without FLASH stays a still picture\n"
    "    --skip-identical         do not write a screen again when a file of one of the names\n"
    "                             tried for it already holds exactly the same bytes; the summary\n"
    "                             counts it as skipped\n"
    "    --palette NAME|FILE      the colours: orlaspin (the default), fuse, srgb, pulsar, alone,\n"
    "                             orthodox or skoolkit, or a palette file (see below); ULA+\n"
    "                             screens keep their own colours\n"
    "    --gigascreen blend|flicker\n"
    "                             a gigascreen (.img, chr$ of 18-byte cells) as one picture of\n"
    "                             its two screens mixed (blend, the default), or with --format\n"
    "                             png as both shown in turn, 20 ms each, looping (flicker)\n"
    "    --border [0-7]           show the screen inside its border, 32 pixels left and right\n"
    "                             and 24 above and below (before scaling): of colour N when\n"
    "                             given, else the colour that a snapshot or a tape's screen block\n"
    "                             records, else white (7), the border after reset; .bsc and\n"
    "                             .bmc4 files show their own border, chr$ pictures none\n"
    "    --gallery                also write index.html in the output folder: every picture with\n"
    "                             its name and what it is, grouped by image, for a browser\n"
    "    -j, --jobs N             convert N images at once (1 to 256; default: one per core);\n"
    "                             the output is the same whatever N is\n"
    "  sheet IMAGE...             draw every screen as a thumbnail with its name, under a heading\n"
    "                             per image, on PNG pages of at most 1600 x 1200\n"
    "    -o, --output FILE.png    the page to write; FILE-001.png, FILE-002.png, ... when the\n"
    "                             screens need more than one; an existing file is never replaced\n"
    "\n"
    "Options:\n"
    "  -r, --recursive            walk the folders named, with their subfolders; files of no\n"
    "                             known kind met there or in archives are skipped and counted\n"
    "  -h, --help                 show this help\n"
    "  --version                  show the version\n"
    "  --                         what follows is an IMAGE, also when it begins with -\n"
    "\n"
    "A palette file is text: the 16 colours as #RRGGBB, one a line, in the Spectrum's order\n"
    "(black, blue, red, magenta, green, cyan, yellow, white, then the same eight bright).\n"
    "Blank lines are skipped, and \"#\" followed by a space, a tab or the line's end begins a\n"
    "comment, on a line of its own or after a colour.\n"
    "\n"
    "A picture that the scale would make wider or taller than 4096 pixels is enlarged as far as\n"
    "fits, with a warning.\n"
    "\n"
    "Each file is written under a temporary name and renamed when complete, so an interrupted\n"
    "export leaves no partial file. Warnings (a wrong checksum, a screen past the end of its\n"
    "image, a damaged archive member) go to standard error; a run over several images on a\n"
    "terminal shows a progress line there.\n"
    "Exit status: 0 done, 1 an error (with several images: any of them failed, the others are\n"
    "still done), 2 a wrong command line.\n";

const std::string kHelp = kHelpIntro + ScreenFormatList() + kHelpCommands;

namespace {

struct Option {
  std::string_view name;
  std::optional<std::string> value;  // from --name=value
};

// "--name=value" split at its first "=", "-xVALUE" after its letter ("-j4", "-opictures", as
// getopt reads them); anything else is a name alone.
Option SplitOption(const std::string& arg) {
  if (arg.size() > 2 && arg[1] != '-' && arg[2] != '=') {
    return {std::string_view(arg).substr(0, 2), arg.substr(2)};
  }
  const std::size_t equals = arg.find('=');
  if (equals == std::string::npos) return {arg, std::nullopt};
  return {std::string_view(arg).substr(0, equals), arg.substr(equals + 1)};
}

class ArgumentReader {
 public:
  explicit ArgumentReader(std::span<const std::string> args) : args_(args) {}
  bool Done() const { return next_ >= args_.size(); }
  const std::string& Next() { return args_[next_++]; }
  // The next argument, left unread; nothing when all are read.
  const std::string* Peek() const { return Done() ? nullptr : &args_[next_]; }
  // The value of an option: after "=", or the next argument.
  std::string ValueOf(const Option& option) {
    if (option.value) return *option.value;
    if (Done()) throw UsageError{std::string(option.name) + " needs a value"};
    return Next();
  }

 private:
  std::span<const std::string> args_;
  std::size_t next_ = 0;
};

OutputFormat ParseFormat(const std::string& text) {
  if (const OutputFormatRow* row = FindOutputFormat(text)) return row->format;
  throw UsageError{"--format is bmp or png, not \"" + text + "\""};
}

int ParseJobs(const std::string& text) {
  constexpr int kMostJobs = 256;
  int jobs = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, jobs);
  if (error != std::errc() || stop != end || jobs < 1 || jobs > kMostJobs) {
    throw UsageError{"--jobs is a whole number from 1 to 256, not \"" + text + "\""};
  }
  return jobs;
}

int ParseScale(const std::string& text) {
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '0' + kLargestScale) return text[0] - '0';
  throw UsageError{"--scale is a whole number from 1 to 8, not \"" + text + "\""};
}

// A palette's name, else a palette file's path; anything else is a usage error.
ScreenPalette ParsePalette(const std::string& text) {
  try {
    return PaletteByNameOrFile(SystemFileSystem(), text);
  } catch (const Error& error) {
    throw UsageError{"--palette " + text + ": " + error.Message()};
  }
}

GigascreenView ParseGigascreen(const std::string& text) {
  if (text == "blend") return GigascreenView::Blend;
  if (text == "flicker") return GigascreenView::Flicker;
  throw UsageError{"--gigascreen is blend or flicker, not \"" + text + "\""};
}

std::uint8_t ParseBorderColour(const std::string& text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] <= '7') {
    return static_cast<std::uint8_t>(text[0] - '0');
  }
  throw UsageError{"--border is a colour from 0 to 7, not \"" + text + "\""};
}

// --border takes its colour after "=", or as the next argument when that is one digit.
BorderChoice ReadBorder(const Option& option, ArgumentReader& reader) {
  BorderChoice border{true, std::nullopt};
  const std::string* next = reader.Peek();
  if (option.value) {
    border.colour = ParseBorderColour(*option.value);
  } else if (next && next->size() == 1 && std::isdigit(static_cast<unsigned char>((*next)[0]))) {
    border.colour = ParseBorderColour(reader.Next());
  }
  return border;
}

// Reads an option of export that decides how screens look; false when the option is another.
bool ReadScreenOption(OutputOptions& output, const Option& option, ArgumentReader& reader) {
  if (option.name == "--palette") {
    output.palette = ParsePalette(reader.ValueOf(option));
  } else if (option.name == "--gigascreen") {
    output.gigascreen = ParseGigascreen(reader.ValueOf(option));
  } else if (option.name == "--border") {
    output.border = ReadBorder(option, reader);
  } else {
    return false;
  }
  return true;
}

// Animation needs a format that holds more than one picture.
void CheckScreenOptions(const OutputOptions& output) {
  if (OutputFormatRowOf(output.format).animates) return;
  if (output.flash) throw UsageError{"--flash needs --format png: a BMP file cannot blink"};
  if (output.gigascreen == GigascreenView::Flicker) {
    throw UsageError{"--gigascreen flicker needs --format png: a BMP file cannot flicker"};
  }
}

bool WantsHelp(std::span<const std::string> args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

// Reads an option of the command; false when the command has no such option.
bool ReadOption(CliCommand& command, const Option& option, ArgumentReader& reader) {
  const bool exporting = command.action == CliAction::Export;
  const bool drawing = command.action == CliAction::Sheet;
  const auto named = [&option](std::string_view longName, std::string_view shortName = {}) {
    return option.name == longName || (!shortName.empty() && option.name == shortName);
  };
  if ((exporting || drawing) && ReadScreenOption(command.output, option, reader)) return true;
  if (exporting && named("--output-dir", "-o")) {
    command.outputDir = reader.ValueOf(option);
  } else if (exporting && named("--format", "-f")) {
    command.output.format = ParseFormat(reader.ValueOf(option));
  } else if (exporting && named("--scale", "-s")) {
    command.output.scale = ParseScale(reader.ValueOf(option));
  } else if (exporting && named("--flash") && !option.value) {
    command.output.flash = true;
  } else if (exporting && named("--skip-identical") && !option.value) {
    command.output.skipIdentical = true;
  } else if (drawing && named("--output", "-o")) {
    command.sheetPath = reader.ValueOf(option);
  } else if (exporting && named("--gallery") && !option.value) {
    command.gallery = true;
  } else if (exporting && named("--jobs", "-j")) {
    command.jobs = ParseJobs(reader.ValueOf(option));
  } else if (named("--recursive", "-r") && !option.value) {
    command.recursive = true;
  } else if (command.action == CliAction::List && named("--json") && !option.value) {
    command.json = true;
  } else {
    return false;
  }
  return true;
}

}  // namespace

CliCommand ParseArguments(std::span<const std::string> args) {
  if (WantsHelp(args)) return {};
  if (args.size() == 1 && args[0] == "--version") {
    CliCommand version;
    version.action = CliAction::Version;
    return version;
  }
  if (args.empty()) throw UsageError{};

  CliCommand command;
  if (args[0] == "list") {
    command.action = CliAction::List;
  } else if (args[0] == "export") {
    command.action = CliAction::Export;
  } else if (args[0] == "sheet") {
    command.action = CliAction::Sheet;
  } else {
    throw UsageError{"no command \"" + args[0] + "\": the commands are list, export and sheet"};
  }
  ArgumentReader reader(args.subspan(1));
  bool optionsEnded = false;
  while (!reader.Done()) {
    const std::string& arg = reader.Next();
    if (arg.empty()) throw UsageError{"an IMAGE cannot be an empty name"};
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.starts_with("-")) {
      if (!ReadOption(command, SplitOption(arg), reader)) {
        throw UsageError{args[0] + " has no option " + arg};
      }
    } else {
      command.images.push_back(arg);
    }
  }
  if (command.images.empty()) throw UsageError{};
  if (command.action == CliAction::Sheet && command.sheetPath.empty()) {
    throw UsageError{"sheet needs -o FILE.png, the file to draw the sheet in"};
  }
  CheckScreenOptions(command.output);
  return command;
}

}  // namespace orlaspin
