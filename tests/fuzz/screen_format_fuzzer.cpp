// Any bytes as a bare screen file of any row of the format table: the row's decoder takes what
// its row accepts, and the frames are what the table promises, whatever the bytes: frames of one
// size, the row's picture size (inside the plain border when asked for), delays only for an
// animation, and a standard screen exactly as the window shows it.
//
// Input: a byte picking the row (its value modulo the rows) and the row's extension (the value
// divided by the rows), a byte of options (bit 0 flash, bit 1 flicker, bits 2-4 the palette and
// the border colour, bit 5 a border), then the file.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "oracle.h"
#include "screens/screen_format.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

ScreenOptions OptionsOf(std::uint8_t choice) {
  const auto palettes = NamedPalettes();
  ScreenOptions options;
  options.flash = (choice & 1) != 0;
  options.gigascreen = (choice & 2) ? GigascreenView::Flicker : GigascreenView::Blend;
  options.palette = palettes[((choice >> 2) & 7) % palettes.size()];
  if (choice & 0x20) options.border = static_cast<std::uint8_t>((choice >> 2) & 7);
  return options;
}

std::string_view ExtensionOf(const ScreenFormatRow& row, std::size_t pick) {
  const auto count = static_cast<std::size_t>(
      std::ranges::count_if(row.extensions, [](std::string_view e) { return !e.empty(); }));
  return row.extensions[pick % count];
}

struct Size {
  int width = 0;
  int height = 0;
  bool atMost = false;  // "up to W x H"
};

// The row's picture size: "W x H", or "up to W x H".
Size PromisedSize(std::string_view picture) {
  Size size;
  if (picture.starts_with("up to ")) {
    size.atMost = true;
    picture.remove_prefix(6);
  }
  const auto [end, error] = std::from_chars(picture.begin(), picture.end(), size.width);
  FuzzRequire(error == std::errc() && std::string_view(end, picture.end()).starts_with(" x "),
              "a row's picture reads W x H");
  std::from_chars(end + 3, picture.end(), size.height);
  return size;
}

void CheckStandardAsTheWindowShowsIt(std::span<const std::uint8_t> bytes, const Picture& frame) {
  ScreenBytes screen;
  std::copy_n(bytes.begin(), kScreenBytes, screen.begin());
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      FuzzRequire(frame.pixels[static_cast<std::size_t>(y) * 256 + x] ==
                      ColourValue(OraclePixel(screen, x, y)),
                  "a standard screen is the window's picture");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto rows = ScreenFormatRows();
  const ScreenFormatRow& row = rows[data[0] % rows.size()];
  const ScreenOptions options = OptionsOf(data[1]);
  const std::span<const std::uint8_t> bytes(data + 2, size - 2);
  const std::optional<ScreenFormat> format =
      ScreenFormatOf(ExtensionOf(row, data[0] / rows.size()), bytes);
  if (!format) return 0;

  ScreenPictures pictures;
  try {
    pictures = DecodeScreenFile(*format, bytes, options);
  } catch (const ScreenFileError&) {
    FuzzRequire(false, "a file its row accepts is decoded");
  }

  const std::size_t frames = pictures.frames.size();
  FuzzRequire(frames >= 1, "at least one frame");
  FuzzRequire(frames == 1 ? pictures.frameMilliseconds == 0 && pictures.frameDelays.empty()
                          : DelaysOf(pictures).size() == frames,
              "a delay for each frame of an animation, none for a still");

  Size promised = PromisedSize(RowOf(*format).picture);
  if (options.border && !RowOf(*format).ownBorder) {
    promised.width = promised.width * 5 / 4;
    promised.height = promised.height * 5 / 4;
  }
  const Picture& first = pictures.frames.front();
  FuzzRequire(promised.atMost ? first.width <= promised.width && first.height <= promised.height
                              : first.width == promised.width && first.height == promised.height,
              "the row's picture size");
  for (const Picture& frame : pictures.frames) {
    FuzzRequire(frame.width == first.width && frame.height == first.height,
                "every frame has one size");
    FuzzRequire(frame.pixels.size() == static_cast<std::size_t>(frame.width) * frame.height,
                "a pixel for every place");
  }
  if (*format == ScreenFormat::Standard && options.palette.name == "orlaspin" && !options.border) {
    CheckStandardAsTheWindowShowsIt(bytes, first);
  }
  return 0;
}
