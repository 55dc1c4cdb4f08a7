// The floor of an export: only the work no converter can avoid, on the very pictures
// orlaspin-cli wrote. scripts/bench times it beside orlaspin-cli.
//
//   orlaspin-bench-floor pack FOLDER PACK   keeps FOLDER's .bmp files as they are and, of its
//                                           .png files, the chunks and the scanlines
//   orlaspin-bench-floor write PACK FOLDER  writes every file again into FOLDER: a bitmap as
//                                           it is; a PNG (or APNG) with its scanlines deflated
//                                           by zlib at level 6 and every chunk's CRC computed
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t U32BE(const std::uint8_t* at) {
  return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
         at[3];
}

void PutU32BE(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes ReadAll(const fs::path& path) {
  Bytes bytes(fs::file_size(path));
  std::ifstream(path, std::ios::binary)
      .read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// The pack: per file its name, a kind byte (0 bitmap, 1 PNG) and its parts, each a 32-bit
// length and its bytes. A PNG's parts are its chunks (type then data) with the deflated data of
// each IDAT and fdAT chunk (after an fdAT's sequence number) inflated: the scanlines.
void PutPart(Bytes& pack, const Bytes& part) {
  PutU32BE(pack, static_cast<std::uint32_t>(part.size()));
  pack.insert(pack.end(), part.begin(), part.end());
}

Bytes Inflated(const Bytes& packed) {
  Bytes out(1 << 20);
  for (;;) {
    uLongf size = out.size();
    const int result = uncompress(out.data(), &size, packed.data(), packed.size());
    if (result == Z_OK) {
      out.resize(size);
      return out;
    }
    if (result != Z_BUF_ERROR) throw std::runtime_error("broken IDAT data");
    out.resize(out.size() * 2);
  }
}

// The bytes of an image data chunk before its deflated data: the sequence number of an fdAT.
std::size_t DataPrefix(const std::uint8_t* type) {
  if (std::equal(type, type + 4, "IDAT")) return 0;
  if (std::equal(type, type + 4, "fdAT")) return 4;
  return std::string::npos;
}

std::vector<Bytes> PngParts(const Bytes& png) {
  std::vector<Bytes> parts;
  for (std::size_t at = sizeof kPngSignature; at + 12 <= png.size();) {
    const std::uint32_t length = U32BE(&png[at]);
    Bytes typed(png.begin() + at + 4, png.begin() + at + 8 + length);
    const std::size_t prefix = DataPrefix(typed.data());
    if (prefix != std::string::npos) {
      const Bytes raw = Inflated(Bytes(typed.begin() + 4 + prefix, typed.end()));
      typed.resize(4 + prefix);
      typed.insert(typed.end(), raw.begin(), raw.end());
    }
    parts.push_back(std::move(typed));
    at += 12 + length;
  }
  return parts;
}

int Pack(const fs::path& folder, const fs::path& packPath) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const auto extension = entry.path().extension();
    if (entry.is_regular_file() && (extension == ".bmp" || extension == ".png")) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  Bytes pack;
  for (const fs::path& file : files) {
    const std::string name = fs::relative(file, folder).generic_string();
    PutPart(pack, Bytes(name.begin(), name.end()));
    const Bytes bytes = ReadAll(file);
    const bool png = file.extension() == ".png";
    pack.push_back(png ? 1 : 0);
    const std::vector<Bytes> parts = png ? PngParts(bytes) : std::vector<Bytes>{bytes};
    PutU32BE(pack, static_cast<std::uint32_t>(parts.size()));
    for (const Bytes& part : parts) PutPart(pack, part);
  }
  std::ofstream(packPath, std::ios::binary)
      .write(reinterpret_cast<const char*>(pack.data()), static_cast<std::streamsize>(pack.size()));
  std::printf("%zu files packed\n", files.size());
  return 0;
}

// A chunk: its length, type and data, and the CRC-32 of type and data.
void PutChunk(Bytes& png, const std::uint8_t* typed, std::size_t size) {
  PutU32BE(png, static_cast<std::uint32_t>(size - 4));
  png.insert(png.end(), typed, typed + size);
  PutU32BE(png, static_cast<std::uint32_t>(crc32(0, typed, static_cast<uInt>(size))));
}

void WriteNew(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, bytes, size) != static_cast<ssize_t>(size) || ::close(fd) != 0) {
    throw std::runtime_error("cannot write " + path);
  }
}

// The pack is mapped, not read: a bitmap goes out straight from it, as from an encoder's buffer.
int Write(const fs::path& packPath, const fs::path& folder) {
  const int fd = ::open(packPath.c_str(), O_RDONLY | O_CLOEXEC);
  const std::size_t packSize = fs::file_size(packPath);
  void* mapped = ::mmap(nullptr, packSize, PROT_READ, MAP_PRIVATE, fd, 0);
  if (fd < 0 || mapped == MAP_FAILED) throw std::runtime_error("cannot map the pack");
  const auto* pack = static_cast<const std::uint8_t*>(mapped);
  std::size_t at = 0;
  const auto part = [&](std::size_t& size) {
    size = U32BE(&pack[at]);
    at += 4 + size;
    return &pack[at - size];
  };
  Bytes file;
  while (at < packSize) {
    std::size_t size = 0;
    const std::uint8_t* name = part(size);
    const fs::path path = folder / std::string(name, name + size);
    fs::create_directories(path.parent_path());
    const bool png = pack[at++] == 1;
    const std::uint32_t count = U32BE(&pack[at]);
    at += 4;
    if (!png) {
      const std::uint8_t* bytes = part(size);
      WriteNew(path.string(), bytes, size);
      continue;
    }
    file.assign(std::begin(kPngSignature), std::end(kPngSignature));
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint8_t* bytes = part(size);
      const std::size_t prefix = DataPrefix(bytes);
      if (prefix != std::string::npos) {
        const std::size_t head = 4 + prefix;
        uLongf packed = compressBound(static_cast<uLong>(size - head));
        Bytes data(head + packed);
        std::copy(bytes, bytes + head, data.begin());
        compress2(data.data() + head, &packed, bytes + head, static_cast<uLong>(size - head),
                  Z_DEFAULT_COMPRESSION);
        PutChunk(file, data.data(), head + packed);
      } else {
        PutChunk(file, bytes, size);
      }
    }
    WriteNew(path.string(), file.data(), file.size());
  }
  ::munmap(mapped, packSize);
  ::close(fd);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: orlaspin-bench-floor pack FOLDER PACK | write PACK FOLDER\n");
    return 2;
  }
  const std::string mode = argv[1];
  try {
    if (mode == "pack") return Pack(argv[2], argv[3]);
    if (mode == "write") return Write(argv[2], argv[3]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "orlaspin-bench-floor: %s\n", error.what());
    return 1;
  }
  return 2;
}
