#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "io/disk_file.h"

int main(int argc, char** argv) {
  // Under a file-size limit a write then falls short and the incomplete file is removed, instead
  // of the signal ending the program halfway through a file; a closed pipe on standard output is
  // an error to report, not a signal to die of.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  orlaspin::RemoveTemporaryFileOnInterrupt();
  const std::vector<std::string> args(argv + 1, argv + argc);
  return orlaspin::RunCli(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
