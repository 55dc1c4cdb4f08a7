#include "export/output_folders.h"

#include <algorithm>

#include "export/file_names.h"
#include "io/disk_file.h"

namespace orlaspin {

namespace {

// Empty, or dots and spaces alone: the folder itself or its parent ("..", and on Windows ". ."
// too, which drops its trailing dots and spaces).
bool IsNoFolderName(std::string_view name) { return name.find_first_not_of(". ") == name.npos; }

std::string Below(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "/" + name;
}

}  // namespace

OutputFolders::OutputFolders(FileSystem& files, std::string outputDir)
    : files_(files), outputDir_(std::move(outputDir)) {}

std::string OutputFolders::MakeFolder(const std::string& parent, std::string_view name) {
  const std::string stem = MakeSafeName(name);
  std::vector<std::string>& taken = taken_[parent];
  for (int number = 1;; ++number) {
    const std::string candidate = number == 1 ? stem : stem + "-" + std::to_string(number);
    if (IsNoFolderName(candidate) || IsDeviceName(candidate) ||
        std::find(taken.begin(), taken.end(), candidate) != taken.end()) {
      continue;
    }
    // A folder of an earlier run is used again; anything else of the name, a link to a folder
    // too, is someone else's.
    const std::string path = JoinPath(outputDir_, Below(parent, candidate));
    if (files_.IsFolderItself(path) || files_.CreateFolder(path)) {
      taken.push_back(candidate);
      return Below(parent, candidate);
    }
  }
}

std::string OutputFolders::FolderFor(std::size_t root, std::span<const std::string> folders) {
  std::string parent;
  std::vector<std::string> place;
  for (std::size_t i = 0; i + 1 < folders.size(); ++i) {
    place.push_back(folders[i]);
    auto found = places_.find({root, place});
    if (found == places_.end()) {
      found = places_.emplace(std::pair{root, place}, MakeFolder(parent, folders[i])).first;
    }
    parent = found->second;
  }
  return folders.empty() ? parent : MakeFolder(parent, folders.back());
}

}  // namespace orlaspin
