// The commands and options of orlaspin-cli, one row each. The parser, the usage lines, --help,
// the man page and the shell completions are all drawn from these rows.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"

namespace orlaspin {

// The commands an option belongs to, as bits; kAlone: given instead of a command (--version).
enum CommandBit : unsigned { kList = 1, kExport = 2, kSheet = 4, kAlone = 8 };

struct CliCommandRow {
  std::string_view name;
  CliAction action;
  CommandBit bit;
  std::string_view help;
};

// How an option takes its value: none, always (after "=", attached to a short option or as the
// next argument), or maybe (after "=", or as the next argument when that is a single digit).
enum class ValueUse { None, Required, Optional };

// What a shell completes an option's value with besides its choices: a file, a folder, nothing.
enum class ValueCompletion { Nothing, File, Folder };

struct CliOption {
  std::string_view longName;  // without its "--"
  char shortName;             // 0: none
  unsigned commands;          // CommandBit values
  ValueUse valueUse;
  std::string_view valueName;  // shown after the option: "DIR", "NAME|FILE"; empty: the choices
  ValueCompletion completion;
  std::vector<std::string> (*choices)();  // the values it takes by name; null: any
  bool required;                          // every command of the row needs it
  std::string_view help;
  // Sets the option in the command; value is absent for a switch and an optional value left out.
  // Raises UsageError for a value it cannot take.
  void (*apply)(CliCommand& command, const std::optional<std::string>& value);
};

std::span<const CliCommandRow> CliCommands();
std::span<const CliOption> CliOptions();

// "--output-dir", "-o"; the short form is empty when the option has none.
std::string LongForm(const CliOption& option);
std::string ShortForm(const CliOption& option);

// What follows the option in the usage and the help: "DIR", "bmp|png", "[0-7]"; empty for a
// switch.
std::string ValueText(const CliOption& option);

// "a, b and c" and "a, b or c".
std::string JoinedWith(const std::vector<std::string>& words, std::string_view last);

}  // namespace orlaspin
