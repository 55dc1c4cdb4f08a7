// The command line of orlaspin-cli: what to do, on which images, with which output options.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "export/collection_export.h"
#include "export/contact_sheet.h"
#include "export/path_filter.h"
#include "export/picture_names.h"

namespace orlaspin {

enum class CliAction { Help, Version, List, Export, Sheet };

struct CliCommand {
  CliAction action = CliAction::Help;
  std::vector<std::string> images;
  bool recursive = false;   // named folders are walked
  std::string outputDir;    // export: empty means the current folder
  OutputOptions output;     // export and sheet; its palette is set from paletteName before the run
  std::string paletteName;  // export and sheet: a palette's name or a palette file; empty: default
  int jobs = 0;             // export: images at once; 0 means one per core
  bool gallery = false;     // export: index.html beside the pictures
  PictureLayout layout = PictureLayout::Tree;  // export
  std::optional<NameTemplate> pictureName;     // export: absent, the layout's default names
  PathFilter filter;                           // list, export and sheet
  std::string sheetPath;                       // sheet: the page's file
  SheetLayout sheetLayout;                     // sheet: its thumbnails' size and columns
  bool json = false;                           // list
  // What is printed besides errors: nothing (export and sheet), or also each file skipped and, at
  // the end, the images that failed.
  enum class Verbosity { Quiet, Normal, Verbose } verbosity = Verbosity::Normal;
};

// The command line makes no sense; message says why in one line.
struct UsageError {
  std::string message;
};

// args excludes the program name. Reads no file. Raises UsageError.
CliCommand ParseArguments(std::span<const std::string> args);

}  // namespace orlaspin
