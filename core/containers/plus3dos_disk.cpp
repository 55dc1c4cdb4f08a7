#include "containers/plus3dos_disk.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "containers/sector_damage.h"
#include "screens/plus3dos_header.h"

namespace orlaspin {

namespace {

constexpr std::size_t kGeometryRecordSize = 10;
constexpr std::uint8_t kGeometryRecordSectorId = 1;
constexpr std::uint8_t kBlank = 0xE5;  // what formatting leaves in every byte
// A blank geometry record sector means the +3's own format: single-sided, 40 tracks of 9 sectors
// of 512 bytes, 1 reserved track, blocks of 1 KB, 2 directory blocks.
constexpr std::uint8_t kPlus3GeometryRecord[] = {0, 0, 40, 9, 2, 1, 3, 2, 0x2A, 0x52};
// Amstrad CPC formats, told by the sector IDs of track 0.
constexpr std::uint8_t kCpcIdMask = 0xC0;
constexpr std::uint8_t kCpcSystemIds = 0x40;
constexpr std::uint8_t kCpcDataIds = 0xC0;

constexpr std::size_t kEntrySize = 32;
constexpr std::uint8_t kLastUser = 15;  // higher first bytes: free entries, labels, time stamps
constexpr std::size_t kRecordSize = 128;
constexpr std::size_t kRecordsPerExtent = 128;
constexpr std::size_t kLargestDirectoryBlocks = 16;

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kHeaderFileLengthAt = 11;  // the whole file's, the header's 128 bytes in
constexpr std::size_t kHeaderTypeAt = 15;
constexpr std::size_t kHeaderLengthAt = 16;
constexpr std::size_t kHeaderStartAt = 18;
constexpr std::uint8_t kBytesType = 3;
constexpr const char* kTypeNames[] = {"Program", "Number array", "Character array", "Bytes"};
// A file whose header holds no BASIC header of these types (some tools write "TAPEFILE" there).
constexpr const char* kHeadedType = "headed";
// The most missing bytes read as zeros after a file cut short: a BASIC header's longest length.
constexpr std::size_t kLongestPadding = 0xFFFF;

struct Geometry {
  std::size_t sides = 1;  // two: logical tracks alternate between the sides
  std::size_t tracksPerSide = 40;
  std::size_t sectorsPerTrack = 9;
  std::size_t sectorSize = 512;
  std::size_t reservedTracks = 1;
  std::size_t blockSize = 1024;
  std::size_t directoryBlocks = 2;
  std::uint8_t firstSectorId = 1;

  std::size_t BlockCount() const {
    return (tracksPerSide * sides - reservedTracks) * sectorsPerTrack * sectorSize / blockSize;
  }
  // Directory entries hold 16 one-byte block numbers, or 8 two-byte ones on a larger disk.
  bool WideBlockNumbers() const { return BlockCount() > 255; }
};

[[noreturn]] void NotPlus3Dos(const std::string& why) {
  throw ImageFormatError("not a +3DOS disk: " + why);
}

Geometry GeometryFromRecord(std::span<const std::uint8_t> geometryRecord) {
  if (geometryRecord.size() < kGeometryRecordSize) {
    NotPlus3Dos("the geometry record in track 0 sector 1 is cut short");
  }
  if (std::all_of(geometryRecord.begin(), geometryRecord.begin() + kGeometryRecordSize,
                  [](std::uint8_t byte) { return byte == kBlank; })) {
    geometryRecord = kPlus3GeometryRecord;
  }
  const std::uint8_t format = geometryRecord[0], sidedness = geometryRecord[1] & 3;
  if (format != 0 && format != 3) {
    NotPlus3Dos("its geometry record names format " + std::to_string(format));
  }
  if (sidedness > 1) {
    NotPlus3Dos("its sides follow one another, a layout this program does not read");
  }
  const std::uint8_t sizeShift = geometryRecord[4], blockShift = geometryRecord[6];
  if (sizeShift > 3 || blockShift < 3 || blockShift > 7 || blockShift < sizeShift) {
    NotPlus3Dos("its geometry record gives sectors of code " + std::to_string(sizeShift) +
                " and blocks of code " + std::to_string(blockShift));
  }
  Geometry geometry;
  geometry.sides = sidedness + 1u;
  geometry.tracksPerSide = geometryRecord[2];
  geometry.sectorsPerTrack = geometryRecord[3];
  geometry.sectorSize = std::size_t{128} << sizeShift;
  geometry.reservedTracks = geometryRecord[5];
  geometry.blockSize = std::size_t{128} << blockShift;
  geometry.directoryBlocks = geometryRecord[7];
  if (geometry.sectorsPerTrack == 0 ||
      geometry.tracksPerSide * geometry.sides <= geometry.reservedTracks ||
      geometry.directoryBlocks == 0 || geometry.directoryBlocks > kLargestDirectoryBlocks ||
      geometry.directoryBlocks >= geometry.BlockCount()) {
    NotPlus3Dos("its geometry record gives no room for a directory and files");
  }
  return geometry;
}

using SectorMap = std::map<std::uint32_t, const DiskSector*>;

std::uint32_t SectorKey(std::size_t cylinder, std::size_t head, std::size_t id) {
  return static_cast<std::uint32_t>((cylinder << 16) | (head << 8) | id);
}

Geometry DetectGeometry(std::span<const DiskSector> sectors, const SectorMap& map) {
  const auto first = std::find_if(sectors.begin(), sectors.end(), [](const DiskSector& sector) {
    return sector.cylinder == 0 && sector.head == 0;
  });
  if (first == sectors.end()) NotPlus3Dos("the image has no track 0");
  Geometry geometry;  // the CPC formats differ from the +3's in these fields alone
  if ((first->id & kCpcIdMask) == kCpcSystemIds) {
    geometry.reservedTracks = 2;
    geometry.firstSectorId = kCpcSystemIds + 1;
    return geometry;
  }
  if ((first->id & kCpcIdMask) == kCpcDataIds) {
    geometry.reservedTracks = 0;
    geometry.firstSectorId = kCpcDataIds + 1;
    return geometry;
  }
  const auto geometryRecord = map.find(SectorKey(0, 0, kGeometryRecordSectorId));
  if (geometryRecord == map.end()) {
    NotPlus3Dos("track 0 has no sector 1 with the geometry record");
  }
  return GeometryFromRecord(geometryRecord->second->data);
}

class Plus3Disk {
 public:
  explicit Plus3Disk(std::span<const DiskSector> sectors) {
    for (const DiskSector& sector : sectors) {
      map_.emplace(SectorKey(sector.cylinder, sector.head, sector.id), &sector);
    }
    geometry_ = DetectGeometry(sectors, map_);
  }

  const Geometry& Layout() const { return geometry_; }

  // Appends the block's bytes to out: zeros for sectors missing or past the end of the disk.
  void AppendBlock(std::size_t block, std::vector<std::uint8_t>& out, SectorDamage& damage) const {
    const std::size_t sectorsPerBlock = geometry_.blockSize / geometry_.sectorSize;
    for (std::size_t k = 0; k < sectorsPerBlock; ++k) {
      const std::size_t logical = block * sectorsPerBlock + k;
      const std::size_t track = geometry_.reservedTracks + logical / geometry_.sectorsPerTrack;
      const std::size_t id = geometry_.firstSectorId + logical % geometry_.sectorsPerTrack;
      const auto found = map_.find(SectorKey(track / geometry_.sides, track % geometry_.sides, id));
      const std::size_t at = out.size();
      out.resize(at + geometry_.sectorSize, 0);
      ++damage.sectors;
      if (block >= geometry_.BlockCount() || found == map_.end() || found->second->data.empty()) {
        ++damage.missing;
        continue;
      }
      const DiskSector& sector = *found->second;
      const std::size_t present = std::min(sector.data.size(), geometry_.sectorSize);
      std::copy_n(sector.data.begin(), present, out.begin() + static_cast<std::ptrdiff_t>(at));
      if (sector.damaged || present < geometry_.sectorSize) ++damage.damaged;
    }
  }

 private:
  SectorMap map_;
  Geometry geometry_;
};

// The directory's entries of one file, in the order the directory lists them.
struct DirectoryFile {
  std::vector<std::span<const std::uint8_t>> entries;
};

std::size_t ExtentNumber(std::span<const std::uint8_t> entry) {
  return 32 * std::size_t{entry[14] & 0x3Fu} + (entry[12] & 0x1Fu);
}

// The files of the directory, each in the order its first entry comes.
std::vector<DirectoryFile> GroupEntries(std::span<const std::uint8_t> directory) {
  std::vector<DirectoryFile> files;
  std::map<std::string, std::size_t> byKey;  // user, name and type, attribute bits cleared
  for (std::size_t at = 0; at + kEntrySize <= directory.size(); at += kEntrySize) {
    const auto entry = directory.subspan(at, kEntrySize);
    if (entry[0] > kLastUser) continue;
    std::string key(1, static_cast<char>(entry[0]));
    for (std::size_t i = 1; i < 12; ++i) key += static_cast<char>(entry[i] & 0x7F);
    const auto [place, added] = byKey.emplace(key, files.size());
    if (added) files.emplace_back();
    files[place->second].entries.push_back(entry);
  }
  for (DirectoryFile& file : files) {
    std::stable_sort(file.entries.begin(), file.entries.end(),
                     [](auto a, auto b) { return ExtentNumber(a) < ExtentNumber(b); });
  }
  return files;
}

std::string TrimmedText(std::span<const std::uint8_t> field) {
  std::string text;
  for (const std::uint8_t byte : field) text += static_cast<char>(byte & 0x7F);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// "NAME.EXT", or "NAME" when the type is blank.
std::string DirectoryName(std::span<const std::uint8_t> entry) {
  const std::string name = TrimmedText(entry.subspan(1, 8));
  const std::string type = TrimmedText(entry.subspan(9, 3));
  return type.empty() ? name : name + "." + type;
}

class FileAssembler {
 public:
  FileAssembler(const Plus3Disk& disk, Collection& collection)
      : disk_(disk), collection_(collection) {}

  // Adds the file to the collection, its bytes to collection.unpacked; false, adding nothing,
  // when they would pass kLargestPlus3Files.
  bool Add(const DirectoryFile& file) {
    const Geometry& geometry = disk_.Layout();
    const auto last = file.entries.back();
    const std::uint64_t records =
        ExtentNumber(last) * kRecordsPerExtent + std::min<std::size_t>(last[15], kRecordsPerExtent);
    const std::vector<std::size_t> blocks = BlocksOf(file);
    const std::uint64_t size =
        std::min<std::uint64_t>(records * kRecordSize, blocks.size() * geometry.blockSize);
    std::vector<std::uint8_t>& bytes = collection_.unpacked;
    // Room for the file and for zeros up to the longest length a header can give.
    if (bytes.size() + std::max<std::uint64_t>(size, kHeaderSize + 0xFFFF) > kLargestPlus3Files) {
      return false;
    }
    const std::size_t start = bytes.size();
    SectorDamage damage;
    for (const std::size_t block : blocks) {
      if (bytes.size() - start >= size) break;
      disk_.AppendBlock(block, bytes, damage);
    }
    bytes.resize(start + static_cast<std::size_t>(size));

    CollectionFile listed;
    listed.name = DirectoryName(file.entries.front());
    const std::string what = FileDescription(listed.name);
    WarnOfDamage(what, damage, collection_.warnings);
    if (records * kRecordSize > size) {
      collection_.warnings.push_back(
          {Problem::Plus3BlocksShort, what, Details(size, records * kRecordSize)});
    }
    Describe(listed, start, static_cast<std::size_t>(size));
    collection_.files.push_back(std::move(listed));
    return true;
  }

 private:
  // The file's block numbers in order, the unused zeros left out.
  std::vector<std::size_t> BlocksOf(const DirectoryFile& file) const {
    std::vector<std::size_t> blocks;
    const bool wide = disk_.Layout().WideBlockNumbers();
    for (const auto entry : file.entries) {
      const auto pointers = entry.subspan(16);
      for (std::size_t i = 0; i < pointers.size(); i += wide ? 2 : 1) {
        const std::size_t block = wide ? U16At(pointers, i) : pointers[i];
        if (block != 0) blocks.push_back(block);
      }
    }
    return blocks;
  }

  // Fills in what the file's PLUS3DOS header says, if it has one, and where its data lies.
  void Describe(CollectionFile& listed, std::size_t start, std::size_t size) {
    std::vector<std::uint8_t>& bytes = collection_.unpacked;
    const auto content = std::span<const std::uint8_t>(bytes).subspan(start, size);
    if (!HasPlus3DosHeader(content)) {
      listed.type = "headerless";
      listed.length = static_cast<std::uint32_t>(size);
      listed.offset = start;
      return;
    }
    const std::uint32_t fileLength = U32At(content, kHeaderFileLengthAt);
    listed.length = fileLength > kHeaderSize ? fileLength - kHeaderSize : 0;
    listed.offset = start + kHeaderSize;
    const std::uint8_t type = content[kHeaderTypeAt];
    if (type < std::size(kTypeNames)) {
      listed.type = kTypeNames[type];
      listed.start = U16At(content, kHeaderStartAt);
      listed.isScreen = type == kBytesType && U16At(content, kHeaderLengthAt) == kScreenBytes;
    } else {
      listed.type = kHeadedType;
    }
    if (fileLength > size) {
      collection_.warnings.push_back({Problem::Plus3FileCutShort, FileDescription(listed.name),
                                      Details(size - kHeaderSize, listed.length)});
      const std::size_t padded = std::min<std::size_t>(listed.length, kLongestPadding);
      bytes.resize(std::max(bytes.size(), start + kHeaderSize + padded), 0);
    }
  }

  const Plus3Disk& disk_;
  Collection& collection_;
};

}  // namespace

Collection ReadPlus3DosFiles(std::span<const DiskSector> sectors) {
  const Plus3Disk disk(sectors);
  Collection collection{ImageKind::Dsk, {}, {}, {}};
  std::vector<std::uint8_t> directory;
  SectorDamage directoryDamage;
  for (std::size_t block = 0; block < disk.Layout().directoryBlocks; ++block) {
    disk.AppendBlock(block, directory, directoryDamage);
  }
  WarnOfDamage("the directory", directoryDamage, collection.warnings);

  FileAssembler assembler(disk, collection);
  for (const DirectoryFile& file : GroupEntries(directory)) {
    if (!assembler.Add(file)) {
      collection.warnings.push_back({Problem::Plus3TooManyFiles,
                                     {},
                                     Details(kLargestPlus3Files >> 20, collection.files.size())});
      break;
    }
  }
  return collection;
}

}  // namespace orlaspin
