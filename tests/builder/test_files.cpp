#include "test_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace orlaspin::testing {

namespace fs = std::filesystem;

fs::path PathFromUtf8(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string Utf8FromPath(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

TempFolder::TempFolder() {
  // Tests of several executables run at once, so the name carries the time and a counter.
  static std::atomic<unsigned> made{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (;;) {
    const fs::path candidate =
        fs::temp_directory_path() /
        ("orlaspin-test-" + std::to_string(stamp) + "-" + std::to_string(made++));
    if (fs::create_directory(candidate)) {
      path_ = Utf8FromPath(candidate);
      return;
    }
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::permissions(PathFromUtf8(path_), fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(PathFromUtf8(path_), ignored);
}

std::string TempFolder::File(const std::string& name) const {
  return Utf8FromPath(PathFromUtf8(path_) / PathFromUtf8(name));
}

std::vector<std::string> TempFolder::Names() const {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(PathFromUtf8(path_))) {
    names.push_back(Utf8FromPath(item.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace orlaspin::testing
