#include "io/disk_file.h"

#include <algorithm>

#include "io/errors.h"

namespace orlaspin {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The folder that holds path: everything before its last component, a root keeping its
// separator ("/a" gives "/", "C:\a" gives "C:\"); empty for a name alone.
std::string ParentFolder(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  if (end == 0) return {};
  const std::size_t rootEnd = end;
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  const bool isRoot = end == 0 || (end == 2 && path[1] == ':');
  return path.substr(0, isRoot ? rootEnd : end);
}

// Removes the temporary file when it leaves scope without having been given its name.
class TemporaryFile {
 public:
  TemporaryFile(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!named_) files_.Remove(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool NameAs(const std::string& path) {
    named_ = files_.RenameWithoutReplacing(path_, path);
    return named_;
  }

  void NameOver(const std::string& path) {
    files_.RenameReplacing(path_, path);
    named_ = true;
  }

 private:
  FileSystem& files_;
  std::string path_;
  bool named_ = false;
};

}  // namespace

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  const char last = dir.back();
  if (last == '/' || last == '\\') return dir + name;
  return dir + "/" + name;
}

std::size_t ReadFully(ReadableFile& file, std::span<std::uint8_t> target) {
  std::size_t total = 0;
  while (total < target.size()) {
    const std::size_t got = file.Read(target.subspan(total));
    if (got == 0) break;
    total += got;
  }
  return total;
}

std::vector<std::uint8_t> ReadFileStart(FileSystem& files, const std::string& path,
                                        std::size_t limit) {
  return ReadStart(*files.OpenForReading(path), limit);
}

std::vector<std::uint8_t> ReadStart(ReadableFile& file, std::size_t limit) {
  constexpr std::size_t kChunk = 1 << 16;
  std::vector<std::uint8_t> bytes;
  while (bytes.size() < limit) {
    const std::size_t before = bytes.size();
    bytes.resize(std::min(limit, before + kChunk));
    const std::size_t got = ReadFully(file, std::span(bytes).subspan(before));
    bytes.resize(before + got);
    if (got == 0) break;
  }
  file.Close();
  return bytes;
}

namespace {

// Writes the parts into a new temporary file beside path; it goes again unless given a name.
std::unique_ptr<TemporaryFile> WriteTemporary(
    FileSystem& files, const std::string& path,
    std::span<const std::span<const std::uint8_t>> parts) {
  std::string temporaryPath;
  auto file = files.CreateTemporary(path, temporaryPath);
  auto temporary = std::make_unique<TemporaryFile>(files, temporaryPath);
  bool complete = true;
  for (const auto part : parts) {
    if (file->Write(part) != part.size()) {
      complete = false;
      break;
    }
  }
  complete = file->Close() && complete;
  if (!complete) throw StreamWriteError();
  return temporary;
}

}  // namespace

bool WriteNewFile(FileSystem& files, const std::string& path,
                  std::span<const std::span<const std::uint8_t>> parts) {
  return WriteTemporary(files, path, parts)->NameAs(path);
}

void ReplaceFile(FileSystem& files, const std::string& path,
                 std::span<const std::span<const std::uint8_t>> parts) {
  WriteTemporary(files, path, parts)->NameOver(path);
}

void CreateFolders(FileSystem& files, const std::string& path) {
  if (path.empty() || files.IsFolder(path)) return;
  CreateFolders(files, ParentFolder(path));
  // A path ending in ".." may exist now that its parent does.
  if (files.IsFolder(path)) return;
  if (!files.CreateFolder(path) && !files.IsFolder(path)) {
    throw FolderNameTakenError(files.FullPath(path));
  }
}

void RequireRegularFile(FileSystem& files, const std::string& path) {
  if (files.IsFile(path)) return;
  if (files.IsFolder(path)) throw IsAFolderError();
  if (files.Exists(path)) throw NotARegularFileError();
  throw IoError(kFileNotFound);
}

}  // namespace orlaspin
