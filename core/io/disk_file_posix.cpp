// The file layer on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "io/disk_file.h"
#include "io/errors.h"
#include "text/zx_characters.h"

namespace orlaspin {

namespace {

// The table's messages for the errno values that mean the same as its Windows codes; any other
// errno is shown by its own number.
Error IoErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: return IoError(kFileNotFound);
    case ENOTDIR: return IoError(kPathNotFound);
    case EMFILE:
    case ENFILE: return IoError(kTooManyOpenFiles);
    case EACCES:
    case EPERM:
    case EROFS: return IoError(kAccessDenied);
    default: return UnlistedIoError(error);
  }
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// What the entry name of the open folder is; a symbolic link counts as what it leads to, except
// that a link to a folder is LinkToFolder.
EntryKind KindOfEntry(DIR* folder, const char* name) {
  struct stat info {};
  if (::fstatat(::dirfd(folder), name, &info, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Other;
  if (S_ISLNK(info.st_mode)) {
    if (::fstatat(::dirfd(folder), name, &info, 0) != 0) return EntryKind::Other;
    if (S_ISDIR(info.st_mode)) return EntryKind::LinkToFolder;
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
  }
  if (S_ISREG(info.st_mode)) return EntryKind::File;
  return S_ISDIR(info.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

struct FolderCloser {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary files being written, for the thread that meets the interrupts. It holds the lock
// while it removes them and the program ends, so no file is made or named meanwhile; makers and
// renamers hold it while a file and the list disagree.
std::mutex pendingLock;
std::vector<std::string> pendingPaths;

void SetPending(const std::string& path) { pendingPaths.push_back(path); }

void ReleasePending(const std::string& path) {
  const auto found = std::find(pendingPaths.begin(), pendingPaths.end(), path);
  if (found != pendingPaths.end()) pendingPaths.erase(found);
}

// Waits for one of the signals, removes the temporary files and ends the program as the signal
// would have.
void RemovePendingOnSignal(sigset_t signals) {
  int signal = 0;
  if (::sigwait(&signals, &signal) != 0) return;
  pendingLock.lock();  // kept to the end
  for (const std::string& path : pendingPaths) ::unlink(path.c_str());
  std::signal(signal, SIG_DFL);
  sigset_t ending;
  sigemptyset(&ending);
  sigaddset(&ending, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &ending, nullptr);
  ::raise(signal);
}

// A name of its own for each temporary file of this process: hidden, and never a catalogue
// name's file, which has the extension .bmp or .png.
std::string TemporaryName() {
  static std::atomic<unsigned> made{0};
  return ".orlaspin-" + std::to_string(::getpid()) + "-" + std::to_string(made++) + ".tmp";
}

// The folder part of path, its separator kept: "out/a.bmp" gives "out/", "a.bmp" nothing.
std::string FolderPrefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The one-step rename that fails when the new name exists; a file system without it links the
// new name (which fails the same way) and unlinks the old one.
int RenameWithoutReplacingPath(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

class PosixReadableFile final : public ReadableFile {
 public:
  explicit PosixReadableFile(int fd) : fd_(fd) {}
  ~PosixReadableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  void Seek(std::uint64_t offset) override {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) throw IoErrorFromErrno(errno);
  }

  std::size_t Read(std::span<std::uint8_t> target) override {
    for (;;) {
      const ssize_t got = ::read(fd_, target.data(), target.size());
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) throw IoErrorFromErrno(errno);
    }
  }

  void Close() override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw IoErrorFromErrno(errno);
  }

 private:
  int fd_;
};

bool IsDiskFullCode(int error) { return error == ENOSPC || error == EDQUOT; }

class PosixWritableFile final : public WritableFile {
 public:
  // fullPath names the file being made, for the message of a full disk.
  PosixWritableFile(int fd, std::string fullPath) : fd_(fd), fullPath_(std::move(fullPath)) {}
  ~PosixWritableFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  std::size_t Write(std::span<const std::uint8_t> data) override {
    std::size_t stored = 0;
    while (stored < data.size()) {
      const ssize_t put = ::write(fd_, data.data() + stored, data.size() - stored);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0 && IsDiskFullCode(errno)) {
        throw WriteFileError(fullPath_, std::strerror(errno), errno);
      }
      if (put <= 0) break;
      stored += static_cast<std::size_t>(put);
    }
    return stored;
  }

  bool Close() override {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
  std::string fullPath_;
};

// The name limit of nearly every file system, when the folder's own cannot be asked.
constexpr long kCommonNameLimit = 255;

class PosixFileSystem final : public FileSystem {
 public:
  bool IsFile(const std::string& path) override {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  }

  bool Exists(const std::string& path) override {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
  }

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    // Non-blocking, so that a FIFO swapped in after the existence test cannot hang the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) throw IoErrorFromErrno(errno);
    auto file = std::make_unique<PosixReadableFile>(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw IoErrorFromErrno(errno);
    if (!S_ISREG(info.st_mode)) throw IoError(kFileNotFound);
    return file;
  }

  std::unique_ptr<WritableFile> CreateTemporary(const std::string& path,
                                                std::string& temporaryPath) override {
    for (;;) {
      temporaryPath = FolderPrefix(path) + TemporaryName();
      const std::lock_guard held(pendingLock);
      const int fd =
          ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
      if (fd >= 0) {
        SetPending(temporaryPath);
        return std::make_unique<PosixWritableFile>(fd, FullPath(path));
      }
      const int error = errno;
      // Another run's leftover of the same name: take the next.
      if (error == EEXIST) continue;
      throw CreateFileError(FullPath(path), std::strerror(error), error);
    }
  }

  bool RenameWithoutReplacing(const std::string& temporaryPath, const std::string& path) override {
    const std::lock_guard held(pendingLock);
    int error = RenameWithoutReplacingPath(temporaryPath, path);
    if (error == 0) {
      ReleasePending(temporaryPath);
      return true;
    }
    if (error == EEXIST) {
      if (!IsDirectory(path)) return false;
      error = EISDIR;
    }
    throw CreateFileError(FullPath(path), std::strerror(error), error);
  }

  void RenameReplacing(const std::string& temporaryPath, const std::string& path) override {
    const std::lock_guard held(pendingLock);
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0) {
      const int error = errno;
      throw CreateFileError(FullPath(path), std::strerror(error), error);
    }
    ReleasePending(temporaryPath);
  }

  void Remove(const std::string& path) override {
    const std::lock_guard held(pendingLock);
    ::unlink(path.c_str());
    ReleasePending(path);
  }

  bool IsFolder(const std::string& path) override { return IsDirectory(path); }

  bool IsFolderItself(const std::string& path) override {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  }

  bool CreateFolder(const std::string& path) override {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    const int error = errno;
    if (error == EEXIST) return false;
    throw CreateFolderError(FullPath(path), std::strerror(error), error);
  }

  bool NameFits(const std::string& folder, const std::string& name) override {
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return name.size() <= static_cast<std::size_t>(limit > 0 ? limit : kCommonNameLimit);
  }

  std::string FullPath(const std::string& path) override {
    if (!path.empty() && path.front() == '/') return path;
    std::array<char, 4096> cwd{};
    if (::getcwd(cwd.data(), cwd.size()) == nullptr) return path;
    return JoinPath(cwd.data(), path);
  }

  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    const std::unique_ptr<DIR, FolderCloser> folder(::opendir(path.c_str()));
    if (!folder) throw IoErrorFromErrno(errno);
    std::vector<FolderEntry> entries;
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(folder.get());
      if (entry == nullptr) break;
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      entries.push_back({std::string(name), KindOfEntry(folder.get(), entry->d_name)});
    }
    if (errno != 0) throw IoErrorFromErrno(errno);
    return entries;
  }

  std::unique_ptr<ReadableFile> OpenStandardInput() override {
    const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) throw IoErrorFromErrno(errno);
    return std::make_unique<PosixReadableFile>(fd);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem files;
  return files;
}

void RemoveTemporaryFileOnInterrupt() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : kInterrupts) {
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
    sigaddset(&signals, signal);
  }
  // Blocked here, so in every thread started later: only the waiting thread meets them, and it
  // may take the lock as a handler could not.
  ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread(RemovePendingOnSignal, signals).detach();
}

bool IsDiskFull(const Error& error) { return IsDiskFullCode(error.Code()); }

std::string FileNameFromCatalogueBytes(std::string_view bytes) { return ZxText(bytes); }

}  // namespace orlaspin
