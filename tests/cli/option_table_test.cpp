// The option table against what is drawn from it: every row is in --help, the man page and the
// README, and the parser takes it where its commands are and nowhere else.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>

#include "arguments.h"
#include "cli.h"
#include "man_page.h"
#include "option_table.h"
#include "screens/palettes.h"
#include "screens/screen_format.h"

namespace orlaspin {
namespace {

using Args = std::vector<std::string>;

std::string Help() {
  std::ostringstream out;
  std::ostringstream err;
  RunCli(Args{"--help"}, out, err);
  return out.str();
}

// The option's forms with a value it takes: "--scale=1", "-s1", and "--scale 1" as two words.
std::vector<Args> Written(const CliOption& option) {
  std::string value;
  if (option.valueUse != ValueUse::None) value = option.choices ? option.choices().front() : "1";
  std::vector<Args> forms = {{LongForm(option) + (value.empty() ? "" : "=" + value)}};
  if (option.shortName) forms.push_back({ShortForm(option) + value});
  if (!value.empty()) forms.push_back({LongForm(option), value});
  return forms;
}

std::vector<std::string> Choices(const CliOption& option) {
  return option.choices ? option.choices() : std::vector<std::string>{};
}

// Another option of the command is written the same way (-o is export's --output-dir and
// sheet's --output).
bool SharesAForm(const CliCommandRow& command, const CliOption& option) {
  for (const CliOption& row : CliOptions()) {
    if ((row.commands & command.bit) &&
        (row.longName == option.longName || (row.shortName && row.shortName == option.shortName))) {
      return true;
    }
  }
  return false;
}

// What the parser finds wrong with the command line; empty when nothing.
std::string ProblemWith(const Args& args) {
  try {
    ParseArguments(args);
    return "";
  } catch (const UsageError& error) {
    return error.message;
  }
}

// The command line of command with the option, what the command needs besides, and an image.
Args CommandLine(const CliCommandRow& command, const Args& option) {
  Args args = {std::string(command.name)};
  for (const CliOption& row : CliOptions()) {
    if (row.required && (row.commands & command.bit)) args.insert(args.end(), {LongForm(row), "1"});
  }
  args.insert(args.end(), option.begin(), option.end());
  args.push_back("x.trd");
  return args;
}

// Each option has an entry of its own, not a mention in the usage lines: in the help a line
// that starts with its forms, in the man page a tagged paragraph.
TEST(OptionTable, EveryOptionHasAnEntryInTheHelpAndTheManPage) {
  const std::string help = Help();
  const std::string man = ManPage();
  for (const CliOption& option : CliOptions()) {
    SCOPED_TRACE(LongForm(option));
    const std::string forms =
        option.shortName ? ShortForm(option) + ", " + LongForm(option) : LongForm(option);
    std::string roff;
    for (const char c : forms) roff += c == '-' ? std::string("\\-") : std::string(1, c);
    const std::size_t line = help.find("\n  " + forms);
    const std::size_t indented = help.find("\n    " + forms);
    EXPECT_TRUE(line != std::string::npos || indented != std::string::npos);
    EXPECT_NE(man.find(".TP\n\\fB" + roff), std::string::npos);
    for (const std::string& choice : Choices(option))
      EXPECT_NE(help.find(choice), std::string::npos);
  }
}

TEST(OptionTable, TheParserTakesEachOptionInItsCommandsAndNoOther) {
  for (const CliOption& option : CliOptions()) {
    for (const Args& written : Written(option)) {
      SCOPED_TRACE(::testing::PrintToString(written));
      if (option.commands & kAlone) {
        EXPECT_EQ(ProblemWith(written), "");
      }
      for (const CliCommandRow& command : CliCommands()) {
        const std::string problem = ProblemWith(CommandLine(command, written));
        const bool unknown = problem.find(" has no option ") != std::string::npos;
        if (option.commands & command.bit) {
          // Some options ask for another (--flash for --format png); none is unknown.
          EXPECT_FALSE(unknown || problem.find("needs a value") != std::string::npos) << problem;
        } else if (!SharesAForm(command, option)) {
          EXPECT_TRUE(unknown) << command.name << ": " << problem;
        }
      }
    }
  }
}

TEST(OptionTable, TheHelpNamesEveryPaletteAndScreenFileExtension) {
  const std::string help = Help();
  for (const ScreenPalette& palette : NamedPalettes()) {
    EXPECT_NE(help.find(palette.name), std::string::npos) << palette.name;
  }
  for (const ScreenFormatRow& row : ScreenFormatRows()) {
    for (const std::string_view extension : row.extensions) {
      if (extension.empty()) continue;
      const std::string shown = std::string(".").append(extension);
      EXPECT_NE(help.find(shown), std::string::npos) << shown;
    }
  }
}

TEST(OptionTable, TheReadmeMentionsEveryLongOption) {
  std::ifstream file(ORLASPIN_README);
  ASSERT_TRUE(file);
  const std::string readme((std::istreambuf_iterator<char>(file)), {});
  for (const CliOption& option : CliOptions()) {
    // As a word of its own: --output is not --output-dir.
    bool found = false;
    for (std::size_t at = readme.find(LongForm(option)); at != std::string::npos && !found;
         at = readme.find(LongForm(option), at + 1)) {
      const char next = readme[at + LongForm(option).size()];
      found = !(std::isalnum(static_cast<unsigned char>(next)) || next == '-');
    }
    EXPECT_TRUE(found) << LongForm(option);
  }
}

}  // namespace
}  // namespace orlaspin
