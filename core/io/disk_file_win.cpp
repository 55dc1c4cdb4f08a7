// The file layer on Windows: wide-character Win32 calls, paths converted from UTF-8.
#include <windows.h>

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
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? EntryKind::Other : EntryKind::Folder;
}

struct SearchCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};

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
      throw IoError(static_cast<int>(GetLastError()));
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
  explicit WinWritableFile(HANDLE handle) : handle_(handle) {}
  ~WinWritableFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  std::size_t Write(std::span<const std::uint8_t> data) override {
    DWORD put = 0;
    if (!WriteFile(handle_, data.data(), static_cast<DWORD>(data.size()), &put, nullptr)) return 0;
    return put;
  }

  bool Close() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) != 0;
  }

 private:
  HANDLE handle_;
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

  std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) override {
    const HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw IoError(static_cast<int>(GetLastError()));
    return std::make_unique<WinReadableFile>(handle);
  }

  std::unique_ptr<WritableFile> CreateNew(const std::string& path) override {
    const HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return std::make_unique<WinWritableFile>(handle);
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      const DWORD attributes = Attributes(path);
      if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return nullptr;
      }
      // A folder in the way: what replacing it would have met.
      error = ERROR_ACCESS_DENIED;
    }
    throw CreateFileError(FullPath(path), SystemMessage(error), static_cast<int>(error));
  }

  void Remove(const std::string& path) override { DeleteFileW(Widen(path).c_str()); }

  bool IsFolder(const std::string& path) override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  void CreateFolder(const std::string& path) override {
    if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return;
    const DWORD error = GetLastError();
    throw CreateFolderError(FullPath(path), SystemMessage(error), static_cast<int>(error));
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
};

}  // namespace

FileSystem& SystemFileSystem() {
  static WinFileSystem files;
  return files;
}

std::string FileNameFromCatalogueBytes(std::string_view bytes) {
  return Narrow(WidenAnsi(bytes));
}

}  // namespace orlaspin
