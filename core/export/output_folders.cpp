#include "export/output_folders.h"

#include <algorithm>

#include "containers/container_kinds.h"
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

std::string OutputFolders::TakeName(const std::string& parent, std::string_view name,
                                    std::string_view extension, bool folder) {
  const std::string plain = MakeSafeName(name);
  std::vector<std::string>& taken = taken_[parent];
  const bool plainTaken = std::find(taken.begin(), taken.end(), plain) != taken.end();
  // A clash of stems is told apart by the extension first.
  const std::string stem = plainTaken && !extension.empty()
                               ? MakeSafeName(std::string(name) + "-" + std::string(extension))
                               : plain;
  for (int number = 1;; ++number) {
    const std::string candidate = number == 1 ? stem : stem + "-" + std::to_string(number);
    if (IsNoFolderName(candidate) || IsDeviceName(candidate) ||
        std::find(taken.begin(), taken.end(), candidate) != taken.end()) {
      continue;
    }
    // A folder of an earlier run is used again; anything else of the name, a link to a folder
    // too, is someone else's.
    const std::string path = JoinPath(outputDir_, Below(parent, candidate));
    if (!folder || files_.IsFolderItself(path) || files_.CreateFolder(path)) {
      taken.push_back(candidate);
      return Below(parent, candidate);
    }
  }
}

std::string OutputFolders::ParentFor(std::size_t root, std::span<const std::string> folders) {
  std::string parent;
  std::vector<std::string> place;
  for (std::size_t i = 0; i + 1 < folders.size(); ++i) {
    place.push_back(folders[i]);
    auto found = places_.find({root, place});
    if (found == places_.end()) {
      found = places_.emplace(std::pair{root, place}, TakeName(parent, folders[i], {}, true)).first;
    }
    parent = found->second;
  }
  return parent;
}

std::string OutputFolders::FolderFor(std::size_t root, std::span<const std::string> folders,
                                     std::string_view extension) {
  const std::string parent = ParentFor(root, folders);
  return folders.empty() ? parent : TakeName(parent, folders.back(), extension, true);
}

std::string OutputFolders::PicturePathFor(std::size_t root, std::span<const std::string> folders,
                                          std::string_view extension) {
  const std::string parent = ParentFor(root, folders);
  return folders.empty() ? parent : TakeName(parent, folders.back(), extension, false);
}

bool HoldsOnePicture(const Collection& collection) {
  return RowOf(collection.kind).onePicture && collection.files.size() == 1 &&
         collection.files.front().isScreen;
}

bool HasScreens(const Collection& collection) {
  return std::any_of(collection.files.begin(), collection.files.end(),
                     [](const CollectionFile& file) { return file.isScreen; });
}

}  // namespace orlaspin
