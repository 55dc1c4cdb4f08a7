#include "help_text.h"

#include <algorithm>
#include <bit>
#include <sstream>

#include "containers/container_kinds.h"
#include "screens/screen_format.h"

namespace orlaspin {

namespace {

constexpr std::size_t kWidth = 96;
constexpr std::size_t kHelpColumn = 29;  // where an option's help begins

constexpr std::string_view kAbout =
    "Lists the files of ZX Spectrum disk images, tapes, snapshots and archives and converts "
    "every screen (a 6912-byte file, or a screen file of another format) into a picture, as BMP "
    "or PNG: 256 x 192 pixels for a standard screen.";

constexpr HelpNote kNotes[] = {
    {"PALETTE FILES",
     "A palette file is text: the 16 colours as #RRGGBB, one a line, in the Spectrum's order "
     "(black, blue, red, magenta, green, cyan, yellow, white, then the same eight bright). Blank "
     "lines are skipped, and \"#\" followed by a space, a tab or the line's end begins a comment, "
     "on a line of its own or after a colour. A Next palette file (.npl, or a .pal that is not "
     "text) colours the Next's screens that carry no palette (.nxi, .sl2, .slr, NEX files): 256 "
     "one-byte colours RRRGGGBB, 512 two-byte ones (bit 0 of the second byte the blue's lowest "
     "bit), or those and one byte more (.npl); the other screens keep the default colours."},
    {"NOTES",
     "A picture that the scale would make wider or taller than 4096 pixels is enlarged as far as "
     "fits, with a warning."},
    {"",
     "Each file is written under a temporary name and renamed when complete, so an interrupted "
     "export leaves no partial file. Warnings (a wrong checksum, a screen past the end of its "
     "image, a damaged archive member) go to standard error; a run over several images on a "
     "terminal shows a progress line there."},
    {"EXIT STATUS",
     "Exit status: 0 done, 1 an error (with several images: any of them failed, the others are "
     "still done), 2 a wrong command line."},
};

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  while (!text.empty()) {
    const std::size_t space = text.find(' ');
    words.emplace_back(text.substr(0, space));
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  }
  return words;
}

// The words from column `column` on, lines breaking before kWidth and going on at indent.
std::string Wrapped(const std::vector<std::string>& words, std::size_t column, std::size_t indent) {
  std::string out;
  std::size_t at = column;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0 && at + 1 + words[i].size() > kWidth) {
      out += '\n' + std::string(indent, ' ');
      at = indent;
    } else if (i > 0) {
      out += ' ';
      ++at;
    }
    out += words[i];
    at += words[i].size();
  }
  return out + '\n';
}

std::string Wrapped(std::string_view text, std::size_t column, std::size_t indent) {
  return Wrapped(Words(text), column, indent);
}

// A label, then its help at kHelpColumn (on the next line when the label reaches it).
std::string Entry(const std::string& label, std::string_view help) {
  if (label.size() + 1 >= kHelpColumn) {
    return label + '\n' + std::string(kHelpColumn, ' ') + Wrapped(help, kHelpColumn, kHelpColumn);
  }
  return label + std::string(kHelpColumn - label.size(), ' ') +
         Wrapped(help, kHelpColumn, kHelpColumn);
}

// "[-j N]", or "-o FILE.png|FILE.bmp" for an option the command needs.
std::string UsageToken(const CliOption& option) {
  std::string token = option.shortName ? ShortForm(option) : LongForm(option);
  if (option.valueUse != ValueUse::None) token += ' ' + ValueText(option);
  return option.required ? token : '[' + token + ']';
}

std::string UsageLine(const CliCommandRow& command) {
  const std::string start = "orlaspin-cli " + std::string(command.name) + ' ';
  std::vector<std::string> tokens;
  for (const CliOption& option : CliOptions()) {
    if ((option.commands & command.bit) && !(option.commands & kAlone)) {
      tokens.push_back(UsageToken(option));
    }
  }
  tokens.emplace_back("IMAGE...");
  const std::size_t column = std::string_view("Usage: ").size() + start.size();
  return start + Wrapped(tokens, column, column);
}

std::string SectionOfOptions(unsigned bit, std::size_t indent) {
  std::string text;
  for (const CliOption* option : OptionsShownUnder(bit)) {
    std::string help(option->help);
    if (const std::string commands = CommandsOf(*option); bit == 0 && !commands.empty()) {
      help = commands + ": " + help;
    }
    text += Entry(std::string(indent, ' ') + OptionLabel(*option), help);
  }
  return text;
}

// The screen formats as their table lists them, a line each.
std::string ScreenFormatsText() {
  return "Bare screen files, told apart by extension and size (in bytes), and their pictures:\n" +
         ScreenFormatList();
}

}  // namespace

std::vector<const CliOption*> OptionsShownUnder(unsigned bit) {
  std::vector<const CliOption*> shown;
  for (const CliOption& option : CliOptions()) {
    const unsigned commands = option.commands & ~kAlone;
    const bool alone = std::popcount(commands) == 1;
    if (bit ? (alone && commands == bit) : !alone) shown.push_back(&option);
  }
  return shown;
}

std::string OptionLabel(const CliOption& option) {
  std::string label =
      option.shortName ? ShortForm(option) + ", " + LongForm(option) : LongForm(option);
  if (option.valueUse != ValueUse::None) label += ' ' + ValueText(option);
  return label;
}

std::string CommandsOf(const CliOption& option) {
  std::vector<std::string> names;
  bool all = true;
  for (const CliCommandRow& command : CliCommands()) {
    if (option.commands & command.bit) {
      names.emplace_back(command.name);
    } else {
      all = false;
    }
  }
  return all || names.empty() ? std::string() : JoinedWith(names, "and");
}

std::string_view AboutText() { return kAbout; }

std::string ImageKindsText() {
  std::string kinds;
  for (const ContainerKind& row : ContainerKinds()) {
    std::string extensions;
    for (const std::string_view pattern : row.extensions) {
      std::string shown = "." + std::string(pattern);
      std::replace(shown.begin(), shown.end(), '?', 'X');
      extensions += (extensions.empty() ? "" : ", ") + shown;
    }
    const std::string family = row.family.empty() ? "" : " " + std::string(row.family);
    kinds += (kinds.empty() ? "" : ", ") + std::string(row.noun) + family + " (" + extensions + ")";
  }
  return "An IMAGE is a " + kinds +
         ", told apart by its extension, else by its contents; bare screen files of more formats "
         "are below, and a snapshot gives the screen on display. A ZIP archive (.zip) is read "
         "member by member, archives inside it too, and a gzip file (.gz) as the file inside; "
         "\"-\" reads standard input; with -r, a folder is walked with everything below it.";
}

// The screen formats' list, a line each, its cells apart by runs of spaces.
std::vector<ScreenFormatLine> ScreenFormatLines() {
  std::vector<ScreenFormatLine> lines;
  std::istringstream list(ScreenFormatList());
  for (std::string line; std::getline(list, line);) {
    std::vector<std::string> cells;
    for (std::size_t at = line.find_first_not_of(' '); at != std::string::npos;) {
      const std::size_t end = line.find("  ", at);
      cells.push_back(line.substr(at, end == std::string::npos ? end : end - at));
      at = end == std::string::npos ? end : line.find_first_not_of(' ', end);
    }
    if (cells.empty()) continue;
    ScreenFormatLine entry{cells.front(), ""};
    for (std::size_t i = 1; i < cells.size(); ++i) entry.formats += (i > 1 ? ", " : "") + cells[i];
    lines.push_back(std::move(entry));
  }
  return lines;
}

std::span<const HelpNote> HelpNotes() { return kNotes; }

std::string UsageLines() {
  std::string text;
  for (const CliCommandRow& command : CliCommands()) {
    text += (text.empty() ? "Usage: " : "       ") + UsageLine(command);
  }
  std::string alone;
  for (const CliOption& option : CliOptions()) {
    if (option.commands & kAlone) alone += (alone.empty() ? "" : " | ") + LongForm(option);
  }
  return text + "       orlaspin-cli " + alone + '\n';
}

std::string HelpText() {
  std::string text = UsageLines() + '\n' + Wrapped(AboutText(), 0, 0) + '\n' +
                     Wrapped(ImageKindsText(), 0, 0) + '\n' + ScreenFormatsText() + "\nCommands:\n";
  for (const CliCommandRow& command : CliCommands()) {
    text += Entry("  " + std::string(command.name) + " IMAGE...", command.help);
    text += SectionOfOptions(command.bit, 4);
  }
  text += "\nOptions:\n" + SectionOfOptions(0, 2);
  text += Entry("  --", kEndOfOptions);
  for (const HelpNote& note : HelpNotes()) text += '\n' + Wrapped(note.text, 0, 0);
  return text;
}

}  // namespace orlaspin
