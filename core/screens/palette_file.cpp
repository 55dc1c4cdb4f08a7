#include "screens/palette_file.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "io/disk_file.h"
#include "screens/next_palette.h"

namespace orlaspin {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsComment(std::string_view text) {
  return text.empty() ||
         (text[0] == '#' && (text.size() == 1 || text[1] == ' ' || text[1] == '\t'));
}

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

// "#RRGGBB", then nothing or blanks and a comment.
std::optional<Colour> ColourOfLine(std::string_view line) {
  if (line.size() < 7 || line[0] != '#') return std::nullopt;
  if (line.size() > 7 && kBlanks.find(line[7]) == std::string_view::npos) return std::nullopt;
  if (!IsComment(Trimmed(line.substr(7)))) return std::nullopt;
  std::uint8_t rgb[3];
  for (int i = 0; i < 3; ++i) {
    const auto high = HexDigit(line[1 + 2 * i]);
    const auto low = HexDigit(line[2 + 2 * i]);
    if (!high || !low) return std::nullopt;
    rgb[i] = static_cast<std::uint8_t>(*high * 16 + *low);
  }
  return MakeColour(rgb[0], rgb[1], rgb[2]);
}

PaletteFileError NotAPalette(const std::string& why) {
  return PaletteFileError("not a palette file: " + why);
}

// A line as the user wrote it, shortened and with control bytes as "?", so that a binary file
// cannot flood or garble the message.
std::string Quoted(std::string_view line) {
  constexpr std::size_t kLongest = 40;
  std::string shown(line.substr(0, kLongest));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < ' ') c = '?';
  }
  return "\"" + shown + (line.size() > kLongest ? "...\"" : "\"");
}

constexpr std::size_t kNextPaletteSizes[] = {256, 512, 513};

std::string LowerExtension(std::string_view path) {
  const std::size_t dot = path.find_last_of("./\\");
  if (dot == std::string_view::npos || path[dot] != '.') return {};
  std::string extension(path.substr(dot + 1));
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

// A control byte other than a tab or a line end: no text palette holds one, a Next palette's
// two-byte colours nearly always do.
bool HoldsBinary(std::span<const std::uint8_t> bytes) {
  return std::ranges::any_of(bytes, [](std::uint8_t b) {
    return (b < ' ' && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
  });
}

// .npl is the Next's alone; .pal names text palettes too, so there the content decides.
bool IsNextPaletteFile(std::string_view path, std::span<const std::uint8_t> bytes) {
  const std::string extension = LowerExtension(path);
  return extension == "npl" || (extension == "pal" && HoldsBinary(bytes));
}

}  // namespace

NextPalette ParseNextPalette(std::span<const std::uint8_t> bytes) {
  if (std::ranges::count(kNextPaletteSizes, bytes.size()) == 0) {
    throw NotAPalette("it holds " + std::to_string(bytes.size()) +
                      " bytes; a Next palette file holds 256, 512 or 513");
  }
  const std::size_t colourBytes = bytes.size() == 256 ? 256 : 512;
  const std::vector<Colour> colours =
      NextColours(bytes.first(colourBytes), 256, DefaultNextPalette());
  NextPalette palette{};
  std::ranges::copy(colours, palette.begin());
  return palette;
}

ScreenPalette ParsePalette(std::string_view text, std::string name) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  ScreenPalette palette{std::move(name), {}, std::nullopt};
  std::size_t count = 0;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (IsComment(line)) continue;

    const std::string where = "line " + std::to_string(lineNumber);
    const std::optional<Colour> colour = ColourOfLine(line);
    if (!colour) {
      throw NotAPalette(where + ", " + Quoted(line) +
                        ", is neither a colour #RRGGBB nor a comment (\"# \" and any text)");
    }
    if (count == palette.colours.size()) {
      throw NotAPalette(where + " holds a 17th colour; a palette has 16");
    }
    palette.colours[count++] = *colour;
  }
  if (count < palette.colours.size()) {
    throw NotAPalette("it holds " + std::to_string(count) + " colours; a palette has 16");
  }
  return palette;
}

ScreenPalette ReadPaletteFile(FileSystem& files, const std::string& path) {
  if (!files.IsFile(path)) throw IoError(kFileNotFound);
  std::vector<std::uint8_t> bytes(kLargestPaletteFile + 1);
  const auto file = files.OpenForReading(path);
  bytes.resize(ReadFully(*file, bytes));
  file->Close();
  if (bytes.size() > kLargestPaletteFile) {
    throw NotAPalette("it is longer than " + std::to_string(kLargestPaletteFile) + " bytes");
  }
  if (IsNextPaletteFile(path, bytes)) {
    ScreenPalette palette = DefaultPalette();
    palette.name = path;
    palette.next = ParseNextPalette(bytes);
    return palette;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return ParsePalette(text, path);
}

ScreenPalette PaletteByNameOrFile(FileSystem& files, const std::string& nameOrPath) {
  if (const ScreenPalette* named = FindPalette(nameOrPath)) return *named;
  if (files.IsFile(nameOrPath)) return ReadPaletteFile(files, nameOrPath);
  std::string names;
  for (const ScreenPalette& palette : NamedPalettes()) {
    names += (names.empty() ? "" : ", ") + palette.name;
  }
  throw PaletteFileError("no palette is named \"" + nameOrPath +
                         "\" and no file has that path; the palettes are " + names);
}

}  // namespace orlaspin
