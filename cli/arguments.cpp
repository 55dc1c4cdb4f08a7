#include "arguments.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "option_table.h"

namespace orlaspin {

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

 private:
  std::span<const std::string> args_;
  std::size_t next_ = 0;
};

// The row of the option written as name among those of the commands, or null.
const CliOption* FindOption(std::string_view name, unsigned commands) {
  for (const CliOption& row : CliOptions()) {
    if ((row.commands & commands) &&
        (name == LongForm(row) || (row.shortName && name == ShortForm(row)))) {
      return &row;
    }
  }
  return nullptr;
}

const CliCommandRow* FindCommand(std::string_view name) {
  for (const CliCommandRow& row : CliCommands()) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

std::string CommandNames() {
  std::vector<std::string> names;
  for (const CliCommandRow& row : CliCommands()) names.emplace_back(row.name);
  return JoinedWith(names, "and");
}

// The option's value: after "=", else the next argument when the option takes one.
std::optional<std::string> ValueOf(const CliOption& row, const Option& option,
                                   ArgumentReader& reader) {
  if (option.value || row.valueUse == ValueUse::None) return option.value;
  const std::string* next = reader.Peek();
  if (row.valueUse == ValueUse::Optional) {
    const bool digit =
        next && next->size() == 1 && std::isdigit(static_cast<unsigned char>((*next)[0]));
    return digit ? std::optional(reader.Next()) : std::nullopt;
  }
  if (!next) throw UsageError{std::string(option.name) + " needs a value"};
  return reader.Next();
}

// Animation needs a format that holds more than one picture.
void CheckScreenOptions(const OutputOptions& output) {
  if (OutputFormatRowOf(output.format).animates) return;
  if (output.flash) throw UsageError{"--flash needs --format png: a BMP file cannot blink"};
  if (output.gigascreen == GigascreenView::Flicker) {
    throw UsageError{"--gigascreen flicker needs --format png: a BMP file cannot flicker"};
  }
}

// Every option that the command needs is there.
void CheckRequired(const CliCommandRow& command, const std::vector<const CliOption*>& given) {
  for (const CliOption& row : CliOptions()) {
    if (row.required && (row.commands & command.bit) &&
        std::find(given.begin(), given.end(), &row) == given.end()) {
      const std::string form = row.shortName ? ShortForm(row) : LongForm(row);
      throw UsageError{std::string(command.name) + " needs " + form + " " + ValueText(row)};
    }
  }
}

bool WantsHelp(std::span<const std::string> args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

// An option given instead of a command (--version) stands alone.
CliCommand ParseAlone(const CliOption& row, std::span<const std::string> args) {
  if (args.size() > 1) {
    throw UsageError{args[0] + " takes nothing after it, not \"" + args[1] + "\""};
  }
  CliCommand command;
  row.apply(command, std::nullopt);
  return command;
}

}  // namespace

CliCommand ParseArguments(std::span<const std::string> args) {
  if (WantsHelp(args)) return {};
  if (args.empty()) throw UsageError{"no command given: the commands are " + CommandNames()};
  if (const CliOption* alone = FindOption(args[0], kAlone)) return ParseAlone(*alone, args);
  const CliCommandRow* row = FindCommand(args[0]);
  if (!row) {
    throw UsageError{"no command \"" + args[0] + "\": the commands are " + CommandNames()};
  }

  CliCommand command;
  command.action = row->action;
  std::vector<const CliOption*> given;
  ArgumentReader reader(args.subspan(1));
  bool optionsEnded = false;
  while (!reader.Done()) {
    const std::string& arg = reader.Next();
    if (arg.empty()) throw UsageError{"an IMAGE cannot be an empty name"};
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg.starts_with("-")) {
      const Option option = SplitOption(arg);
      const CliOption* found = FindOption(option.name, row->bit);
      if (!found || (found->valueUse == ValueUse::None && option.value)) {
        throw UsageError{args[0] + " has no option " + arg};
      }
      found->apply(command, ValueOf(*found, option, reader));
      given.push_back(found);
    } else {
      command.images.push_back(arg);
    }
  }
  if (command.images.empty()) throw UsageError{args[0] + " needs an IMAGE"};
  CheckRequired(*row, given);
  CheckScreenOptions(command.output);
  return command;
}

}  // namespace orlaspin
