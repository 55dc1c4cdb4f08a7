#include "man_page.h"

#include <string_view>

#include "help_text.h"

namespace orlaspin {

namespace {

// Examples from the README, each with what it does.
constexpr std::string_view kExamples[][2] = {
    {"orlaspin-cli list GAMES.scl", "List what a disk or archive holds."},
    {"orlaspin-cli list --json *.trd *.scl > listing.json", "The same, as JSON for a script."},
    {"orlaspin-cli export GAME.trd", "Write GAME's screens as BMP files in the current folder."},
    {"orlaspin-cli export GAME.trd -f png -s 2 --flash -o web/game",
     "PNG files twice the size, FLASH blinking, in web/game."},
    {"orlaspin-cli export -r ~/zx/collection --format png --scale 2 -o ~/zx/png --gallery",
     "A whole folder tree with its ZIP archives, and a page showing every picture."},
    {"orlaspin-cli export --palette mine.pal --border 1 TITLE.scr",
     "In colours of your own, inside a blue border."},
    {"orlaspin-cli sheet -r ~/zx/collection -o ~/zx/overview.png",
     "Every screen of a collection as thumbnails on contact sheets."},
};

// A line of text as roff shows it literally: backslashes and hyphens escaped, never a request.
std::string Roff(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  return (out.starts_with('.') || out.starts_with('\'') ? "\\&" : "") + out;
}

std::string Paragraph(std::string_view text) { return ".PP\n" + Roff(text) + '\n'; }

std::string OptionEntry(const CliOption& option, bool withCommands) {
  std::string label = "\\fB" + Roff(option.shortName ? ShortForm(option) + ", " : "") +
                      Roff(LongForm(option)) + "\\fR";
  if (option.valueUse != ValueUse::None) label += " \\fI" + Roff(ValueText(option)) + "\\fR";
  std::string help(option.help);
  if (const std::string commands = CommandsOf(option); withCommands && !commands.empty()) {
    help = commands + ": " + help;
  }
  return ".TP\n" + label + '\n' + Roff(help) + '\n';
}

std::string Synopsis() {
  // The usage lines without their "Usage: " and the indent that aligns them under it.
  std::string text = ".SH SYNOPSIS\n.nf\n";
  const std::string usage = UsageLines();
  for (std::size_t start = 0; start < usage.size();) {
    const std::size_t end = usage.find('\n', start);
    text += Roff(usage.substr(start + 7, end - start - 7)) + '\n';
    start = end + 1;
  }
  return text + ".fi\n";
}

std::string CommandsSection() {
  std::string text = ".SH COMMANDS\n";
  for (const CliCommandRow& command : CliCommands()) {
    text +=
        ".TP\n\\fB" + Roff(command.name) + "\\fR \\fIIMAGE\\fR...\n" + Roff(command.help) + '\n';
    if (!OptionsShownUnder(command.bit).empty()) text += ".RS\n";
    for (const CliOption* option : OptionsShownUnder(command.bit)) {
      text += OptionEntry(*option, false);
    }
    if (!OptionsShownUnder(command.bit).empty()) text += ".RE\n";
  }
  return text;
}

std::string OptionsSection() {
  std::string text = ".SH OPTIONS\n";
  for (const CliOption* option : OptionsShownUnder(0)) text += OptionEntry(*option, true);
  return text + ".TP\n\\fB\\-\\-\\fR\n" + Roff(kEndOfOptions) + '\n';
}

std::string FilesSection() {
  std::string text = ".SH FILES\n" + Paragraph(ImageKindsText());
  text += Paragraph("Bare screen files, told apart by extension and size (in bytes):");
  for (const ScreenFormatLine& line : ScreenFormatLines()) {
    text += ".TP\n.B " + Roff(line.extension) + '\n' + Roff(line.formats) + '\n';
  }
  return text;
}

std::string NotesAndExamples() {
  std::string text;
  for (const HelpNote& note : HelpNotes()) {
    if (!note.manSection.empty()) text += ".SH " + std::string(note.manSection) + '\n';
    text += Paragraph(note.text);
  }
  text += ".SH EXAMPLES\n";
  for (const auto& [command, what] : kExamples) {
    text += Paragraph(what) + ".RS\n.nf\n" + Roff(command) + "\n.fi\n.RE\n";
  }
  return text;
}

}  // namespace

std::string ManPage() {
  return ".TH ORLASPIN\\-CLI 1 \"\" \"orlaspin " ORLASPIN_VERSION
         "\" \"User Commands\"\n"
         ".SH NAME\norlaspin\\-cli \\- list ZX Spectrum disk images, tapes and snapshots and "
         "export their screens as pictures\n" +
         Synopsis() + ".SH DESCRIPTION\n" + Paragraph(AboutText()) + CommandsSection() +
         OptionsSection() + FilesSection() + NotesAndExamples();
}

}  // namespace orlaspin
