#include "io/disk_file.h"

#include <algorithm>

#include "io/errors.h"

namespace orlaspin {

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  const char last = dir.back();
  if (last == '/' || last == '\\') return dir + name;
  return dir + "/" + name;
}

std::size_t ReadFully(ReadableFile& file, std::span<std::uint8_t> target) {
  std::size_t total = 0;
  while (total < target.size()) {
    const std::size_t got = file.Read(target.subspan(total));
    if (got == 0) break;
    total += got;
  }
  return total;
}

std::vector<std::uint8_t> ReadFileStart(FileSystem& files, const std::string& path,
                                        std::size_t limit) {
  constexpr std::size_t kChunk = 1 << 16;
  std::vector<std::uint8_t> bytes;
  const auto file = files.OpenForReading(path);
  while (bytes.size() < limit) {
    const std::size_t before = bytes.size();
    bytes.resize(std::min(limit, before + kChunk));
    const std::size_t got = ReadFully(*file, std::span(bytes).subspan(before));
    bytes.resize(before + got);
    if (got == 0) break;
  }
  file->Close();
  return bytes;
}

bool WriteNewFile(FileSystem& files, const std::string& path,
                  std::span<const std::span<const std::uint8_t>> parts) {
  auto file = files.CreateNew(path);
  if (!file) return false;
  bool complete = true;
  for (const auto part : parts) {
    if (file->Write(part) != part.size()) {
      complete = false;
      break;
    }
  }
  complete = file->Close() && complete;
  if (!complete) {
    files.Remove(path);
    throw StreamWriteError();
  }
  return true;
}

}  // namespace orlaspin
