// The images a run reads: the files the user names, the files in the folders they name (when
// folders are walked) and the members of every ZIP archive among them, one image at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "export/path_filter.h"
#include "io/errors.h"
#include "io/problems.h"

namespace orlaspin {

class FileSystem;

// An image to read: ReadCollection(name, bytes) reads it.
struct SourceImage {
  // The path the user knows it by: the path as named, then "/" and the path inside the named
  // folder or archive ("collection/sub/GAME.trd", "games.zip/dir/GAME.trd",
  // "collection/games.zip/inner.zip/GAME.trd"). Its last part is the file's or member's own name,
  // whose extension chooses the reader.
  std::string path;
  // The name whose extension chooses the reader and whose stem names a bare screen or a snapshot:
  // the file's or member's own, or for a gzip file the name of the file inside it ("GAME.tzx" of
  // "GAME.tzx.gz").
  std::string name;
  // The folders, from the output folder down, that take the image's screens: the named folder's
  // name, the folders below it, an archive's stem, the member's own folders, and last the image's
  // stem ({"collection", "sub", "GAME"}, {"games", "dir", "GAME"}; {"GAME"} for a file named on
  // its own). Each part is one name as found, without separators, not yet made safe. The parts
  // above the image's stem are never empty, "." or ".." (those are left out, so no member's path
  // can climb above its archive); the image's stem is there as it is, even empty or dots alone.
  std::vector<std::string> folders;
  // A file's bytes, up to kLargestImageRead, or a member's, checked against its CRC-32.
  std::vector<std::uint8_t> bytes;
  // Which of the named paths it was found in (from 0).
  std::size_t namedIndex = 0;
};

// A fault that loses only what it names: a member skipped (encrypted, damaged, too large, an
// archive nested too deep) or damage to an archive's directory. path is the member's or the
// archive's, as SourceImage::path.
struct SourceWarning {
  std::string path;
  Warning warning;
};

// Nothing could be read at path: a named path that does not exist ("File not found"), a named
// folder when folders are not walked, a file or folder that cannot be read (its I/O error), an
// archive that is no ZIP archive. error is the Error raised, cut down to the base class: show it
// with path, as its message may not say which file it is about.
struct SourceFailure {
  std::string path;
  Error error;
};

// A file passed over: of no known kind, an entry of a walked folder that is neither a file nor
// a folder (a link to a folder, a device), which is never followed, or a file, folder or member
// the filter leaves out. why says which.
struct SourceSkipped {
  std::string path;
  std::string why;
};

using SourceItem = std::variant<SourceImage, SourceWarning, SourceFailure, SourceSkipped>;

// The name ends in ".zip", any case.
bool HasZipExtension(std::string_view path);

// A named path of "-" is standard input, read to its end and known as "stdin".
inline constexpr std::string_view kStandardInputPath = "-";
inline constexpr std::string_view kStandardInputName = "stdin";

// The path the images of a named path are told by: "stdin" for "-", else the path itself.
std::string_view ShownNamedPath(std::string_view named);

// An archive inside this many archives is not opened (a warning says so).
inline constexpr int kDeepestArchive = 3;
// A ZIP file is read up to here; one longer loses the members past it, with a warning.
inline constexpr std::size_t kLargestArchiveRead = std::size_t{256} << 20;

// Walks what the user named and yields every image in it, one at a time; only the image it
// returns and the archives it lies in are held in memory. Not for use by several threads.
//
// A named file is always an image, whatever its kind (its reader says if it is none), unless it
// is a ZIP archive; a named folder is walked when walkFolders is set. In a walk and in an archive,
// a file is an image when IsKnownImage says so; others are skipped and counted. A ZIP archive is
// recognised by its extension ".zip" (any case), or by its signature when its extension names no
// image kind, and its members are read, wherever it is, to kDeepestArchive archives deep. A gzip
// file, known by its extension ".gz" or its signature, is read as the file inside it, at most
// kLargestImageRead bytes long (kLargestArchiveRead for a ".zip" inside).
//
// A named path, folder entry or member whose path (as SourceImage::path, "stdin" for standard
// input) an exclude of the filter matches is left out unread, a folder or archive with all in it;
// so is a file of no known kind that no include matches. Whether an image is kept by its
// includes is for WalkImages to decide once it is read, as its files' names may match them.
class ImageSources {
 public:
  ImageSources(FileSystem& files, std::vector<std::string> namedPaths, bool walkFolders,
               PathFilter filter = {});
  ~ImageSources();
  ImageSources(const ImageSources&) = delete;
  ImageSources& operator=(const ImageSources&) = delete;

  // The next image, warning or failure; nothing once all is done. The order is stable: the named
  // paths in the order given; a folder's entries sorted by the bytes of their names, a folder
  // walked where it sorts; an archive's members in the order of its directory. Faults of one path
  // never end the walk: they come as warnings and failures. Only a failed allocation raises.
  std::optional<SourceItem> Next();

  // The files and members passed over so far because they are no known image, and entries of
  // walked folders that are neither files nor folders nor links to folders (devices, FIFOs).
  int SkippedCount() const { return skipped_; }

 private:
  struct Level;

  void VisitNamed(const std::string& path);
  void VisitFile(const std::string& path, const std::vector<std::string>& parentFolders,
                 bool named);
  void VisitFolderEntry(Level& folder);
  void VisitMember(Level& archive);
  void Offer(const std::string& path, std::string_view name,
             const std::vector<std::string>& parentFolders, std::vector<std::uint8_t> bytes,
             bool named, int depth);
  void OfferGzip(const std::string& path, std::string_view name,
                 const std::vector<std::string>& parentFolders, std::span<const std::uint8_t> bytes,
                 bool named, int depth);
  void OpenFolder(const std::string& path, std::vector<std::string> folders);
  void OpenArchive(const std::string& path, std::vector<std::string> folders,
                   std::vector<std::uint8_t> bytes, int depth);
  void Warn(const std::string& path, Warning warning);
  void Fail(const std::string& path, const Error& error);
  void Skip(const std::string& path, std::string why);
  // True when the filter leaves path out, which is then told.
  bool LeftOut(const std::string& path);

  FileSystem& files_;
  std::vector<std::string> named_;
  std::size_t nextNamed_ = 0;
  bool walkFolders_;
  PathFilter filter_;
  // The folders and archives being read, innermost last.
  std::vector<std::unique_ptr<Level>> levels_;
  // Items found but not yet returned, in order.
  std::deque<SourceItem> ready_;
  int skipped_ = 0;
};

}  // namespace orlaspin
