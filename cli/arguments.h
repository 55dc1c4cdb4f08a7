// The command line of orlaspin-cli: what to do, on which images, with which output options.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "export/collection_export.h"

namespace orlaspin {

enum class CliAction { Help, Version, List, Export, Sheet };

struct CliCommand {
  CliAction action = CliAction::Help;
  std::vector<std::string> images;
  bool recursive = false;  // named folders are walked
  std::string outputDir;   // export: empty means the current folder
  OutputOptions output;    // export
  int jobs = 0;            // export: images at once; 0 means one per core
  bool gallery = false;    // export: index.html beside the pictures
  std::string sheetPath;   // sheet: the page's file
  bool json = false;       // list
};

// The command line makes no sense; message says why (empty: the usage alone says it).
struct UsageError {
  std::string message;
};

// args excludes the program name. Raises UsageError.
CliCommand ParseArguments(std::span<const std::string> args);

// The short usage, printed with a usage error, and the full help of --help.
extern const char* const kUsage;
extern const std::string kHelp;

}  // namespace orlaspin
