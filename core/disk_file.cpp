#include "disk_file.h"

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

}  // namespace orlaspin
