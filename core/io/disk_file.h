// The file layer: the only code that touches the file system. Paths are UTF-8 text.
// Every operation is checked as soon as it returns; failures are raised as orlaspin::Error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlaspin {

// A disk image opened for reading only, shared for reading and writing with other programs.
class ReadableFile {
 public:
  virtual ~ReadableFile() = default;
  // Moves to an absolute byte offset; a position past the end is no error.
  virtual void Seek(std::uint64_t offset) = 0;
  // Reads up to target.size() bytes and returns how many arrived; 0 at the end of the file.
  virtual std::size_t Read(std::span<std::uint8_t> target) = 0;
  virtual void Close() = 0;
};

// A file made by CreateNew, open for writing and not shared while it is written.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Returns how many bytes were stored; fewer than asked means the write failed.
  virtual std::size_t Write(std::span<const std::uint8_t> data) = 0;
  // Returns false when the close failed, so the file may not hold what was written.
  virtual bool Close() = 0;
};

// What a folder entry is. A symbolic link (or a junction) to a folder is Other, so that a walk
// never follows one and cannot loop.
enum class EntryKind { File, Folder, Other };

struct FolderEntry {
  std::string name;  // the entry's own name, without its folder's path
  EntryKind kind = EntryKind::Other;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True only when a regular file exists at path; a folder, a device or a missing path is false.
  virtual bool IsFile(const std::string& path) = 0;

  // Opens an existing file for reading; raises the I/O error of the table on failure.
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) = 0;

  // Creates a new file; never replaces anything. Returns nullptr when a file (or anything that is
  // not a folder) of that name already exists, so the caller may try another name. A folder of
  // that name, or any other failure, raises the file-creation error with the full path.
  virtual std::unique_ptr<WritableFile> CreateNew(const std::string& path) = 0;

  // Removes a file this program has just created; failures are ignored.
  virtual void Remove(const std::string& path) = 0;

  // True only when a folder exists at path.
  virtual bool IsFolder(const std::string& path) = 0;

  // Creates one folder (its parent must exist). Any failure, also a name already taken, raises
  // the folder-creation error with the full path.
  virtual void CreateFolder(const std::string& path) = 0;

  // The path resolved against the current directory.
  virtual std::string FullPath(const std::string& path) = 0;

  // The entries of the folder at path, without "." and "..", in no set order. Raises the I/O
  // error of the table when the folder cannot be listed.
  virtual std::vector<FolderEntry> ListFolder(const std::string& path) = 0;
};

// The operating system's files.
FileSystem& SystemFileSystem();

// Turns the bytes of a catalogue file-name stem into a UTF-8 file-name component. On Windows the
// bytes are characters of the ANSI code page; elsewhere 0x80-0xFF are read as Windows-1251 (the
// code page of Russian Spectrum software), and a byte with no character there becomes "_".
std::string FileNameFromCatalogueBytes(std::string_view bytes);

// dir + separator + name; just name when dir is empty.
std::string JoinPath(const std::string& dir, const std::string& name);

// Reads until target is full or the file ends; returns the number of bytes read.
std::size_t ReadFully(ReadableFile& file, std::span<std::uint8_t> target);

// The first limit bytes of the file at path (all of it when shorter), read in chunks so that no
// more is held than has arrived. Raises the I/O error of a failed open, read or close.
std::vector<std::uint8_t> ReadFileStart(FileSystem& files, const std::string& path,
                                        std::size_t limit);

// Creates a new file at path holding the parts one after another, one write each. Returns false,
// writing nothing, when a file of that name already exists. Raises the file-creation error when
// the file cannot be made, and "Stream write error" when a write falls short or the close fails,
// removing the incomplete file.
bool WriteNewFile(FileSystem& files, const std::string& path,
                  std::span<const std::span<const std::uint8_t>> parts);

}  // namespace orlaspin
