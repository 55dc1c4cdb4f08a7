#include "zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace orlaspin::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kAllOnes = 0xFFFFFFFF;
constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01

void PutU16(Bytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

void PutU64(Bytes& out, std::uint64_t value) {
  PutU32(out, static_cast<std::uint32_t>(value));
  PutU32(out, static_cast<std::uint32_t>(value >> 32));
}

void PutBytes(Bytes& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void PutText(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

// One member as the headers describe it.
struct Fields {
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;
  std::uint64_t offset = 0;
};

void PutLocalHeader(Bytes& out, const ZipEntry& entry, const Fields& fields, bool zip64) {
  // With a descriptor the local sizes and CRC are zero; ZIP64 keeps its extra field, zeroed.
  const std::uint64_t compressedSize = entry.descriptor ? 0 : fields.compressedSize;
  const std::uint64_t size = entry.descriptor ? 0 : fields.size;
  Bytes extra;
  if (zip64) {
    PutU16(extra, 0x0001);
    PutU16(extra, 16);
    PutU64(extra, size);
    PutU64(extra, compressedSize);
  }
  PutBytes(extra, entry.localExtra);

  PutU32(out, 0x04034B50);
  PutU16(out, zip64 ? 45 : 20);
  PutU16(out, fields.flags);
  PutU16(out, fields.method);
  PutU16(out, 0);
  PutU16(out, kDosDate);
  PutU32(out, entry.descriptor ? 0 : fields.crc);
  PutU32(out, zip64 && !entry.descriptor ? kAllOnes : static_cast<std::uint32_t>(compressedSize));
  PutU32(out, zip64 && !entry.descriptor ? kAllOnes : static_cast<std::uint32_t>(size));
  PutU16(out, static_cast<std::uint32_t>(entry.name.size()));
  PutU16(out, static_cast<std::uint32_t>(extra.size()));
  PutText(out, entry.name);
  PutBytes(out, extra);
}

void PutDescriptor(Bytes& out, const ZipEntry& entry, const Fields& fields, bool zip64) {
  if (entry.descriptorSignature) PutU32(out, 0x08074B50);
  PutU32(out, fields.crc);
  if (zip64) {
    PutU64(out, fields.compressedSize);
    PutU64(out, fields.size);
  } else {
    PutU32(out, static_cast<std::uint32_t>(fields.compressedSize));
    PutU32(out, static_cast<std::uint32_t>(fields.size));
  }
}

void PutCentralHeader(Bytes& out, const ZipEntry& entry, const Fields& fields, bool zip64) {
  Bytes extra;
  if (zip64) {
    PutU16(extra, 0x0001);
    PutU16(extra, 24);
    PutU64(extra, fields.size);
    PutU64(extra, fields.compressedSize);
    PutU64(extra, fields.offset);
  }
  PutU32(out, 0x02014B50);
  PutU16(out, (3 << 8) | 45);  // made on Unix
  PutU16(out, zip64 ? 45 : 20);
  PutU16(out, fields.flags);
  PutU16(out, fields.method);
  PutU16(out, 0);
  PutU16(out, kDosDate);
  PutU32(out, fields.crc);
  PutU32(out, zip64 ? kAllOnes : static_cast<std::uint32_t>(fields.compressedSize));
  PutU32(out, zip64 ? kAllOnes : static_cast<std::uint32_t>(fields.size));
  PutU16(out, static_cast<std::uint32_t>(entry.name.size()));
  PutU16(out, static_cast<std::uint32_t>(extra.size()));
  PutU16(out, 0);  // comment
  PutU16(out, 0);  // disk
  PutU16(out, 0);  // internal attributes
  PutU32(out, 0);  // external attributes
  PutU32(out, zip64 ? kAllOnes : static_cast<std::uint32_t>(fields.offset));
  PutText(out, entry.name);
  PutBytes(out, extra);
}

void PutEndRecords(Bytes& out, std::size_t entries, std::uint64_t directoryAt,
                   std::uint64_t directorySize, const ZipLayout& layout) {
  if (layout.zip64) {
    const std::uint64_t zip64EndAt = out.size();
    PutU32(out, 0x06064B50);
    PutU64(out, 44);  // the record's size after this field
    PutU16(out, 45);
    PutU16(out, 45);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU64(out, entries);
    PutU64(out, entries);
    PutU64(out, directorySize);
    PutU64(out, directoryAt);
    PutU32(out, 0x07064B50);
    PutU32(out, 0);
    PutU64(out, zip64EndAt);
    PutU32(out, 1);
  }
  PutU32(out, 0x06054B50);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU16(out, layout.zip64 ? 0xFFFF : static_cast<std::uint32_t>(entries));
  PutU16(out, layout.zip64 ? 0xFFFF : static_cast<std::uint32_t>(entries));
  PutU32(out, layout.zip64 ? kAllOnes : static_cast<std::uint32_t>(directorySize));
  PutU32(out, layout.zip64 ? kAllOnes : static_cast<std::uint32_t>(directoryAt));
  PutU16(out, static_cast<std::uint32_t>(layout.comment.size()));
  PutText(out, layout.comment);
}

}  // namespace

std::vector<std::uint8_t> BuildZip(std::span<const ZipEntry> entries, const ZipLayout& layout) {
  Bytes archive;
  Bytes directory;
  for (const ZipEntry& entry : entries) {
    const Bytes stored = entry.storedBytes ? *entry.storedBytes
                         : entry.deflate   ? RawDeflate(entry.data)
                                           : entry.data;
    Fields fields;
    fields.flags = static_cast<std::uint16_t>(
        (entry.encrypted ? 1 : 0) | (entry.descriptor ? 8 : 0) | (entry.utf8Name ? 0x800 : 0));
    fields.method = entry.method.value_or(entry.deflate ? 8 : 0);
    fields.crc = entry.crc ? *entry.crc : Crc32Of(entry.data);
    fields.compressedSize = stored.size();
    fields.size = entry.size.value_or(static_cast<std::uint32_t>(entry.data.size()));
    fields.offset = archive.size();
    PutLocalHeader(archive, entry, fields, layout.zip64);
    PutBytes(archive, stored);
    if (entry.descriptor) PutDescriptor(archive, entry, fields, layout.zip64);
    PutCentralHeader(directory, entry, fields, layout.zip64);
  }
  const std::uint64_t directoryAt = archive.size();
  PutBytes(archive, directory);
  PutEndRecords(archive, entries.size(), directoryAt, directory.size(), layout);

  Bytes withPrefix = layout.prefix;
  PutBytes(withPrefix, archive);
  return withPrefix;
}

std::uint32_t Crc32Of(std::span<const std::uint8_t> data) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (const std::uint8_t byte : data) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

std::vector<std::uint8_t> RawDeflate(std::span<const std::uint8_t> data) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  Bytes out(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return out;
}

std::vector<std::uint8_t> SampleBytes(std::size_t size, std::uint32_t seed) {
  static constexpr char kWords[] = "SCREEN GAME LOADER ZX SPECTRUM 128 TR-DOS ";
  Bytes bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    // Mostly words, now and then a random byte.
    bytes[i] = (state >> 28) == 0
                   ? static_cast<std::uint8_t>(state >> 16)
                   : static_cast<std::uint8_t>(kWords[(i + seed) % (sizeof(kWords) - 1)]);
  }
  return bytes;
}

}  // namespace orlaspin::testing
