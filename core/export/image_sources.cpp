#include "export/image_sources.h"

#include <algorithm>

#include "containers/gzip_file.h"
#include "containers/image_reader.h"
#include "containers/zip_archive.h"
#include "io/disk_file.h"

namespace orlaspin {

// A folder being walked (entries) or an archive being read (bytes, members; depth > 0).
struct ImageSources::Level {
  std::string path;                  // as SourceImage::path
  std::vector<std::string> folders;  // the output folders of what lies in it
  std::vector<FolderEntry> entries;
  std::vector<std::uint8_t> bytes;
  std::vector<ZipMember> members;
  std::size_t next = 0;
  int depth = 0;  // how many archives deep: 1 for an archive in a folder or named

  bool IsArchive() const { return depth > 0; }
  bool IsDone() const { return next == (IsArchive() ? members.size() : entries.size()); }
};

namespace {

// The parts with name added, unless it is no folder name of its own.
std::vector<std::string> WithPart(std::vector<std::string> parts, std::string_view name) {
  if (!name.empty() && name != "." && name != "..") parts.emplace_back(name);
  return parts;
}

// The parts with the folders of a member's path added ("a/b/GAME.trd" adds "a" and "b").
std::vector<std::string> WithMemberFolders(std::vector<std::string> parts,
                                           std::string_view memberName) {
  for (std::size_t slash; (slash = memberName.find_first_of("/\\")) != std::string_view::npos;) {
    parts = WithPart(std::move(parts), memberName.substr(0, slash));
    memberName.remove_prefix(slash + 1);
  }
  return parts;
}

// A named folder's own name: its path's last part, trailing separators aside.
std::string_view FolderName(std::string_view path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.remove_suffix(1);
  return FileNamePart(path);
}

}  // namespace

std::string_view ShownNamedPath(std::string_view named) {
  return named == kStandardInputPath ? kStandardInputName : named;
}

bool HasZipExtension(std::string_view path) {
  const std::string_view name = FileNamePart(path);
  const std::string_view extension = name.substr(FileStem(path).size());
  return extension.size() == 4 && extension[0] == '.' &&
         std::equal(extension.begin() + 1, extension.end(), "zip",
                    [](char c, char lower) { return (c | 0x20) == lower; });
}

ImageSources::ImageSources(FileSystem& files, std::vector<std::string> namedPaths, bool walkFolders,
                           PathFilter filter)
    : files_(files),
      named_(std::move(namedPaths)),
      walkFolders_(walkFolders),
      filter_(std::move(filter)) {}

ImageSources::~ImageSources() = default;

std::optional<SourceItem> ImageSources::Next() {
  while (ready_.empty()) {
    if (!levels_.empty()) {
      Level& level = *levels_.back();
      if (level.IsDone()) {
        levels_.pop_back();
      } else if (level.IsArchive()) {
        VisitMember(level);
      } else {
        VisitFolderEntry(level);
      }
    } else if (nextNamed_ < named_.size()) {
      VisitNamed(named_[nextNamed_++]);
    } else {
      return std::nullopt;
    }
  }
  SourceItem item = std::move(ready_.front());
  ready_.pop_front();
  return item;
}

void ImageSources::VisitNamed(const std::string& path) {
  if (LeftOut(std::string(ShownNamedPath(path)))) return;
  if (path == kStandardInputPath) {
    const std::string name(kStandardInputName);
    try {
      const auto input = files_.OpenStandardInput();
      Offer(name, name, {}, ReadStart(*input, kLargestArchiveRead + 1), true, 0);
    } catch (const Error& error) {
      Fail(name, error);
    }
    return;
  }
  if (walkFolders_ && files_.IsFolder(path)) {
    OpenFolder(path, WithPart({}, FolderName(path)));
    return;
  }
  // "File not found", "Is a folder" or "Not a regular file": a FIFO or device is never opened.
  try {
    RequireRegularFile(files_, path);
  } catch (const Error& error) {
    Fail(path, error);
    return;
  }
  VisitFile(path, {}, true);
}

void ImageSources::VisitFile(const std::string& path, const std::vector<std::string>& parentFolders,
                             bool named) {
  // One byte past the archive limit shows that an archive is longer.
  // Archives and gzip files may be longer than any image.
  const std::string_view name = FileNamePart(path);
  const bool container = HasZipExtension(name) || HasGzipExtension(name);
  const std::size_t limit = container ? kLargestArchiveRead + 1 : kLargestImageRead;
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadFileStart(files_, path, limit);
  } catch (const Error& error) {
    Fail(path, error);
    return;
  }
  Offer(path, FileNamePart(path), parentFolders, std::move(bytes), named, 0);
}

void ImageSources::VisitFolderEntry(Level& folder) {
  const FolderEntry& entry = folder.entries[folder.next++];
  const std::string path = JoinPath(folder.path, entry.name);
  if (LeftOut(path)) return;
  switch (entry.kind) {
    case EntryKind::File: VisitFile(path, folder.folders, false); return;
    case EntryKind::Folder: OpenFolder(path, WithPart(folder.folders, entry.name)); return;
    case EntryKind::LinkToFolder:
      // Told, but no file of an unknown kind: not counted.
      ready_.emplace_back(SourceSkipped{path, "a link to a folder; not followed"});
      return;
    case EntryKind::Other: Skip(path, "neither a file nor a folder; not followed"); return;
  }
}

void ImageSources::VisitMember(Level& archive) {
  const ZipMember& member = archive.members[archive.next++];
  const std::string path = archive.path + "/" + member.name;
  if (LeftOut(path)) return;
  ZipMemberData data = ExtractZipMember(archive.bytes, member);
  if (data.problem) {
    Warn(path, std::move(*data.problem));
    return;
  }
  Offer(path, FileNamePart(member.name), WithMemberFolders(archive.folders, member.name),
        std::move(data.bytes), false, archive.depth);
}

void ImageSources::Offer(const std::string& path, std::string_view name,
                         const std::vector<std::string>& parentFolders,
                         std::vector<std::uint8_t> bytes, bool named, int depth) {
  // A ".zip" is an archive even when its size makes it look like a bare screen.
  const bool zipByName = HasZipExtension(name);
  const bool gzipByName = HasGzipExtension(name);
  const bool isImage = !zipByName && !gzipByName && IsKnownImage(name, bytes);
  if (!isImage && (gzipByName || HasGzipSignature(bytes))) {
    OfferGzip(path, name, parentFolders, bytes, named, depth);
  } else if (!isImage && (zipByName || HasZipSignature(bytes))) {
    if (depth == kDeepestArchive) {
      Warn(path, {Problem::ArchiveTooDeep, {}, Details(depth)});
      return;
    }
    OpenArchive(path, WithPart(parentFolders, FileStem(name)), std::move(bytes), depth + 1);
  } else if (isImage || named) {
    // The image's own folder keeps its stem even when that is empty or dots: it is named after
    // the image, never taken for the folder above.
    std::vector<std::string> folders = parentFolders;
    folders.emplace_back(FileStem(name));
    ready_.emplace_back(
        SourceImage{path, std::string(name), std::move(folders), std::move(bytes), nextNamed_ - 1});
  } else if (!filter_.IsIncluded(path)) {
    ready_.emplace_back(SourceSkipped{path, std::string(kNotIncluded)});
  } else {
    Skip(path, "of no known kind");
  }
}

// The file inside takes the gzip file's place; a damaged one is skipped with a warning, or fails
// when it was named.
void ImageSources::OfferGzip(const std::string& path, std::string_view name,
                             const std::vector<std::string>& parentFolders,
                             std::span<const std::uint8_t> bytes, bool named, int depth) {
  const std::string innerName(GzipInnerName(name));
  // Only an archive inside may be longer than any image.
  const std::size_t most = HasZipExtension(innerName) ? kLargestArchiveRead : kLargestImageRead;
  GzipContent inner = Gunzip(bytes, most);
  if (!inner.problem.empty()) {
    if (named) {
      Fail(path, ImageFormatError(inner.problem));
    } else {
      Warn(path, {Problem::GzipFileSkipped, {}, Details(inner.problem)});
    }
    return;
  }
  if (HasGzipExtension(innerName) || HasGzipSignature(inner.bytes)) {
    Warn(path, {Problem::GzipInsideGzip});
    return;
  }
  Offer(path, innerName, parentFolders, std::move(inner.bytes), named, depth);
}

void ImageSources::OpenFolder(const std::string& path, std::vector<std::string> folders) {
  auto level = std::make_unique<Level>();
  try {
    level->entries = files_.ListFolder(path);
  } catch (const Error& error) {
    Fail(path, error);
    return;
  }
  std::sort(level->entries.begin(), level->entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  level->path = path;
  level->folders = std::move(folders);
  levels_.push_back(std::move(level));
}

void ImageSources::OpenArchive(const std::string& path, std::vector<std::string> folders,
                               std::vector<std::uint8_t> bytes, int depth) {
  if (bytes.size() > kLargestArchiveRead) {
    bytes.resize(kLargestArchiveRead);
    Warn(path, {Problem::ArchiveTooLong, {}, Details(kLargestArchiveRead >> 20)});
  }
  auto level = std::make_unique<Level>();
  try {
    ZipListing listing = ListZipMembers(bytes);
    for (Warning& warning : listing.warnings) Warn(path, std::move(warning));
    level->members = std::move(listing.members);
  } catch (const ImageFormatError& error) {
    Fail(path, error);
    return;
  }
  level->path = path;
  level->folders = std::move(folders);
  level->bytes = std::move(bytes);
  level->depth = depth;
  levels_.push_back(std::move(level));
}

void ImageSources::Warn(const std::string& path, Warning warning) {
  ready_.emplace_back(SourceWarning{path, std::move(warning)});
}

void ImageSources::Fail(const std::string& path, const Error& error) {
  ready_.emplace_back(SourceFailure{path, error});
}

bool ImageSources::LeftOut(const std::string& path) {
  const std::string glob = filter_.ExcludedBy(path);
  if (glob.empty()) return false;
  ready_.emplace_back(SourceSkipped{path, ExcludedText(glob)});
  return true;
}

void ImageSources::Skip(const std::string& path, std::string why) {
  ++skipped_;
  ready_.emplace_back(SourceSkipped{path, std::move(why)});
}

}  // namespace orlaspin
