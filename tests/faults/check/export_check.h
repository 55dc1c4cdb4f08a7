// What the fault and hostile-input tests and the fuzz targets check an export against: the
// entries an image must give, worked out from the catalogue layout rather than by the code under
// test; the screen each must show; the failure texts the program has; a folder's contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::testing {

using Bytes = std::vector<std::uint8_t>;

// An entry that the batch must take: its raw name (up to the first zero byte) and where its
// screen starts.
struct TakenEntry {
  std::string name;
  std::size_t offset = 0;
};

// The listed entries of an image (missing bytes read as zero) whose length is 6912, in order.
std::vector<TakenEntry> ExpectedTakenEntries(std::span<const std::uint8_t> image);

// The 6912 bytes at offset of an image, zero where the image ends.
ScreenBytes ScreenAt(std::span<const std::uint8_t> image, std::size_t offset);

// The stem a catalogue name must give: unsafe bytes and bytes below 32 made "_" one for one,
// outer spaces gone, and "_" after a Windows device word (the part before the first dot,
// trailing spaces ignored: CON, PRN, AUX, NUL, COM0-9, LPT0-9 in any case).
std::string ExpectedSafeStem(std::string_view name);

// True when the stem, as Windows reads a file name, names a device.
bool NamesDevice(std::string_view stem);

// The bitmap file of the screen at each offset of an image, worked out once per offset.
class ExpectedBitmaps {
 public:
  explicit ExpectedBitmaps(std::span<const std::uint8_t> image) : image_(image) {}
  const Bytes& At(std::size_t offset);

 private:
  std::span<const std::uint8_t> image_;
  std::map<std::size_t, Bytes> files_;
};

// True for the texts the program shows for a failure: the I/O error table ("File not found",
// "Invalid filename", "Too many open files", "File access denied", "I/O error <code>"), the
// creation error "Cannot create file "<path>". <reason>" and "Stream write error".
bool IsKnownErrorText(const std::string& message);

// Every entry of a folder: name (UTF-8) to its bytes; a folder, a link or another thing that is
// not a plain file maps to nothing.
using FolderContents = std::map<std::string, std::optional<Bytes>>;
FolderContents ReadFolder(const std::string& folder);

}  // namespace orlaspin::testing
