#include "disk_builders.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace orlaspin::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;

void Append(Bytes& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// Byte by byte: MinGW's GCC 12 warns of a false overflow when a text is inserted whole.
void AppendText(Bytes& out, std::string_view text) {
  for (const char c : text) out.push_back(static_cast<std::uint8_t>(c));
}

void AppendFill(Bytes& out, std::size_t count, std::uint8_t value) {
  out.insert(out.end(), count, value);
}

void PutLE(Bytes& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void SetLE(Bytes& out, std::size_t at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t SizeOf(std::uint8_t sizeCode) { return std::size_t{128} << sizeCode; }

// ---- FDI ----

constexpr std::uint8_t kFdiNoData = 0x40;

// ---- UDI: raw MFM tracks ----

constexpr std::size_t kUdiTrackLength = 6250;

std::uint16_t Crc16Ccitt(std::span<const std::uint8_t> bytes) {
  // A table-free CRC written bit by bit from the polynomial x^16 + x^12 + x^5 + 1.
  std::uint32_t crc = 0xFFFF;
  for (const std::uint8_t byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool top = ((crc >> 15) & 1) != ((byte >> bit) & 1);
      crc = (crc << 1) & 0xFFFF;
      if (top) crc ^= 0x1021;
    }
  }
  return static_cast<std::uint16_t>(crc);
}

// A raw track and which of its bytes are sync marks.
class MfmTrack {
 public:
  void Fill(std::size_t count, std::uint8_t value) { AppendFill(bytes_, count, value); }
  void Marks(std::uint8_t value) {
    for (int i = 0; i < 3; ++i) {
      marks_.push_back(bytes_.size());
      bytes_.push_back(value);
    }
  }
  // The bytes written since `from`, for a CRC.
  std::span<const std::uint8_t> Since(std::size_t from) const {
    return std::span(bytes_).subspan(from);
  }
  std::size_t Size() const { return bytes_.size(); }
  void Put(std::span<const std::uint8_t> bytes) { Append(bytes_, bytes); }
  void PutBigEndian(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
  }

  // The track's bytes filled out to length with 0x4E, then the bitmap of marks.
  Bytes Body(std::size_t length) const {
    Bytes body = bytes_;
    body.resize(std::max(length, body.size()), 0x4E);
    Bytes bitmap((body.size() + 7) / 8, 0);
    for (const std::size_t mark : marks_)
      bitmap[mark / 8] |= static_cast<std::uint8_t>(1 << (mark % 8));
    Append(body, bitmap);
    return body;
  }
  std::size_t RawLength(std::size_t length) const { return std::max(length, bytes_.size()); }

 private:
  Bytes bytes_;
  std::vector<std::size_t> marks_;
};

MfmTrack MfmTrackOf(const TrackRecord& track) {
  MfmTrack raw;
  raw.Fill(80, 0x4E);
  raw.Fill(12, 0x00);
  raw.Marks(0xC2);
  raw.Put(std::vector<std::uint8_t>{0xFC});
  raw.Fill(50, 0x4E);
  for (const SectorRecord& sector : track) {
    raw.Fill(12, 0x00);
    std::size_t from = raw.Size();
    raw.Marks(0xA1);
    raw.Put(
        std::vector<std::uint8_t>{0xFE, sector.cylinder, sector.head, sector.id, sector.sizeCode});
    raw.PutBigEndian(Crc16Ccitt(raw.Since(from)));
    raw.Fill(22, 0x4E);
    if (!sector.data.empty()) {
      raw.Fill(12, 0x00);
      from = raw.Size();
      raw.Marks(0xA1);
      raw.Put(std::vector<std::uint8_t>{0xFB});
      raw.Put(sector.data);
      const std::uint16_t crc = Crc16Ccitt(raw.Since(from));
      raw.PutBigEndian(sector.crcError ? static_cast<std::uint16_t>(~crc) : crc);
    }
    raw.Fill(54, 0x4E);
  }
  return raw;
}

// ---- TD0: sector data encodings ----

constexpr std::uint8_t kTd0NoData = 0x20;
constexpr std::uint8_t kTd0CrcError = 0x02;

// Method 1: entries of a count and a 2-byte pattern, equal neighbouring patterns merged.
Bytes EncodePatterns(std::span<const std::uint8_t> data) {
  Bytes out;
  for (std::size_t i = 0; i < data.size();) {
    std::size_t count = 1;
    while (i + 2 * (count + 1) <= data.size() && count < 0xFFFF && data[i + 2 * count] == data[i] &&
           data[i + 2 * count + 1] == data[i + 1]) {
      ++count;
    }
    PutLE(out, count, 2);
    out.push_back(data[i]);
    out.push_back(data[i + 1]);
    i += 2 * count;
  }
  return out;
}

// Method 2: runs of a repeated 2-byte block (type 1) where one repeats, literals elsewhere.
Bytes EncodeRuns(std::span<const std::uint8_t> data) {
  auto repeats = [&data](std::size_t at) {
    std::size_t count = 1;
    while (at + 2 * (count + 1) <= data.size() && count < 255 && data[at + 2 * count] == data[at] &&
           data[at + 2 * count + 1] == data[at + 1]) {
      ++count;
    }
    return count;
  };
  Bytes out;
  std::size_t literalStart = 0;
  auto flushLiterals = [&](std::size_t end) {
    while (literalStart < end) {
      const std::size_t n = std::min<std::size_t>(255, end - literalStart);
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(n));
      Append(out, data.subspan(literalStart, n));
      literalStart += n;
    }
  };
  for (std::size_t i = 0; i < data.size();) {
    const std::size_t count = i + 1 < data.size() ? repeats(i) : 1;
    if (count < 3) {
      i += 2;
      continue;
    }
    flushLiterals(i);
    out.push_back(1);
    out.push_back(static_cast<std::uint8_t>(count));
    out.push_back(data[i]);
    out.push_back(data[i + 1]);
    i += 2 * count;
    literalStart = i;
  }
  flushLiterals(data.size());
  return out;
}

Bytes Td0DataBlock(std::span<const std::uint8_t> data, std::size_t serial) {
  const std::uint8_t method = static_cast<std::uint8_t>(serial % 3);
  Bytes encoded = method == 0   ? Bytes(data.begin(), data.end())
                  : method == 1 ? EncodePatterns(data)
                                : EncodeRuns(data);
  Bytes block;
  PutLE(block, encoded.size() + 1, 2);
  block.push_back(method);
  Append(block, encoded);
  return block;
}

// ---- DSK ----

constexpr std::uint8_t kSt1DataError = 0x20;
constexpr std::uint8_t kSt2DataError = 0x20;
constexpr std::uint8_t kSt2NoDataMark = 0x01;

std::size_t StoredLength(const SectorRecord& sector) {
  return sector.data.empty() ? 0 : SizeOf(sector.sizeCode);
}

Bytes DskTrack(const TrackRecord& track, std::size_t cylinder, std::size_t head, bool extended) {
  Bytes block;
  AppendText(block, "Track-Info\r\n");
  AppendFill(block, 4, 0);
  block.push_back(static_cast<std::uint8_t>(cylinder));
  block.push_back(static_cast<std::uint8_t>(head));
  AppendFill(block, 2, 0);
  block.push_back(track.empty() ? 2 : track.front().sizeCode);
  block.push_back(static_cast<std::uint8_t>(track.size()));
  block.push_back(0x4E);
  block.push_back(0xE5);
  for (const SectorRecord& sector : track) {
    Append(block,
           std::vector<std::uint8_t>{sector.cylinder, sector.head, sector.id, sector.sizeCode});
    block.push_back(sector.crcError ? kSt1DataError : 0);
    block.push_back(static_cast<std::uint8_t>((sector.crcError ? kSt2DataError : 0) |
                                              (sector.data.empty() ? kSt2NoDataMark : 0)));
    PutLE(block, extended ? StoredLength(sector) : 0, 2);
  }
  block.resize(std::max<std::size_t>(256, (block.size() + 255) / 256 * 256), 0);
  for (const SectorRecord& sector : track) {
    Bytes data = sector.data;
    // A standard image stores every sector at the track's size, filler where it has no data.
    const std::size_t size = extended ? StoredLength(sector) : SizeOf(track.front().sizeCode);
    data.resize(size, 0xE5);
    Append(block, data);
  }
  return block;
}

// ---- +3DOS ----

constexpr std::size_t kPlus3SectorsPerTrack = 9;
constexpr std::size_t kPlus3SectorSize = 512;
constexpr std::uint8_t kPlus3SectorOrder[kPlus3SectorsPerTrack] = {1, 6, 2, 7, 3, 8, 4, 9, 5};

std::uint8_t Log2(std::size_t value) {
  std::uint8_t log = 0;
  while ((std::size_t{1} << log) < value) ++log;
  return log;
}

Bytes FileContent(const Plus3File& file) {
  Bytes content;
  if (file.headerType) content = Plus3DosHeader(file);
  Append(content, file.data);
  content.resize((content.size() + 127) / 128 * 128, 0x1A);
  return content;
}

Bytes DirectoryEntry(const Plus3File& file, std::size_t extent, std::size_t records,
                     std::span<const std::size_t> blocks, bool wide) {
  Bytes entry;
  entry.push_back(file.user);
  std::string name = file.name, extension = file.extension;
  name.resize(8, ' ');
  extension.resize(3, ' ');
  AppendText(entry, name);
  AppendText(entry, extension);
  entry.push_back(static_cast<std::uint8_t>(extent & 0x1F));
  entry.push_back(0);
  entry.push_back(static_cast<std::uint8_t>(extent >> 5));
  entry.push_back(static_cast<std::uint8_t>(records));
  for (const std::size_t block : blocks) PutLE(entry, block, wide ? 2 : 1);
  entry.resize(32, 0);
  return entry;
}

}  // namespace

SectorRecord& DiskRecord::Sector(std::size_t cylinder, std::size_t head, std::uint8_t id) {
  for (SectorRecord& sector : Track(cylinder, head)) {
    if (sector.id == id) return sector;
  }
  throw std::out_of_range("no sector " + std::to_string(id));
}

DiskRecord TrDosDisk(std::span<const std::uint8_t> linear, std::size_t cylinders,
                     std::size_t heads) {
  DiskRecord disk{cylinders, heads, {}};
  for (std::size_t t = 0; t < cylinders * heads; ++t) {
    TrackRecord track;
    for (const std::uint8_t id : kTrDosInterleave) {
      SectorRecord sector{.cylinder = static_cast<std::uint8_t>(t / heads),
                          .head = static_cast<std::uint8_t>(t % heads),
                          .id = id,
                          .sizeCode = 1,
                          .data = Bytes(256, 0)};
      const std::size_t at = (t * 16 + id - 1) * 256;
      if (at < linear.size()) {
        std::copy_n(linear.begin() + static_cast<std::ptrdiff_t>(at),
                    std::min<std::size_t>(256, linear.size() - at), sector.data.begin());
      }
      track.push_back(std::move(sector));
    }
    disk.tracks.push_back(std::move(track));
  }
  return disk;
}

std::vector<std::uint8_t> BuildFdi(const DiskRecord& disk) {
  const std::string description = "built for a test";
  std::size_t headersSize = 0;
  for (const TrackRecord& track : disk.tracks) headersSize += 7 + 7 * track.size();
  const std::size_t descriptionAt = 14 + headersSize;
  const std::size_t dataAt = descriptionAt + description.size() + 1;

  Bytes fdi;
  AppendText(fdi, "FDI");
  fdi.push_back(0);
  PutLE(fdi, disk.cylinders, 2);
  PutLE(fdi, disk.heads, 2);
  PutLE(fdi, descriptionAt, 2);
  PutLE(fdi, dataAt, 2);
  PutLE(fdi, 0, 2);
  Bytes data;
  for (const TrackRecord& track : disk.tracks) {
    PutLE(fdi, data.size(), 4);
    PutLE(fdi, 0, 2);
    fdi.push_back(static_cast<std::uint8_t>(track.size()));
    const std::size_t trackStart = data.size();
    for (const SectorRecord& sector : track) {
      Append(fdi,
             std::vector<std::uint8_t>{sector.cylinder, sector.head, sector.id, sector.sizeCode});
      // Flag bits 0-5 tell sizes 128 to 4096 read with a right CRC.
      const std::uint8_t crcRight =
          sector.sizeCode < 6 ? static_cast<std::uint8_t>(1u << sector.sizeCode) : 0;
      fdi.push_back(sector.data.empty() ? kFdiNoData : sector.crcError ? 0 : crcRight);
      PutLE(fdi, data.size() - trackStart, 2);
      Append(data, sector.data);
    }
  }
  AppendText(fdi, description);
  fdi.push_back(0);
  Append(fdi, data);
  return fdi;
}

std::uint32_t ExpectedUdiChecksum(std::span<const std::uint8_t> bytes) {
  std::int32_t crc = -1;
  for (const std::uint8_t c : bytes) {
    crc ^= -1 ^ c;
    for (int k = 0; k < 8; ++k) {
      const std::int32_t t = -(crc & 1);
      crc >>= 1;
      crc ^= static_cast<std::int32_t>(0xEDB88320u) & t;
    }
    crc ^= -1;
  }
  return static_cast<std::uint32_t>(crc);
}

std::vector<std::uint8_t> BuildUdi(const DiskRecord& disk, const UdiOptions& options) {
  Bytes udi;
  AppendText(udi, "UDI!");
  PutLE(udi, 0, 4);  // set at the end
  udi.push_back(0);
  udi.push_back(static_cast<std::uint8_t>(disk.cylinders - 1));
  udi.push_back(static_cast<std::uint8_t>(disk.heads - 1));
  udi.push_back(0);
  PutLE(udi, options.extendedHeader.size(), 4);
  Append(udi, options.extendedHeader);
  for (const TrackRecord& track : disk.tracks) {
    const MfmTrack raw = MfmTrackOf(track);
    const std::size_t length = raw.RawLength(kUdiTrackLength);
    const Bytes body = raw.Body(kUdiTrackLength);
    if (!options.compressTracks) {
      udi.push_back(0x00);
      PutLE(udi, length, 2);
      Append(udi, body);
      continue;
    }
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()), 9) !=
        Z_OK) {
      throw std::runtime_error("zlib cannot compress a track");
    }
    packed.resize(packedSize);
    udi.push_back(0xF0);
    PutLE(udi, packed.size() - 1, 2);
    udi.push_back(0x00);
    PutLE(udi, length, 2);
    Append(udi, packed);
  }
  SetLE(udi, 4, udi.size(), 4);
  PutLE(udi, ExpectedUdiChecksum(udi), 4);
  return udi;
}

std::uint16_t ExpectedTeledisksCrc(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0;
  for (const std::uint8_t byte : bytes) {
    for (int bit = 7; bit >= 0; --bit) {
      const bool top = ((crc >> 15) ^ (byte >> bit)) & 1;
      crc = static_cast<std::uint16_t>(crc << 1);
      if (top) crc ^= 0xA097;
    }
  }
  return crc;
}

std::vector<std::uint8_t> BuildTd0(const DiskRecord& disk, const Td0Options& options) {
  Bytes td0;
  AppendText(td0, options.advancedCompression ? "td" : "TD");
  Append(td0, std::vector<std::uint8_t>{0, 0x29, 0x15, 0x02, 0x02});
  td0.push_back(options.comment.empty() ? 0x00 : 0x80);
  td0.push_back(0);
  td0.push_back(static_cast<std::uint8_t>(disk.heads));
  PutLE(td0, ExpectedTeledisksCrc(td0), 2);
  if (!options.comment.empty()) {
    Bytes comment;
    PutLE(comment, options.comment.size(), 2);
    Append(comment, std::vector<std::uint8_t>{98, 9, 18, 12, 30, 0});
    AppendText(comment, options.comment);
    PutLE(td0, ExpectedTeledisksCrc(comment), 2);
    Append(td0, comment);
  }
  std::size_t serial = 0;
  for (std::size_t t = 0; t < disk.tracks.size(); ++t) {
    const TrackRecord& track = disk.tracks[t];
    const std::size_t header = td0.size();
    Append(td0, std::vector<std::uint8_t>{static_cast<std::uint8_t>(track.size()),
                                          static_cast<std::uint8_t>(t / disk.heads),
                                          static_cast<std::uint8_t>(t % disk.heads)});
    td0.push_back(static_cast<std::uint8_t>(ExpectedTeledisksCrc(std::span(td0).subspan(header))));
    for (const SectorRecord& sector : track) {
      const bool madeUp = sector.sizeCode > 6;
      const bool hasData = !sector.data.empty() && !madeUp;
      std::uint8_t flags = sector.crcError ? kTd0CrcError : 0;
      if (sector.data.empty() && !madeUp) flags |= kTd0NoData;
      Append(td0, std::vector<std::uint8_t>{sector.cylinder, sector.head, sector.id,
                                            sector.sizeCode, flags});
      td0.push_back(hasData ? static_cast<std::uint8_t>(ExpectedTeledisksCrc(sector.data)) : 0);
      if (hasData) Append(td0, Td0DataBlock(sector.data, serial++));
    }
  }
  Append(td0, std::vector<std::uint8_t>{0xFF, 0, 0, 0});
  return td0;
}

std::vector<std::uint8_t> BuildDsk(const DiskRecord& disk, bool extended) {
  std::vector<Bytes> tracks;
  for (std::size_t t = 0; t < disk.tracks.size(); ++t) {
    tracks.push_back(DskTrack(disk.tracks[t], t / disk.heads, t % disk.heads, extended));
  }
  std::size_t longest = 0;
  for (const Bytes& track : tracks) longest = std::max(longest, track.size());

  Bytes dsk;
  AppendText(dsk, extended ? "EXTENDED CPC DSK File\r\nDisk-Info\r\n"
                           : "MV - CPCEMU Disk-File\r\nDisk-Info\r\n");
  AppendText(dsk, "Orlaspin test");
  dsk.resize(0x30, 0);
  dsk.push_back(static_cast<std::uint8_t>(disk.cylinders));
  dsk.push_back(static_cast<std::uint8_t>(disk.heads));
  PutLE(dsk, extended ? 0 : longest, 2);
  for (std::size_t t = 0; extended && t < disk.tracks.size(); ++t) {
    const std::size_t pages = (tracks[t].size() + 255) / 256;
    dsk.push_back(disk.tracks[t].empty() ? 0 : static_cast<std::uint8_t>(pages));
  }
  dsk.resize(0x100, 0);
  for (std::size_t t = 0; t < tracks.size(); ++t) {
    if (extended && disk.tracks[t].empty()) continue;
    Bytes track = tracks[t];
    track.resize(extended ? (track.size() + 255) / 256 * 256 : longest, 0);
    Append(dsk, track);
  }
  return dsk;
}

Plus3File Plus3Screen(const std::string& name, const ScreenBytes& screen) {
  return {name, "SCR", std::uint8_t{3}, 16384, Bytes(screen.begin(), screen.end()), 0};
}

std::vector<std::uint8_t> Plus3DosHeader(const Plus3File& file) {
  Bytes header;
  AppendText(header, "PLUS3DOS");
  Append(header, std::vector<std::uint8_t>{0x1A, 1, 0});
  PutLE(header, 128 + file.data.size(), 4);
  header.push_back(file.headerType.value_or(0));
  PutLE(header, file.data.size(), 2);
  PutLE(header, file.param1, 2);
  PutLE(header, 32768, 2);
  header.resize(127, 0);
  unsigned sum = 0;
  for (const std::uint8_t byte : header) sum += byte;
  header.push_back(static_cast<std::uint8_t>(sum % 256));
  return header;
}

DiskRecord Plus3Disk(std::span<const Plus3File> files, const Plus3Format& format) {
  const std::size_t trackCount = format.tracksPerSide * format.sides;
  const std::size_t blockCount = (trackCount - format.reservedTracks) * kPlus3SectorsPerTrack *
                                 kPlus3SectorSize / format.blockSize;
  const bool wide = blockCount > 255;
  const std::size_t blocksPerEntry = wide ? 8 : 16;
  const std::size_t recordsPerEntry = blocksPerEntry * format.blockSize / 128;

  // The data area as one run of bytes, block 0 first, with the sectors no whole block covers.
  Bytes area((trackCount - format.reservedTracks) * kPlus3SectorsPerTrack * kPlus3SectorSize, 0xE5);
  Bytes directory;
  std::size_t nextBlock = format.directoryBlocks;
  for (const Plus3File& file : files) {
    const Bytes content = FileContent(file);
    const std::size_t records = content.size() / 128;
    const std::size_t entries =
        std::max<std::size_t>(1, (records + recordsPerEntry - 1) / recordsPerEntry);
    for (std::size_t e = 0; e < entries; ++e) {
      const std::size_t inEntry = std::min(recordsPerEntry, records - e * recordsPerEntry);
      const std::size_t extentsUsed = std::max<std::size_t>(1, (inEntry + 127) / 128);
      std::vector<std::size_t> blocks;
      for (std::size_t r = 0; r < inEntry; r += format.blockSize / 128) {
        const std::size_t offset = (e * recordsPerEntry + r) * 128;
        const std::size_t n = std::min(format.blockSize, content.size() - offset);
        std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(offset), n,
                    area.begin() + static_cast<std::ptrdiff_t>(nextBlock * format.blockSize));
        if (nextBlock >= blockCount) throw std::length_error("the files do not fit on the disk");
        blocks.push_back(nextBlock++);
      }
      Append(directory, DirectoryEntry(file, e * (recordsPerEntry / 128) + extentsUsed - 1,
                                       inEntry - (extentsUsed - 1) * 128, blocks, wide));
    }
  }
  if (directory.size() > format.directoryBlocks * format.blockSize) {
    throw std::length_error("too many directory entries");
  }
  std::copy(directory.begin(), directory.end(), area.begin());

  Bytes geometryRecord(kPlus3SectorSize, 0xE5);
  if (!format.blankGeometryRecord) {
    const std::vector<std::uint8_t> fields = {static_cast<std::uint8_t>(format.sides == 1 ? 0 : 3),
                                              static_cast<std::uint8_t>(format.sides - 1),
                                              static_cast<std::uint8_t>(format.tracksPerSide),
                                              kPlus3SectorsPerTrack,
                                              Log2(kPlus3SectorSize / 128),
                                              static_cast<std::uint8_t>(format.reservedTracks),
                                              Log2(format.blockSize / 128),
                                              static_cast<std::uint8_t>(format.directoryBlocks),
                                              0x2A,
                                              0x52};
    std::copy(fields.begin(), fields.end(), geometryRecord.begin());
  }

  DiskRecord disk{format.tracksPerSide, format.sides, {}};
  for (std::size_t t = 0; t < trackCount; ++t) {
    // Logical track t lies on cylinder t / sides, side t % sides.
    const std::size_t cylinder = t / format.sides, head = t % format.sides;
    TrackRecord track;
    for (const std::uint8_t id : kPlus3SectorOrder) {
      SectorRecord sector{.cylinder = static_cast<std::uint8_t>(cylinder),
                          .head = static_cast<std::uint8_t>(head),
                          .id = id,
                          .sizeCode = 2,
                          .data = Bytes(kPlus3SectorSize, 0xE5)};
      if (t == 0 && id == 1) sector.data = geometryRecord;
      if (t >= format.reservedTracks) {
        const std::size_t at =
            ((t - format.reservedTracks) * kPlus3SectorsPerTrack + id - 1) * kPlus3SectorSize;
        std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(at), kPlus3SectorSize,
                    sector.data.begin());
      }
      track.push_back(std::move(sector));
    }
    disk.tracks.push_back(std::move(track));
  }
  return disk;
}

}  // namespace orlaspin::testing
