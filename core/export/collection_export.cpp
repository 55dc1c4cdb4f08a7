#include "export/collection_export.h"

#include <algorithm>

#include "export/file_names.h"
#include "io/disk_file.h"
#include "containers/screen_source.h"
#include "encoders/output_format.h"
#include "screens/screen_format.h"
#include "text/zx_characters.h"

namespace orlaspin {

ScreenOptions ScreenOptionsFor(const CollectionFile& file, const OutputOptions& options) {
  const bool animates = OutputFormatRowOf(options.format).animates;
  ScreenOptions screen;
  screen.palette = options.palette;
  screen.flash = options.flash && animates;
  // A still file holds one picture: a gigascreen in it is always the blend.
  screen.gigascreen = animates ? options.gigascreen : GigascreenView::Blend;
  if (options.border.shown) {
    screen.border = options.border.colour.value_or(file.border.value_or(kResetBorder));
  }
  return screen;  // at scale 1: the scale that fits is known only from the picture
}

namespace {

// The largest scale up to the one asked for at which the picture's sides stay within
// kLargestPictureSide; at least 1.
int FittingScale(const Picture& picture, int scale) {
  const int longest = std::max(picture.width, picture.height);
  while (scale > 1 && longest * scale > kLargestPictureSide) --scale;
  return scale;
}

// The scale asked for, or the largest at which the picture fits, which a warning to the view then
// names.
int ScaleToWrite(const Picture& picture, const CollectionFile& file, const OutputOptions& options,
                 const std::string& imagePath, ExportView& view) {
  const int scale = FittingScale(picture, options.scale);
  if (scale < options.scale) {
    view.Warn(imagePath,
              {Problem::PictureScaleReduced, OutputStem(file, options),
               Details(picture.width, picture.height, options.scale, kLargestPictureSide, scale)});
  }
  return scale;
}

// The first 6912 bytes of a screen file, zeros past its end.
ScreenBytes FirstScreenBytes(std::span<const std::uint8_t> bytes) {
  ScreenBytes screen{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), screen.size()), screen.begin());
  return screen;
}

}  // namespace

std::string OutputStem(const CollectionFile& file, const OutputOptions& options) {
  const std::string stem = MakeSafeName(file.name);
  if (file.nameIsFileName) return stem;
  return options.windowNames ? FileNameFromCatalogueBytes(stem) : ZxText(stem);
}

std::string ShownName(const CollectionFile& file) {
  return file.nameIsFileName ? file.name : ZxText(file.name);
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
  FreeNames names(files, folder, std::move(stem), extension);
  for (;;) {
    const std::string fileName = names.Next();
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
  const std::string folder = JoinPath(outputDir, subfolder);
  const OutputFormatRow& output = OutputFormatRowOf(options.format);
  std::vector<std::uint8_t> bytes;  // each file's in turn
  int count = 0;
  for (const CollectionFile& file : collection.files) {
    if (!file.isScreen) continue;
    const std::vector<std::uint8_t> screen = source.ScreenFile(file);
    const ScreenPictures pictures =
        DecodeScreenFile(file.screenFormat, screen, ScreenOptionsFor(file, options));
    const int scale = ScaleToWrite(pictures.frames.front(), file, options, imagePath, view);
    view.ScreenDecoded(FirstScreenBytes(screen), pictures.frames.front());
    output.encode(pictures, scale, bytes);
    const FileParts parts = options.windowWrites ? output.windowParts(bytes) : FileParts{bytes};
    const SavedFile saved = SaveUnderFreeName(files, folder, OutputStem(file, options),
                                              output.extension, parts, options.skipIdentical);
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

}  // namespace orlaspin
