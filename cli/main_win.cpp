// Arguments arrive as wide strings, so that a path in any language reaches the core as UTF-8.
#include <windows.h>
#include <shellapi.h>
#include <io.h>

#include <cstdio>

#include <iostream>
#include <string>
#include <vector>

#include "cli.h"
#include "io/disk_file.h"
#include "io/win/wide_text.h"

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(orlaspin::Narrow(argv[i]));
  LocalFree(argv);
  SetConsoleOutputCP(CP_UTF8);
  orlaspin::RemoveTemporaryFileOnInterrupt();
  return orlaspin::RunCli(args, std::cout, std::cerr, _isatty(_fileno(stderr)) != 0);
}
