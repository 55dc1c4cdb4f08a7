// Exporting the screens of a collection of any kind as BMP or PNG files.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "containers/hidden_screens.h"
#include "encoders/output_format.h"
#include "io/errors.h"
#include "io/problems.h"
#include "screens/palettes.h"
#include "screens/screen.h"
#include "screens/screen_options.h"

namespace orlaspin {

class FileSystem;
class ScreenSource;
struct Collection;
struct CollectionFile;
struct Picture;

// The screen inside its border, 32 pixels left and right and 24 above and below (at scale 1).
struct BorderChoice {
  bool shown = false;
  // The colour (0-7) of every screen's border; absent: the colour the source records with the
  // screen (CollectionFile::border), else white, the machine's border after reset. Screen files
  // that carry their own border keep it.
  std::optional<std::uint8_t> colour;
};

// The border after reset, for screens whose source records none.
inline constexpr std::uint8_t kResetBorder = 7;

// No side of a written picture is longer: a larger scale asked for gives way to the largest that
// fits, with a warning.
inline constexpr int kLargestPictureSide = 4096;

struct OutputOptions {
  OutputFormat format = OutputFormat::Bmp;
  int scale = 1;       // 1-8
  bool flash = false;  // PNG only: a second frame with the FLASH cells' ink and paper swapped
  // A screen whose file is already there, byte for byte, under one of the names tried for it is
  // not written again.
  bool skipIdentical = false;
  ScreenPalette palette = DefaultPalette();
  // Flicker (PNG only): a gigascreen as its two screens in turn, kFlickerFrameMilliseconds each.
  GigascreenView gigascreen = GigascreenView::Blend;
  BorderChoice border = {};
  HiddenScreens hidden = {};  // screens brought out of files that are not screens
  // Catalogue names become file names as the window takes them (FileNameFromCatalogueBytes),
  // not by the ZX character table that is the same on every build.
  bool windowNames = false;
  // Files are written as the window writes them (OutputFormatRow::windowParts), not in one write.
  bool windowWrites = false;
};

// What the decoder of a listed file's screen is asked for, at scale 1: the palette, FLASH and a
// flickering gigascreen for a PNG, and the border chosen.
ScreenOptions ScreenOptionsFor(const CollectionFile& file, const OutputOptions& options);

// The file-name stem for a listed file: MakeSafeName of its name, a catalogue name's bytes then
// read by the ZX character table (ZxText), or as the window reads them (windowNames).
std::string OutputStem(const CollectionFile& file, const OutputOptions& options);

// The listed file's name as text to show (UTF-8): a catalogue name's bytes by the ZX character
// table, a file's name as it is.
std::string ShownName(const CollectionFile& file);

// Where SaveUnderFreeName put a file: written as fileName, or found already present as fileName.
struct SavedFile {
  std::string fileName;
  bool alreadyPresent = false;
};

// Saves the parts, one write each, in folder under the first name of FreeNames that is free
// (also when a file appears between the test and the creation); never replaces a file. With
// skipIdentical, a taken name whose file holds exactly the parts ends the search and nothing is
// written. Raises the file-creation error, or "Stream write error".
SavedFile SaveUnderFreeName(FileSystem& files, const std::string& folder, std::string stem,
                            std::string_view extension,
                            std::span<const std::span<const std::uint8_t>> parts,
                            bool skipIdentical);

class ExportView {
 public:
  virtual ~ExportView() = default;
  // A fault of a screen that loses nothing: a picture enlarged less than asked.
  virtual void Warn(const std::string& /*imagePath*/, const Warning& /*warning*/) {}
  // A screen was decoded, before its file is written: screen is the first 6912 bytes of its file
  // (all of a standard screen's), picture its first frame before it is enlarged.
  virtual void ScreenDecoded(const ScreenBytes& /*screen*/, const Picture& /*picture*/) {}
  // A file was written; name is its path inside the output folder, "/" after a subfolder.
  virtual void FileWritten(const std::string& name) = 0;
  // A screen was not written: the file name (as for FileWritten) already holds exactly its bytes
  // (OutputOptions::skipIdentical).
  virtual void FileSkipped(const std::string& name) { static_cast<void>(name); }
  // After FileWritten or FileSkipped: the file of this listed file's screen is name.
  virtual void ScreenSaved(const CollectionFile& /*file*/, const std::string& /*name*/) {}
};

// Exports every screen of a collection, in catalogue order, each read from source at its turn and
// decoded as its format (DecodeScreenFile), into outputDir's subfolder (outputDir itself when
// subfolder is empty; the current folder when both are), which must exist; the collection's own
// warnings are the caller's to tell. A picture that the scale would make larger than
// kLargestPictureSide is written at the largest scale that fits, with a warning. Returns the number
// of screens written. An error (a screen file its format's decoder refuses among them) ends the
// export where it occurs; the files written stay.
int ExportCollection(FileSystem& files, const Collection& collection, ScreenSource& source,
                     const std::string& imagePath, const std::string& outputDir,
                     const std::string& subfolder, const OutputOptions& options, ExportView& view);

}  // namespace orlaspin
