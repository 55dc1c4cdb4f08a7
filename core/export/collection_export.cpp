#include "export/collection_export.h"

#include "export/file_names.h"
#include "encoders/bitmap_file.h"
#include "io/disk_file.h"
#include "containers/screen_source.h"
#include "containers/trd_image.h"
#include "encoders/png_file.h"
#include "screens/screen_frames.h"

namespace orlaspin {

std::string_view OutputExtension(const OutputOptions& options) {
  return options.format == OutputFormat::Png ? kPngExtension : kBitmapExtension;
}

namespace {

std::vector<Picture> FramesOf(const ScreenBytes& screen, const OutputOptions& options) {
  const bool withFlash = options.flash && options.format == OutputFormat::Png;
  return ScreenFrames(screen, options.palette, options.scale, withFlash);
}

std::vector<std::uint8_t> EncodeFrames(std::span<const Picture> frames,
                                       const OutputOptions& options) {
  if (options.format == OutputFormat::Png) return EncodePng(frames, kFlashMilliseconds);
  const Picture& picture = frames.front();
  return EncodeBitmap(picture.pixels, picture.width, picture.height);
}

// A bitmap goes out in its three parts, any other file in one write.
std::vector<std::span<const std::uint8_t>> WriteParts(std::span<const std::uint8_t> file,
                                                      const OutputOptions& options) {
  if (options.format != OutputFormat::Bmp) return {file};
  const auto parts = BitmapParts(file);
  return {parts.begin(), parts.end()};
}

}  // namespace

std::vector<std::uint8_t> EncodeScreenFile(const ScreenBytes& screen,
                                           const OutputOptions& options) {
  return EncodeFrames(FramesOf(screen, options), options);
}

std::string OutputStem(const CollectionFile& file) {
  const std::string stem = MakeSafeName(file.name);
  return file.nameIsFileName ? stem : FileNameFromCatalogueBytes(stem);
}

namespace {

// True when the regular file at path holds exactly the parts one after another; an unreadable
// file holds nothing known.
bool HoldsExactly(FileSystem& files, const std::string& path,
                  std::span<const std::span<const std::uint8_t>> parts) {
  std::vector<std::uint8_t> expected;
  for (const auto part : parts) expected.insert(expected.end(), part.begin(), part.end());
  std::vector<std::uint8_t> present(expected.size() + 1);
  try {
    const auto file = files.OpenForReading(path);
    present.resize(ReadFully(*file, present));
    file->Close();
  } catch (const Error&) {
    return false;
  }
  return present == expected;
}

}  // namespace

SavedFile SaveUnderFreeName(FileSystem& files, const std::string& folder, std::string stem,
                            std::string_view extension,
                            std::span<const std::span<const std::uint8_t>> parts,
                            bool skipIdentical) {
  for (;; stem += kUniquenessSuffix) {
    if (IsDeviceName(stem)) continue;
    const std::string fileName = stem + std::string(extension);
    const std::string path = JoinPath(folder, fileName);
    if (files.IsFile(path)) {
      if (skipIdentical && HoldsExactly(files, path, parts)) return {fileName, true};
      continue;
    }
    if (WriteNewFile(files, path, parts)) return {fileName, false};
  }
}

int ExportCollection(FileSystem& files, const Collection& collection, ScreenSource& source,
                     const std::string& imagePath, const std::string& outputDir,
                     const std::string& subfolder, const OutputOptions& options, ExportView& view) {
  for (const std::string& warning : collection.warnings) view.Warning(imagePath, warning);

  const std::string folder = JoinPath(outputDir, subfolder);
  int count = 0;
  for (const CollectionFile& file : collection.files) {
    if (!file.isScreen) continue;
    const ScreenBytes screen = source.Screen(file);
    const std::vector<Picture> frames = FramesOf(screen, options);
    view.ScreenDecoded(screen, frames.front());
    const std::vector<std::uint8_t> bytes = EncodeFrames(frames, options);
    const SavedFile saved =
        SaveUnderFreeName(files, folder, OutputStem(file), OutputExtension(options),
                          WriteParts(bytes, options), options.skipIdentical);
    const std::string name = subfolder.empty() ? saved.fileName : subfolder + "/" + saved.fileName;
    if (saved.alreadyPresent) {
      view.FileSkipped(name);
    } else {
      ++count;
      view.FileWritten(name);
    }
    view.ScreenSaved(file, name);
  }
  return count;
}

int ExportListedScreens(FileSystem& files, const CatalogueTable& table, int entryCount,
                        const std::string& imagePath, const Palette& palette,
                        const std::string& outputDir, ExportView& view) {
  ImageFileScreenSource source(files, imagePath);
  OutputOptions options;
  options.palette = palette;
  return ExportCollection(files, CollectionOfCatalogue(table, entryCount), source, imagePath,
                          outputDir, {}, options, view);
}

}  // namespace orlaspin
