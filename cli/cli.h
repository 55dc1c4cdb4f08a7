// orlaspin-cli: the listing and the screen export of disk images from the command line.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orlaspin {

// args excludes the program name. Returns the exit status: 0 done, 1 an error, 2 a usage error;
// every error is told on err, none escapes. No progress line is shown.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The same; errIsTerminal says that err is a terminal, where exporting several images shows a
// progress line.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           bool errIsTerminal);

}  // namespace orlaspin
