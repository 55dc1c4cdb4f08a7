// The file layer on Windows: wide-character Win32 calls, paths converted from UTF-8.
#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <string>
#include <vector>

#include "io/disk_file.h"
#include "io/errors.h"
#include "io/win/wide_text.h"

namespace orlaspin {

namespace {

// The system's own text for an error code.
std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "Error " + std::to_string(code);
  std::string message = Narrow(std::wstring_view(text, length));
  LocalFree(text);
  return message;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

// A reparse point that is a folder (a symbolic link or a junction) is Other: a walk never follows
// one, so it cannot loop.
EntryKind KindOfEntry(DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return EntryKind::Other;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return EntryKind::File;
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? EntryKind::LinkToFolder
                                                          : EntryKind::Folder;
}

bool IsDiskFullCode(DWORD error) {
  return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

// The longest name one folder entry may have, in UTF-16 units.
constexpr std::size_t kLongestName = 255;
// Room kept in a path for the temporary name a file is written under before it gets its own.
constexpr std::size_t kTemporaryNameRoom = 32;

struct SearchCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};

// The temporary files being written, for the console's control handler, which runs on a thread
// of its own; makers and renamers hold the lock while a file and the list disagree.
SRWLOCK pendingLock = SRWLOCK_INIT;
std::vector<std::wstring> pendingPaths;

class PendingHeld {
 public:
  PendingHeld() { AcquireSRWLockExclusive(&pendingLock); }
  ~PendingHeld() { ReleaseSRWLockExclusive(&pendingLock); }
  PendingHeld(const PendingHeld&) = delete;
  PendingHeld& operator=(const PendingHeld&) = delete;
};

void SetPending(const std::wstring& path) { pendingPaths.push_back(path); }

void ReleasePending(const std::wstring& path) {
  const auto found = std::find(pendingPaths.begin(), pendingPaths.end(), path);
  if (found != pendingPaths.end()) pendingPaths.erase(found);
}

BOOL WINAPI RemovePendingAndEnd(DWORD) {
  // The lock is kept: the program ends when the default handler runs after this one, and no
  // other temporary file may be made meanwhile.
  AcquireSRWLockExclusive(&pendingLock);
  // The writers share deleting, so each file goes when its handle closes at the end.
  for (const std::wstring& path : pendingPaths) DeleteFileW(path.c_str());
  return FALSE;
}

// A name of its own for each temporary file of this process, never a catalogue name's file,
// which has the extension .bmp or .png.
std::string TemporaryName() {
  static std::atomic<unsigned> made{0};
  return ".orlaspin-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(made++) +
         ".tmp";
}

// The folder part of path, its separator or drive kept: "out\a.bmp" gives "out\", "C:a.bmp"
// gives "C:", "a.bmp" nothing.
std::string FolderPrefix(const std::string& path) {
  const std::size_t end = path.find_last_of("/\\:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

class WinReadableFile final : public ReadableFile {
 public:
  explicit WinReadableFile(HANDLE handle) : handle_(handle) {}
  ~WinReadableFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  void Seek(std::uint64_t offset) override {
    LONG high = static_cast<LONG>(offset >> 32);
    const DWORD low =
        SetFilePointer(handle_, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER) {
      const DWORD error = GetLastError();
      if (error != NO_ERROR) throw IoError(static_cast<int>(error));
    }
  }

  std::size_t Read(std::span<std::uint8_t> target) override {
    DWORD got = 0;
    if (!ReadFile(handle_, target.data(), static_cast<DWORD>(target.size()), &got, nullptr)) {
      const DWORD error = GetLastError();
      // A pipe whose writer has finished: its end, as a file's.
      if (error == ERROR_BROKEN_PIPE) return 0;
      throw IoError(static_cast<int>(error));
    }
    return got;
  }

  void Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) throw IoError(static_cast<int>(GetLastError()));
  }

 private:
  HANDLE handle_;
};

class WinWritableFile final : public WritableFile {
 public:
  // fullPath names the file being made, for the message of a full disk.
  WinWritableFile(HANDLE handle, std::string fullPath)
      : handle_(handle), fullPath_(std::move(fullPath)) {}
  ~WinWritableFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  std::size_t Write(std::span<const std::uint8_t> data) override {
    // A write that stores only part is tried again for the rest, so that a full disk says so.
    std::size_t stored = 0;
    while (stored < data.size()) {
      DWORD put = 0;
      if (!WriteFile(handle_, data.data() + stored, static_cast<DWORD>(data.size() - stored), &put,
                     nullptr)) {
        const DWORD error = GetLastError();
        if (IsDiskFullCode(error)) {
          throw WriteFileError(fullPath_, SystemMessage(error), static_cast<int>(error));
        }
        break;
      }
      if (put == 0) break;
      stored += put;
    }
    return stored;
  }

  bool Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
  std::string fullPath_;
};

class WinFileSystem final : public FileSystem {
 public:
  bool IsFile(const std::string& path) override {
    // Wildcards would make the search match other files.
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(Widen(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  }

  bool Exists(const std::string& path) override {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
  }

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    const HANDLE handle =
        CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw IoError(static_cast<int>(GetLastError()));
    return std::make_unique<WinReadableFile>(handle);
  }

  std::unique_ptr<WritableFile> CreateTemporary(const std::string& path,
                                                std::string& temporaryPath) override {
    for (;;) {
      temporaryPath = FolderPrefix(path) + TemporaryName();
      const std::wstring wide = Widen(temporaryPath);
      const PendingHeld held;
      const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        SetPending(wide);
        return std::make_unique<WinWritableFile>(handle, FullPath(path));
      }
      const DWORD error = GetLastError();
      // Another run's leftover of the same name: take the next.
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      throw CreateFileError(FullPath(path), SystemMessage(error), static_cast<int>(error));
    }
  }

  bool RenameWithoutReplacing(const std::string& temporaryPath, const std::string& path) override {
    const std::wstring from = Widen(temporaryPath);
    const PendingHeld held;
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the new name exists.
    if (MoveFileExW(from.c_str(), Widen(path).c_str(), 0)) {
      ReleasePending(from);
      return true;
    }
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        error == ERROR_ACCESS_DENIED) {
      const DWORD attributes = Attributes(path);
      const bool isFolder =
          attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      if (error != ERROR_ACCESS_DENIED && !isFolder) return false;
      // A folder in the way: what replacing it would have met.
      if (isFolder) error = ERROR_ACCESS_DENIED;
    }
    throw CreateFileError(FullPath(path), SystemMessage(error), static_cast<int>(error));
  }

  void RenameReplacing(const std::string& temporaryPath, const std::string& path) override {
    const std::wstring from = Widen(temporaryPath);
    const PendingHeld held;
    if (!MoveFileExW(from.c_str(), Widen(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
      const DWORD error = GetLastError();
      throw CreateFileError(FullPath(path), SystemMessage(error), static_cast<int>(error));
    }
    ReleasePending(from);
  }

  void Remove(const std::string& path) override {
    const std::wstring wide = Widen(path);
    const PendingHeld held;
    DeleteFileW(wide.c_str());
    ReleasePending(wide);
  }

  bool IsFolder(const std::string& path) override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  bool IsFolderItself(const std::string& path) override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
  }

  bool CreateFolder(const std::string& path) override {
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) return false;
    throw CreateFolderError(FullPath(path), SystemMessage(error), static_cast<int>(error));
  }

  bool NameFits(const std::string& folder, const std::string& name) override {
    const std::size_t length = Widen(name).size();
    const std::size_t folderLength = Widen(FullPath(folder.empty() ? "." : folder)).size();
    // The folder, a separator, the longer of the two names and the closing zero.
    return length <= kLongestName &&
           folderLength + 1 + std::max(length, kTemporaryNameRoom) + 1 <= MAX_PATH;
  }

  std::string FullPath(const std::string& path) override {
    const std::wstring wide = Widen(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return path;
    full.resize(written);
    return Narrow(full);
  }

  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    WIN32_FIND_DATAW found{};
    const HANDLE first = FindFirstFileW(Widen(JoinPath(path, "*")).c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      // A folder with nothing in it, not even "." and ".." (the root of a drive).
      if (error == ERROR_FILE_NOT_FOUND) return {};
      throw IoError(static_cast<int>(error));
    }
    const std::unique_ptr<void, SearchCloser> search(first);
    std::vector<FolderEntry> entries;
    do {
      const std::wstring_view name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      entries.push_back({Narrow(name), KindOfEntry(found.dwFileAttributes)});
    } while (FindNextFileW(first, &found));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) throw IoError(static_cast<int>(error));
    return entries;
  }

  std::unique_ptr<ReadableFile> OpenStandardInput() override {
    HANDLE input = INVALID_HANDLE_VALUE;
    if (!DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_INPUT_HANDLE), GetCurrentProcess(),
                         &input, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
      throw IoError(static_cast<int>(GetLastError()));
    }
    return std::make_unique<WinReadableFile>(input);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static WinFileSystem files;
  return files;
}

void RemoveTemporaryFileOnInterrupt() { SetConsoleCtrlHandler(RemovePendingAndEnd, TRUE); }

bool IsDiskFull(const Error& error) { return IsDiskFullCode(static_cast<DWORD>(error.Code())); }

std::string FileNameFromCatalogueBytes(std::string_view bytes) { return Narrow(WidenAnsi(bytes)); }

}  // namespace orlaspin
