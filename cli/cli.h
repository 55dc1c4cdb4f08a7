// orlaspin-cli: the catalogue listing and the batch export from the command line.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orlaspin {

// args excludes the program name. Returns the exit status: 0 done, 1 an error, 2 a usage error.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// A catalogue text with bytes outside 0x20-0x7E, and the backslash, written as \xHH.
std::string EscapeCatalogueText(std::string_view text);

}  // namespace orlaspin
