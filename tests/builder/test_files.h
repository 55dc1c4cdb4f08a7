// Real files for tests: a fresh folder removed afterwards, and whole-file reads and writes.
// Paths are UTF-8 text, as the core takes them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace orlaspin::testing {

std::filesystem::path PathFromUtf8(const std::string& path);
std::string Utf8FromPath(const std::filesystem::path& path);

// Throws std::runtime_error when the file cannot be read or written.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// A new empty folder under the system's temporary folder, removed with all it holds.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The path of name inside the folder.
  std::string File(const std::string& name) const;
  // The names of everything in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

}  // namespace orlaspin::testing
