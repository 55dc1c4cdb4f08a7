// The manual page orlaspin-cli.1 and the shell completions, written from the option table.
#pragma once

#include <string>

namespace orlaspin {

// The page in man(7) form.
std::string ManPage();

// Scripts for bash, zsh and fish: the commands, each command's options, the values of options
// that take names, and file names for images, palette files and pages.
std::string BashCompletion();
std::string ZshCompletion();
std::string FishCompletion();

}  // namespace orlaspin
