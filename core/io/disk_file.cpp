#include "io/disk_file.h"

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
