#include "option_table.h"

#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <system_error>

#include "containers/image_reader.h"
#include "encoders/output_format.h"
#include "screens/palettes.h"
#include "screens/screen_format.h"
#include "screens/screen_frames.h"

namespace orlaspin {

namespace {

// A value given by name, and what it stands for.
template <typename T>
struct Named {
  std::string_view name;
  T value;
};

constexpr Named<GigascreenView> kGigascreenViews[] = {{"blend", GigascreenView::Blend},
                                                      {"flicker", GigascreenView::Flicker}};
constexpr char kBorderColours[] = "01234567";
constexpr Named<PictureLayout> kLayouts[] = {{"tree", PictureLayout::Tree},
                                             {"flat", PictureLayout::Flat}};

template <typename T, std::size_t N>
std::vector<std::string> NamesOf(const Named<T> (&table)[N]) {
  std::vector<std::string> names;
  for (const Named<T>& row : table) names.emplace_back(row.name);
  return names;
}

template <typename T, std::size_t N>
T ByName(const Named<T> (&table)[N], std::string_view option, const std::string& text) {
  for (const Named<T>& row : table) {
    if (row.name == text) return row.value;
  }
  throw UsageError{"--" + std::string(option) + " is " + JoinedWith(NamesOf(table), "or") +
                   ", not \"" + text + "\""};
}

std::vector<std::string> FormatNames() {
  std::vector<std::string> names;
  for (const OutputFormatRow& row : OutputFormatRows()) names.emplace_back(row.name);
  return names;
}
std::vector<std::string> GigascreenNames() { return NamesOf(kGigascreenViews); }
std::vector<std::string> LayoutNames() { return NamesOf(kLayouts); }
std::vector<std::string> BorderNames() {
  std::vector<std::string> names;
  for (const char colour : std::string_view(kBorderColours)) names.emplace_back(1, colour);
  return names;
}
std::vector<std::string> PaletteNames() {
  std::vector<std::string> names;
  for (const ScreenPalette& palette : NamedPalettes()) names.push_back(palette.name);
  return names;
}

// The extensions of the screen formats whose rows pass keep: ".a, .b or .c".
std::string ScreenExtensionsWhere(bool (*keep)(const ScreenFormatRow&), std::string_view last) {
  std::vector<std::string> extensions;
  for (const ScreenFormatRow& row : ScreenFormatRows()) {
    if (!keep(row)) continue;
    for (const std::string_view extension : row.extensions) {
      if (!extension.empty()) extensions.push_back("." + std::string(extension));
    }
  }
  return JoinedWith(extensions, last);
}

const std::string& GigascreenHelp() {
  static const std::string help =
      "a gigascreen (" +
      ScreenExtensionsWhere(
          [](const ScreenFormatRow& row) { return row.twoScreens == TwoScreens::Always; }, "or") +
      ", or a " +
      ScreenExtensionsWhere(
          [](const ScreenFormatRow& row) { return row.twoScreens == TwoScreens::WhenTheFileSays; },
          "or") +
      " file of two screens) as one picture of its two screens mixed (blend, the default), or "
      "with --format png as both shown in turn, 20 ms each, looping (flicker)";
  return help;
}

const std::string& BorderHelp() {
  static const std::string help =
      "show the screen inside its border, 32 pixels left and right and 24 above and below (before "
      "scaling): of colour N when given, else the colour that a snapshot, a tape's screen block "
      "or a NEX file records, else white (7), the border after reset; " +
      ScreenExtensionsWhere([](const ScreenFormatRow& row) { return row.ownBorder; }, "and") +
      " files show their own border, or none";
  return help;
}

[[noreturn]] void NotInRange(std::string_view option, const std::string& text, int most,
                             int least = 1) {
  throw UsageError{"--" + std::string(option) + " is a whole number from " + std::to_string(least) +
                   " to " + std::to_string(most) + ", not \"" + text + "\""};
}

// A whole number from least to most, as the option's value.
int WholeNumber(std::string_view option, const std::string& text, int most, int least = 1) {
  int number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (error != std::errc() || stop != end || number < least || number > most) {
    NotInRange(option, text, most, least);
  }
  return number;
}

using Value = std::optional<std::string>;

constexpr int kNarrowestThumbnail = 32;
constexpr int kWidestThumbnail = 512;

void SetRecursive(CliCommand& command, const Value&) { command.recursive = true; }
void SetJson(CliCommand& command, const Value&) { command.json = true; }
void SetOutputDir(CliCommand& command, const Value& value) { command.outputDir = *value; }
// A sheet's page is PNG or BMP by its extension; a name of another extension would hold bytes
// other than it says. A name without one is written as PNG.
void SetSheetPath(CliCommand& command, const Value& value) {
  const std::string_view name = FileNamePart(*value);
  const bool hasExtension = name.find('.', 1) != std::string_view::npos;
  if (hasExtension && !OutputFormatOfPath(*value)) {
    std::vector<std::string> extensions;
    for (const OutputFormatRow& row : OutputFormatRows()) extensions.emplace_back(row.extension);
    throw UsageError{"-o " + *value + ": a sheet is written as " + JoinedWith(extensions, "or") +
                     " only"};
  }
  command.sheetPath = *value;
}
void SetFormat(CliCommand& command, const Value& value) {
  const OutputFormatRow* row = FindOutputFormat(*value);
  if (!row)
    throw UsageError{"--format is " + JoinedWith(FormatNames(), "or") + ", not \"" + *value + "\""};
  command.output.format = row->format;
}
void SetScale(CliCommand& command, const Value& value) {
  // One digit: "02" is no scale.
  if (value->size() != 1) NotInRange("scale", *value, kLargestScale);
  command.output.scale = WholeNumber("scale", *value, kLargestScale);
}
void SetFlash(CliCommand& command, const Value&) { command.output.flash = true; }
void SetSkipIdentical(CliCommand& command, const Value&) { command.output.skipIdentical = true; }
void SetPalette(CliCommand& command, const Value& value) { command.paletteName = *value; }
void SetGigascreen(CliCommand& command, const Value& value) {
  command.output.gigascreen = ByName(kGigascreenViews, "gigascreen", *value);
}
void SetBorder(CliCommand& command, const Value& value) {
  command.output.border = {true, std::nullopt};
  if (!value) return;
  const std::size_t colour = std::string_view(kBorderColours).find(*value);
  if (value->size() != 1 || colour == std::string_view::npos) {
    throw UsageError{"--border is a colour from 0 to 7, not \"" + *value + "\""};
  }
  command.output.border.colour = static_cast<std::uint8_t>(colour);
}
void SetGallery(CliCommand& command, const Value&) { command.gallery = true; }
void SetLayout(CliCommand& command, const Value& value) {
  command.layout = ByName(kLayouts, "layout", *value);
}
void SetName(CliCommand& command, const Value& value) {
  try {
    command.pictureName.emplace(*value);
  } catch (const std::invalid_argument& problem) {
    throw UsageError{"--name " + *value + ": " + problem.what()};
  }
}
// A glob of nothing would match no part of a path.
std::string Glob(std::string_view option, const std::string& value) {
  if (value.empty()) throw UsageError{"--" + std::string(option) + " needs a GLOB, not nothing"};
  return value;
}
void SetInclude(CliCommand& command, const Value& value) {
  command.filter.includes.push_back(Glob("include", *value));
}
void SetExclude(CliCommand& command, const Value& value) {
  command.filter.excludes.push_back(Glob("exclude", *value));
}
void SetColumns(CliCommand& command, const Value& value) {
  command.sheetLayout.columns = WholeNumber("columns", *value, 64);
}
// A thumbnail keeps the screen's shape, three quarters as high as wide.
void SetThumbWidth(CliCommand& command, const Value& value) {
  const int width = WholeNumber("thumb-width", *value, kWidestThumbnail, kNarrowestThumbnail);
  command.sheetLayout.thumbnailWidth = width;
  command.sheetLayout.thumbnailHeight = width * 3 / 4;
}
void SetQuiet(CliCommand& command, const Value&) {
  command.verbosity = CliCommand::Verbosity::Quiet;
}
void SetVerbose(CliCommand& command, const Value&) {
  command.verbosity = CliCommand::Verbosity::Verbose;
}
void SetUnpack(CliCommand& command, const Value&) { command.output.hidden.packed = true; }
void SetAllScreens(CliCommand& command, const Value&) { command.output.hidden.bank7 = true; }
void SetJobs(CliCommand& command, const Value& value) {
  command.jobs = WholeNumber("jobs", *value, 256);
}
void SetHelp(CliCommand& command, const Value&) { command.action = CliAction::Help; }
void SetVersion(CliCommand& command, const Value&) { command.action = CliAction::Version; }

constexpr CliCommandRow kCommands[] = {
    {"list", CliAction::List, kList,
     "print one line per file: name, extension (or the container's type word), start, length "
     "and offset, separated by tabs; with several images, each listing follows a line with the "
     "image's name"},
    {"export", CliAction::Export, kExport,
     "write every screen as NAME.bmp (or NAME.png), never replacing a file: a name already taken "
     "gets \"1\" appended until it is free; with several images, each image's screens go into a "
     "folder named after the image (NAME-2, NAME-3, ... when that is taken), below folders for "
     "the folders and archives it was found in"},
    {"sheet", CliAction::Sheet, kSheet,
     "draw every screen as a thumbnail with its name, under a heading per image (bare screens "
     "and snapshots found one after another in a folder share rows under the folder's path), on "
     "PNG pages of at most 1600 x 1200"},
};

using enum ValueUse;
using enum ValueCompletion;

// {long, short, commands, value use, value name, completion, choices, required, help, apply}
const CliOption kOptions[] = {
    {"recursive", 'r', kList | kExport | kSheet, None, "", Nothing, nullptr, false,
     "walk the folders named, with their subfolders; files of no known kind met there or in "
     "archives are skipped and counted",
     SetRecursive},
    {"json", 0, kList, None, "", Nothing, nullptr, false, "print the listings as JSON instead",
     SetJson},
    {"quiet", 'q', kExport | kSheet, None, "", Nothing, nullptr, false, "print nothing but errors",
     SetQuiet},
    {"verbose", 'v', kList | kExport | kSheet, None, "", Nothing, nullptr, false,
     "also name each file skipped (of no known kind, or a link not followed), and list the images "
     "that failed again at the end",
     SetVerbose},
    {"output-dir", 'o', kExport, Required, "DIR", Folder, nullptr, false,
     "the folder to write into (default: the current folder), created with its parents when "
     "missing",
     SetOutputDir},
    {"format", 'f', kExport, Required, "", Nothing, FormatNames, false,
     "the file format (default: bmp)", SetFormat},
    {"scale", 's', kExport, Required, "N", Nothing, nullptr, false,
     "enlarge each pixel to N x N (1 to 8, default 1)", SetScale},
    {"flash", 0, kExport, None, "", Nothing, nullptr, false,
     "with --format png: show FLASH as the Spectrum does, as an animated PNG of two frames, "
     "320 ms each, looping; a screen without FLASH stays a still picture",
     SetFlash},
    {"skip-identical", 0, kExport, None, "", Nothing, nullptr, false,
     "do not write a screen again when a file of one of the names tried for it already holds "
     "exactly the same bytes; the summary counts it as skipped",
     SetSkipIdentical},
    {"palette", 0, kExport | kSheet, Required, "NAME|FILE", File, PaletteNames, false,
     "the colours: orlaspin (the default), fuse, srgb, pulsar, alone, orthodox or skoolkit, or a "
     "palette file (see below); ULA+ screens and Next screens with a palette keep their own "
     "colours",
     SetPalette},
    {"gigascreen", 0, kExport | kSheet, Required, "", Nothing, GigascreenNames, false,
     GigascreenHelp(), SetGigascreen},
    {"border", 0, kExport | kSheet, Optional, "[0-7]", Nothing, BorderNames, false, BorderHelp(),
     SetBorder},
    {"layout", 0, kExport, Required, "", Nothing, LayoutNames, false,
     "tree (the default): each image's pictures in a folder named after it, below folders for "
     "the folders and archives it was found in; flat: every picture in the output folder "
     "itself, its name prefixed by its image's (GAME-SCREEN.bmp)",
     SetLayout},
    {"name", 0, kExport, Required, "TEMPLATE", Nothing, nullptr, false,
     "name each picture by TEMPLATE, its fields {image}, {name}, {ext}, {kind}, {start} and "
     "{index} filled in (see the README); the name is still made safe and never replaces a "
     "file",
     SetName},
    {"include", 0, kList | kExport | kSheet, Required, "GLOB", Nothing, nullptr, false,
     "take only the images and files whose path matches GLOB (repeatable; a file's path is its "
     "image's, \"/\" and its name): * any characters but /, ? one, [a-z] one of a set, letters "
     "in either case; a GLOB without / matches any one part of the path",
     SetInclude},
    {"exclude", 0, kList | kExport | kSheet, Required, "GLOB", Nothing, nullptr, false,
     "leave out the images, folders, archives and files whose path matches GLOB, as for "
     "--include (repeatable; a folder or archive left out is not read)",
     SetExclude},
    {"gallery", 0, kExport, None, "", Nothing, nullptr, false,
     "also write index.html in the output folder: every picture with its name and what it is, "
     "grouped by image, for a browser",
     SetGallery},
    {"unpack", 0, kList | kExport, None, "", Nothing, nullptr, false,
     "also try every file or tape block that is not a screen with each unpacker: a stream that "
     "ends at the file's last byte and unpacks to a screen's size is a screen (list shows how it "
     "was found: \"ZX0 -> standard\"), and so are the first 6912 bytes of a CODE file loaded at "
     "16384 that is longer, or all of one of 6144 bytes (the pixels alone)",
     SetUnpack},
    {"all-screens", 0, kExport, None, "", Nothing, nullptr, false,
     "also write the screen in RAM bank 7 of a 128K snapshot that shows bank 5, as NAME-bank7, "
     "unless it is blank or the same",
     SetAllScreens},
    {"jobs", 'j', kExport, Required, "N", Nothing, nullptr, false,
     "convert N images at once (1 to 256; default: one per core); the output is the same "
     "whatever N is",
     SetJobs},
    {"output", 'o', kSheet, Required, "FILE.png|FILE.bmp", File, nullptr, true,
     "the page to write, as PNG or BMP by its extension; FILE-001.png, FILE-002.png, ... when the "
     "screens need more than one; an existing file is never replaced",
     SetSheetPath},
    {"columns", 0, kSheet, Required, "N", Nothing, nullptr, false,
     "at most N thumbnails to a row (1 to 64; default: as many as fit in 1600 pixels)", SetColumns},
    {"thumb-width", 0, kSheet, Required, "N", Nothing, nullptr, false,
     "thumbnails N pixels wide and three quarters as high (32 to 512, default 128)", SetThumbWidth},
    {"help", 'h', kAlone | kList | kExport | kSheet, None, "", Nothing, nullptr, false,
     "show this help", SetHelp},
    {"version", 0, kAlone, None, "", Nothing, nullptr, false,
     "show the version of orlaspin-cli and of the zlib it uses", SetVersion},
};

}  // namespace

std::span<const CliCommandRow> CliCommands() { return kCommands; }
std::span<const CliOption> CliOptions() { return kOptions; }

std::string LongForm(const CliOption& option) { return "--" + std::string(option.longName); }

std::string ShortForm(const CliOption& option) {
  return option.shortName ? std::string{'-', option.shortName} : std::string();
}

std::string ValueText(const CliOption& option) {
  if (!option.valueName.empty() || !option.choices) return std::string(option.valueName);
  std::string text;
  for (const std::string& choice : option.choices()) text += (text.empty() ? "" : "|") + choice;
  return text;
}

std::string JoinedWith(const std::vector<std::string>& words, std::string_view last) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i + 1 == words.size() && i > 0) {
      text.append(" ").append(last).append(" ");
    } else if (i > 0) {
      text += ", ";
    }
    text += words[i];
  }
  return text;
}

}  // namespace orlaspin
