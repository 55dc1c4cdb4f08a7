#include "fake_file_system.h"

#include <algorithm>

#include "io/errors.h"

namespace orlaspin::testing {
namespace {

constexpr int kIsAFolder = 21;

class FakeReadableFile final : public ReadableFile {
 public:
  FakeReadableFile(std::vector<std::uint8_t> bytes, const FileFaults& faults)
      : bytes_(std::move(bytes)), faults_(faults) {}

  void Seek(std::uint64_t offset) override {
    if (faults_.seekError != 0) throw IoError(faults_.seekError);
    position_ = offset;
  }

  std::size_t Read(std::span<std::uint8_t> target) override {
    if (faults_.readError != 0 && reads_ == faults_.readsBeforeError)
      throw IoError(faults_.readError);
    ++reads_;
    if (position_ >= bytes_.size()) return 0;
    const std::size_t count = std::min(
        {target.size(), faults_.readChunk, static_cast<std::size_t>(bytes_.size() - position_)});
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), count, target.begin());
    position_ += count;
    return count;
  }

  void Close() override {
    if (faults_.closeError != 0) throw IoError(faults_.closeError);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  const FileFaults& faults_;
  std::uint64_t position_ = 0;
  std::size_t reads_ = 0;
};

class FakeWritableFile final : public WritableFile {
 public:
  FakeWritableFile(std::vector<std::uint8_t>& bytes, FileFaults& faults,
                   std::vector<std::size_t>& writeSizes)
      : bytes_(bytes), faults_(faults), writeSizes_(writeSizes) {}

  std::size_t Write(std::span<const std::uint8_t> data) override {
    writeSizes_.push_back(data.size());
    const std::size_t stored = std::min(data.size(), faults_.writeCapacity);
    faults_.writeCapacity -= stored;
    bytes_.insert(bytes_.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(stored));
    return stored;
  }

  bool Close() override { return !faults_.writeCloseFails; }

 private:
  std::vector<std::uint8_t>& bytes_;
  FileFaults& faults_;
  std::vector<std::size_t>& writeSizes_;
};

}  // namespace

std::unique_ptr<ReadableFile> FakeFileSystem::OpenForReading(const std::string& path) {
  ++opens;
  if (faults.openError != 0) throw IoError(faults.openError);
  const auto found = files.find(path);
  if (found == files.end()) throw IoError(kFileNotFound);
  return std::make_unique<FakeReadableFile>(found->second, faults);
}

std::unique_ptr<ReadableFile> FakeFileSystem::OpenStandardInput() {
  return std::make_unique<FakeReadableFile>(standardInput, faults);
}

std::unique_ptr<WritableFile> FakeFileSystem::CreateTemporary(const std::string& path,
                                                              std::string& temporaryPath) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  temporaryPath = folder + "~" + std::to_string(++temporaries_);
  return std::make_unique<FakeWritableFile>(files[temporaryPath], faults, writeSizes);
}

bool FakeFileSystem::RenameWithoutReplacing(const std::string& temporaryPath,
                                            const std::string& path) {
  if (faults.beforeCreate) faults.beforeCreate(path);
  if (folders.contains(path)) throw CreateFileError(FullPath(path), "Is a folder", kIsAFolder);
  if (files.contains(path)) return false;
  files[path] = std::move(files.at(temporaryPath));
  files.erase(temporaryPath);
  return true;
}

void FakeFileSystem::Remove(const std::string& path) { files.erase(path); }

bool FakeFileSystem::CreateFolder(const std::string& path) {
  if (files.contains(path) || folders.contains(path)) return false;
  folders.insert(path);
  return true;
}

std::string FakeFileSystem::FullPath(const std::string& path) {
  return path.starts_with('/') ? path : "/fake/" + path;
}

std::vector<FolderEntry> FakeFileSystem::ListFolder(const std::string& path) {
  if (const auto fault = unlistable.find(path); fault != unlistable.end()) {
    throw IoError(fault->second);
  }
  if (!folders.contains(path)) throw IoError(kFileNotFound);
  const std::string prefix = path.ends_with('/') ? path : path + "/";
  std::vector<FolderEntry> entries;
  const auto add = [&](const std::string& child, EntryKind kind) {
    if (!child.starts_with(prefix) || child.size() == prefix.size()) return;
    const std::string name = child.substr(prefix.size());
    if (name.find('/') == std::string::npos) entries.push_back({name, kind});
  };
  for (const auto& [child, bytes] : files) add(child, EntryKind::File);
  for (const std::string& child : folders) add(child, EntryKind::Folder);
  for (const std::string& child : others) add(child, EntryKind::Other);
  for (const std::string& child : linksToFolders) add(child, EntryKind::LinkToFolder);
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name > b.name; });
  return entries;
}

}  // namespace orlaspin::testing
