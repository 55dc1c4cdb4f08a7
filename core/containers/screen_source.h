// Where a listed file's screen bytes come from: the image's bytes in memory, or the image file
// itself, read again at each screen.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "containers/collection.h"

namespace orlaspin {

class FileSystem;

class ScreenSource {
 public:
  virtual ~ScreenSource() = default;
  // The ScreenFileSize(file) bytes of file's screen, for its format's decoder; bytes the source
  // does not supply are zero.
  virtual std::vector<std::uint8_t> ScreenFile(const CollectionFile& file) = 0;
};

// The screens of a collection whose image is in memory.
class CollectionScreenSource final : public ScreenSource {
 public:
  CollectionScreenSource(const Collection& collection, std::span<const std::uint8_t> image)
      : collection_(collection), image_(image) {}
  std::vector<std::uint8_t> ScreenFile(const CollectionFile& file) override {
    return CollectionScreenFile(collection_, image_, file);
  }

 private:
  const Collection& collection_;
  std::span<const std::uint8_t> image_;
};

// Each screen read from the image file at its turn, so an image changed or gone since it was
// listed is met as it is now: a missing file raises "File not found", a failed open, seek, read or
// close its I/O error.
class ImageFileScreenSource final : public ScreenSource {
 public:
  ImageFileScreenSource(FileSystem& files, std::string path)
      : files_(files), path_(std::move(path)) {}
  std::vector<std::uint8_t> ScreenFile(const CollectionFile& file) override;

 private:
  FileSystem& files_;
  std::string path_;
};

}  // namespace orlaspin
