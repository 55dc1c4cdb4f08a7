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

// A file made by CreateTemporary, open for writing.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // Returns how many bytes were stored; fewer than asked means the write failed. A full disk
  // raises WriteFileError with the system's text and the full path of the file being made.
  virtual std::size_t Write(std::span<const std::uint8_t> data) = 0;
  // Returns false when the close failed, so the file may not hold what was written.
  virtual bool Close() = 0;
};

// What a folder entry is. A symbolic link (or a junction) to a folder is LinkToFolder, so that a
// walk never follows one and cannot loop; a device, a FIFO or a broken link is Other.
enum class EntryKind { File, Folder, LinkToFolder, Other };

struct FolderEntry {
  std::string name;  // the entry's own name, without its folder's path
  EntryKind kind = EntryKind::Other;
};

class Error;

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True only when a regular file exists at path; a folder, a device or a missing path is false.
  virtual bool IsFile(const std::string& path) = 0;

  // True when anything exists at path, a link counting as what it points to.
  virtual bool Exists(const std::string& path) = 0;

  // Opens an existing file for reading; raises the I/O error of the table on failure.
  virtual std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) = 0;

  // Creates a new, empty file beside path (in its folder) under a temporary name of its own,
  // returned in temporaryPath, where path's contents are written before they get path's name
  // (RenameWithoutReplacing). Until then an interrupt the program handles removes it
  // (RemoveTemporaryFileOnInterrupt); several threads may each write one at once. A failure
  // raises the file-creation error of path.
  virtual std::unique_ptr<WritableFile> CreateTemporary(const std::string& path,
                                                        std::string& temporaryPath) = 0;

  // Gives the closed temporary file the name path, in one step that never replaces anything.
  // Returns false, leaving both as they were, when something that is not a folder has that name
  // (a file, a link, a FIFO), so the caller may try another name. A folder of that name, or any
  // other failure, raises the file-creation error of path.
  virtual bool RenameWithoutReplacing(const std::string& temporaryPath,
                                      const std::string& path) = 0;

  // Gives the closed temporary file the name path in one step, replacing the file of that name.
  // A failure raises the file-creation error of path.
  virtual void RenameReplacing(const std::string& temporaryPath, const std::string& path) = 0;

  // Removes a file this program has just created; failures are ignored.
  virtual void Remove(const std::string& path) = 0;

  // True only when a folder exists at path, also through a link.
  virtual bool IsFolder(const std::string& path) = 0;

  // True only when a folder itself exists at path: a link to one is no folder here.
  virtual bool IsFolderItself(const std::string& path) = 0;

  // Creates one folder (its parent must exist). Returns false when anything, a folder too, has
  // that name already; any other failure raises the folder-creation error with the full path.
  virtual bool CreateFolder(const std::string& path) = 0;

  // True when a file of that name may be made in folder: the name is within the file system's
  // limit on a name (255 bytes on Linux), and on Windows the path stays below MAX_PATH with room
  // for the temporary name the file is written under first.
  virtual bool NameFits(const std::string& folder, const std::string& name) = 0;

  // The path resolved against the current directory.
  virtual std::string FullPath(const std::string& path) = 0;

  // The entries of the folder at path, without "." and "..", in no set order. Raises the I/O
  // error of the table when the folder cannot be listed.
  virtual std::vector<FolderEntry> ListFolder(const std::string& path) = 0;

  // The program's standard input from where it stands; closing it leaves the program's own open.
  virtual std::unique_ptr<ReadableFile> OpenStandardInput() = 0;
};

// The operating system's files.
FileSystem& SystemFileSystem();

// Turns the bytes of a catalogue file-name stem into a UTF-8 file-name component as the window
// takes them: on Windows the bytes are characters of the ANSI code page; elsewhere they are read
// by the ZX character table (ZxText).
std::string FileNameFromCatalogueBytes(std::string_view bytes);

// True when the error is the system's "disk full" (or quota exceeded): nothing more can be
// written there.
bool IsDiskFull(const Error& error);

// dir + separator + name; just name when dir is empty.
std::string JoinPath(const std::string& dir, const std::string& name);

// Reads until target is full or the file ends; returns the number of bytes read.
std::size_t ReadFully(ReadableFile& file, std::span<std::uint8_t> target);

// The first limit bytes of the file (all of it when shorter), read in chunks so that no more is
// held than has arrived; the file is closed after. Raises the I/O error of a failed read or close.
std::vector<std::uint8_t> ReadStart(ReadableFile& file, std::size_t limit);

// ReadStart of the file at path; also raises the I/O error of a failed open.
std::vector<std::uint8_t> ReadFileStart(FileSystem& files, const std::string& path,
                                        std::size_t limit);

// Writes a new file at path holding the parts one after another, one write each: first under a
// temporary name beside it, then renamed to path when complete, so that path never holds part of
// the file. Returns false, leaving nothing behind, when something that is not a folder has path's
// name. Raises the file-creation error when the file cannot be made or named, and
// "Stream write error" when a write falls short or the close fails.
bool WriteNewFile(FileSystem& files, const std::string& path,
                  std::span<const std::span<const std::uint8_t>> parts);

// Writes the file at path as WriteNewFile does, but replaces the file of that name when it is
// complete, in one step, so that path holds either the old file or the new one.
void ReplaceFile(FileSystem& files, const std::string& path,
                 std::span<const std::span<const std::uint8_t>> parts);

// Creates the folder at path with every missing folder above it; nothing when it exists. Raises
// the folder-creation error of the first that cannot be made, also when something that is not a
// folder has its name.
void CreateFolders(FileSystem& files, const std::string& path);

// Raises "File not found", "Is a folder" or "Not a regular file" unless a regular file is at path.
void RequireRegularFile(FileSystem& files, const std::string& path);

// Makes SIGINT, SIGTERM and SIGHUP (on Windows Ctrl-C, Ctrl-Break and the console's closing)
// remove the temporary files being written before the program ends as the signal would have
// ended it. For the command-line tool; a signal the program was started ignoring stays ignored.
// On POSIX systems it starts a thread that waits for the signals, and must be called before any
// other thread is started, so that all of them leave the signals to it.
void RemoveTemporaryFileOnInterrupt();

}  // namespace orlaspin
