// The real orlaspin-cli in a process of its own, as a user starts it: its exit status and what
// it printed on standard output and standard error.
#pragma once

#include <string>
#include <vector>

namespace orlaspin::testing {

struct ProgramRun {
  int status = -1;       // the exit status; -1 when the program did not end by exiting
  std::string out, err;  // standard output, standard error
};

// Runs program with args (no shell between) and waits for it to end.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace orlaspin::testing
