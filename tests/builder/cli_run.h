// Runs orlaspin-cli in the test's own process and keeps what it printed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace orlaspin::testing {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun Cli(const std::vector<std::string>& args, bool errIsTerminal = false) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err, errIsTerminal);
  return {status, out.str(), err.str()};
}

}  // namespace orlaspin::testing
