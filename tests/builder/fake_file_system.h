// An in-memory FileSystem for tests, with failures that can be switched on one by one: a failed
// open, seek, read or close of the image, reads that deliver only a few bytes, a disk that fills
// up, and a file that appears between the existence test and the creation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "io/disk_file.h"

namespace orlaspin::testing {

struct FileFaults {
  // A non-zero code makes that step raise the I/O error of the code.
  int openError = 0;
  int seekError = 0;
  int closeError = 0;
  int readError = 0;
  std::size_t readsBeforeError = 0;  // reads that succeed before readError strikes
  // The most bytes one read delivers.
  std::size_t readChunk = std::numeric_limits<std::size_t>::max();
  // The most bytes all created files together can take; a write past it falls short.
  std::size_t writeCapacity = std::numeric_limits<std::size_t>::max();
  bool writeCloseFails = false;
  // Runs before a finished file is given its name, path: lets a file appear in the race window.
  std::function<void(const std::string& path)> beforeCreate = {};
};

class FakeFileSystem final : public FileSystem {
 public:
  std::map<std::string, std::vector<std::uint8_t>> files;
  std::set<std::string> folders;
  // Entries that are neither files nor folders: devices, FIFOs.
  std::set<std::string> others;
  std::set<std::string> linksToFolders;
  // Folders whose listing raises the I/O error of the code.
  std::map<std::string, int> unlistable;
  FileFaults faults;
  std::size_t nameLimit = 255;
  int opens = 0;                        // calls of OpenForReading
  std::vector<std::size_t> writeSizes;  // the bytes of every write to a created file, in turn

  bool IsFile(const std::string& path) override { return files.contains(path); }
  bool Exists(const std::string& path) override { return IsFile(path) || IsFolder(path); }
  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override;
  // A file in path's folder named "~N" for the N-th temporary file made.
  std::unique_ptr<WritableFile> CreateTemporary(const std::string& path,
                                                std::string& temporaryPath) override;
  // A folder of the name raises the creation error with reason "Is a folder" and code 21.
  bool RenameWithoutReplacing(const std::string& temporaryPath, const std::string& path) override;
  void RenameReplacing(const std::string& temporaryPath, const std::string& path) override {
    files[path] = files[temporaryPath];
    files.erase(temporaryPath);
  }
  void Remove(const std::string& path) override;
  bool IsFolder(const std::string& path) override { return folders.contains(path); }
  bool IsFolderItself(const std::string& path) override { return IsFolder(path); }
  bool CreateFolder(const std::string& path) override;
  // Names of up to nameLimit bytes fit.
  bool NameFits(const std::string&, const std::string& name) override {
    return name.size() <= nameLimit;
  }
  // Relative paths resolve against "/fake".
  std::string FullPath(const std::string& path) override;
  // The files, folders and others whose path is the folder's path, "/" and one name, in reverse
  // order of their names so that no caller can depend on an order. A path that is not in folders
  // raises "File not found".
  std::vector<FolderEntry> ListFolder(const std::string& path) override;
  std::unique_ptr<ReadableFile> OpenStandardInput() override;
  std::vector<std::uint8_t> standardInput;

 private:
  int temporaries_ = 0;
};

}  // namespace orlaspin::testing
