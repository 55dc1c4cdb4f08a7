// The picture files a screen can be written as: one table, a row per format, gives each one's
// name, extension, encoder and the writes its bytes go out in.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "screens/screen_frames.h"

namespace orlaspin {

// The key of a row of the table; the rows are in this order.
enum class OutputFormat { Bmp, Png };

using FileParts = std::vector<std::span<const std::uint8_t>>;

struct OutputFormatRow {
  OutputFormat format;
  std::string_view name;       // as the command line names it: "bmp"
  std::string_view extension;  // with its dot: ".bmp"
  // The whole file of the pictures enlarged scale (1-8) times, into file, whose bytes it replaces;
  // a format that does not animate takes the first frame.
  void (*encode)(const ScreenPictures& pictures, int scale, std::vector<std::uint8_t>& file);
  // The file's bytes in the parts the window writes, one write each.
  FileParts (*windowParts)(std::span<const std::uint8_t> file);
  bool animates;  // holds several frames (FLASH, a flickering gigascreen)
};

// Every row, in the order of the OutputFormat values.
std::span<const OutputFormatRow> OutputFormatRows();
const OutputFormatRow& OutputFormatRowOf(OutputFormat format);

// The row named name (lower case, compared exactly), or nullptr.
const OutputFormatRow* FindOutputFormat(std::string_view name);

// The row whose extension ends path, in any case, or nullptr.
const OutputFormatRow* OutputFormatOfPath(std::string_view path);

}  // namespace orlaspin
