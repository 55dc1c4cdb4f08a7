#include <string_view>
#include <vector>

#include "man_page.h"
#include "option_table.h"

namespace orlaspin {

namespace {

// The option's forms: "-o" (when it has one) and "--output-dir".
std::vector<std::string> Forms(const CliOption& option) {
  std::vector<std::string> forms;
  if (option.shortName) forms.push_back(ShortForm(option));
  forms.push_back(LongForm(option));
  return forms;
}

std::string Spaced(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

std::vector<std::string> Choices(const CliOption& option) {
  return option.choices ? option.choices() : std::vector<std::string>{};
}

// A value the shell may also complete as a file name: a palette file, or an IMAGE after an
// option whose value may be left out.
bool TakesFileNames(const CliOption& option) {
  return option.completion == ValueCompletion::File || option.valueUse == ValueUse::Optional;
}

// In single quotes for any of the three shells.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The help's first clause, short enough for a menu: "the folder to write into".
std::string Summary(std::string_view help) {
  std::string_view clause = help.substr(0, help.find_first_of(",;:("));
  while (clause.ends_with(' ')) clause.remove_suffix(1);
  return std::string(clause);
}

// Options that come before any command, and each command's.
std::vector<const CliOption*> OptionsOf(unsigned bit) {
  std::vector<const CliOption*> options;
  for (const CliOption& option : CliOptions()) {
    if (option.commands & bit) options.push_back(&option);
  }
  return options;
}

std::vector<std::string> FormsOf(const std::vector<const CliOption*>& options) {
  std::vector<std::string> forms;
  for (const CliOption* option : options) {
    for (const std::string& form : Forms(*option)) forms.push_back(form);
  }
  return forms;
}

std::string BashValueCase(const CliCommandRow& command, const CliOption& option) {
  std::string patterns;
  for (const std::string& form : Forms(option)) {
    if (!patterns.empty()) patterns += '|';
    patterns += Quoted(std::string(command.name) + ' ' + form);
  }
  std::string reply;
  if (option.choices) reply += "$(compgen -W " + Quoted(Spaced(Choices(option))) + " -- \"$cur\") ";
  if (option.completion == ValueCompletion::Folder) reply += "$(compgen -d -- \"$cur\") ";
  if (TakesFileNames(option)) reply += "$(compgen -f -- \"$cur\") ";
  return "    " + patterns + ") COMPREPLY=(" + reply + "); return ;;\n";
}

std::string ZshSpec(const CliOption& option) {
  const std::string description = '[' + Summary(option.help) + ']';
  std::string value;
  if (option.valueUse != ValueUse::None) {
    std::string action = option.choices ? "(" + Spaced(Choices(option)) + ")" : " ";
    if (option.completion == ValueCompletion::Folder) action = "_files -/";
    if (option.completion == ValueCompletion::File && option.choices) {
      action = "{_alternative \"names:name:" + action + "\" \"files:file:_files\"}";
    } else if (option.completion == ValueCompletion::File) {
      action = "_files";
    }
    value = (option.valueUse == ValueUse::Optional ? "::value:" : ":value:") + action;
  }
  const std::string longSpec = LongForm(option) + (option.valueUse == ValueUse::None ? "" : "=");
  if (!option.shortName) return "      " + Quoted(longSpec + description + value) + " \\\n";
  const std::string shortSpec = ShortForm(option) + (option.valueUse == ValueUse::None ? "" : "+");
  return "      " + Quoted("(" + ShortForm(option) + ' ' + LongForm(option) + ")") + "{" +
         shortSpec + ',' + longSpec + "}" + Quoted(description + value) + " \\\n";
}

std::string FishLine(const std::string& condition, const CliOption& option) {
  std::string line = "complete -c orlaspin-cli -n " + Quoted(condition);
  if (option.shortName) line += std::string(" -s ") + option.shortName;
  line += " -l " + std::string(option.longName);
  if (option.valueUse == ValueUse::Required) line += TakesFileNames(option) ? " -r -F" : " -x";
  if (option.completion == ValueCompletion::Folder) {
    line += " -a '(__fish_complete_directories)'";
  } else if (option.choices && option.valueUse == ValueUse::Required) {
    line += " -a " + Quoted(Spaced(Choices(option)));
  }
  return line + " -d " + Quoted(Summary(option.help)) + '\n';
}

}  // namespace

std::string BashCompletion() {
  std::string commands;
  for (const CliCommandRow& command : CliCommands()) {
    if (!commands.empty()) commands += '|';
    commands += command.name;
  }
  std::string values;
  std::string options;
  for (const CliCommandRow& command : CliCommands()) {
    for (const CliOption* option : OptionsOf(command.bit)) {
      if (option->valueUse != ValueUse::None) values += BashValueCase(command, *option);
    }
    options += "    " + Quoted(std::string(command.name)) + ") COMPREPLY=($(compgen -W " +
               Quoted(Spaced(FormsOf(OptionsOf(command.bit)))) + " -- \"$cur\")); return ;;\n";
  }
  std::vector<std::string> first;
  for (const CliCommandRow& command : CliCommands()) first.emplace_back(command.name);
  for (const std::string& form : FormsOf(OptionsOf(kAlone))) first.push_back(form);
  return "# bash completion for orlaspin-cli\n"
         "_orlaspin_cli() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command= word\n"
         "  for word in \"${COMP_WORDS[@]:1:COMP_CWORD-1}\"; do\n"
         "    case $word in " +
         commands +
         ") command=$word; break ;; esac\n"
         "  done\n"
         "  if [[ -z $command ]]; then\n"
         "    COMPREPLY=($(compgen -W " +
         Quoted(Spaced(first)) +
         " -- \"$cur\")); return\n"
         "  fi\n"
         "  case \"$command $prev\" in\n" +
         values +
         "  esac\n"
         "  if [[ $cur == -* ]]; then\n"
         "    case $command in\n" +
         options +
         "    esac\n"
         "  fi\n"
         "  COMPREPLY=($(compgen -f -- \"$cur\"))\n"
         "}\n"
         "complete -o filenames -F _orlaspin_cli orlaspin-cli\n";
}

std::string ZshCompletion() {
  std::string described;
  std::string cases;
  for (const CliCommandRow& command : CliCommands()) {
    described += ' ' + Quoted(std::string(command.name) + ':' + Summary(command.help));
    cases += "    " + std::string(command.name) + ")\n      _arguments -s : \\\n";
    for (const CliOption* option : OptionsOf(command.bit)) cases += ZshSpec(*option);
    cases += "      '*:image:_files' ;;\n";
  }
  return "#compdef orlaspin-cli\n"
         "# zsh completion for orlaspin-cli\n"
         "local -a commands=(" +
         described +
         ")\n"
         "if (( CURRENT == 2 )); then\n"
         "  _describe command commands\n"
         "  compadd -- " +
         Spaced(FormsOf(OptionsOf(kAlone))) +
         "\n"
         "  return\n"
         "fi\n"
         "local command=$words[2]\n"
         "shift words\n"
         "(( CURRENT-- ))\n"
         "case $command in\n" +
         cases + "esac\n";
}

std::string FishCompletion() {
  std::string text = "# fish completion for orlaspin-cli\ncomplete -c orlaspin-cli -f\n";
  std::vector<std::string> names;
  for (const CliCommandRow& command : CliCommands()) {
    names.emplace_back(command.name);
    text += "complete -c orlaspin-cli -n __fish_use_subcommand -a " + std::string(command.name) +
            " -d " + Quoted(Summary(command.help)) + '\n';
  }
  for (const CliOption* option : OptionsOf(kAlone)) {
    text += FishLine("__fish_use_subcommand", *option);
  }
  for (const CliCommandRow& command : CliCommands()) {
    const std::string condition = "__fish_seen_subcommand_from " + std::string(command.name);
    for (const CliOption* option : OptionsOf(command.bit)) text += FishLine(condition, *option);
  }
  return text + "complete -c orlaspin-cli -n " +
         Quoted("__fish_seen_subcommand_from " + Spaced(names)) + " -F\n";
}

}  // namespace orlaspin
