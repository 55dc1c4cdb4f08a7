// What orlaspin-cli says about itself: the usage lines and --help, drawn from the option table,
// with the prose that the man page shares.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "option_table.h"

namespace orlaspin {

// "Usage: orlaspin-cli list [-r] [--json] IMAGE..." and a line for each other command.
std::string UsageLines();

// The whole of --help.
std::string HelpText();

// The options shown under the command of bit; the options of several commands (or of none),
// shown on their own, for bit 0.
std::vector<const CliOption*> OptionsShownUnder(unsigned bit);

// "-o, --output-dir DIR", "--flash".
std::string OptionLabel(const CliOption& option);

// For an option of some commands only, shown on its own: "export and sheet"; else empty.
std::string CommandsOf(const CliOption& option);

// The help of "--", which is no option of the table.
inline constexpr std::string_view kEndOfOptions =
    "what follows is an IMAGE, also when it begins with -";

// A paragraph of the help that the man page shows under a section of its own, when it has one.
struct HelpNote {
  std::string_view manSection;
  std::string_view text;
};

// What the program does, and the kinds of image it reads (in one function, kept apart so that
// the kinds can come from their table).
std::string_view AboutText();
std::string ImageKindsText();

// Each extension of a bare screen file, with its formats and their sizes: {".scr", "standard 6912
// or 6913, pixels only 6144, ..."}.
struct ScreenFormatLine {
  std::string extension;
  std::string formats;
};
std::vector<ScreenFormatLine> ScreenFormatLines();

// The paragraphs after the options.
std::span<const HelpNote> HelpNotes();

}  // namespace orlaspin
