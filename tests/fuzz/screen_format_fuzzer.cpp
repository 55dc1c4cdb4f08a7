// Any bytes as a bare screen file of any extension: the format is chosen by extension and size,
// and the frames are what the format promises, whatever the bytes: one or two frames of the
// promised size, only the palette's colours (or its gigascreen mixes, or the file's ULA+
// palette), and a standard screen exactly as the window shows it.
//
// Input: a byte picking the extension from the table, a byte of options (bit 0 flash, bit 1
// flicker, bits 2-4 the palette and the border colour, bit 5 a border, bits 6 and 7 both set
// scale 2), then the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "oracle.h"
#include "screens/screen_format.h"
#include "screens/ulaplus.h"

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
  options.scale = (choice & 0xC0) == 0xC0 ? 2 : 1;  // seldom: scaling is slow to check
  return options;
}

struct Size {
  int width;
  int height;
};

Size PromisedSize(ScreenFormat format, std::span<const std::uint8_t> bytes,
                  const ScreenOptions& options) {
  Size size{256, 192};
  bool ownBorder = false;
  if (format == ScreenFormat::TimexHiRes) size = {512, 384};
  if (format == ScreenFormat::BorderScreen || format == ScreenFormat::BorderMulticolour) {
    size = {384, 304};
    ownBorder = true;
  }
  if (format == ScreenFormat::Chr) {
    size = {8 * bytes[4], 8 * bytes[5]};
    ownBorder = true;
  }
  if (options.border && !ownBorder) size = {size.width * 5 / 4, size.height * 5 / 4};
  return {size.width * options.scale, size.height * options.scale};
}

std::vector<Colour> AllowedColours(ScreenFormat format, std::span<const std::uint8_t> bytes,
                                   const ScreenOptions& options) {
  std::vector<Colour> allowed(options.palette.colours.begin(), options.palette.colours.end());
  const GigascreenColours mixed = MixedColours(options.palette);
  allowed.insert(allowed.end(), mixed.begin(), mixed.end());
  std::size_t paletteAt = 0;
  if (format == ScreenFormat::UlaPlus) paletteAt = kScreenBytes;
  if (format == ScreenFormat::TimexHiColourUlaPlus) paletteAt = 2 * kPixelBytes;
  if (paletteAt != 0) {
    const UlaPlusPalette ulaPlus =
        UlaPlusPaletteOf(bytes.subspan(paletteAt).first<kUlaPlusPaletteBytes>());
    allowed.insert(allowed.end(), ulaPlus.begin(), ulaPlus.end());
  }
  std::sort(allowed.begin(), allowed.end());
  return allowed;
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
  const auto kinds = ScreenFileKinds();
  const ScreenFileKind& kind = kinds[data[0] % kinds.size()];
  const ScreenOptions options = OptionsOf(data[1]);
  const std::span<const std::uint8_t> bytes(data + 2, size - 2);
  const std::optional<ScreenFormat> format = ScreenFormatOf(kind.extension, bytes.size());
  if (!format) return 0;

  ScreenPictures pictures;
  try {
    pictures = DecodeScreenFile(*format, bytes, options);
  } catch (const ScreenFileError&) {
    FuzzRequire(*format == ScreenFormat::Chr, "only a chr$ header can refuse a chosen file");
    return 0;
  }

  const std::size_t frames = pictures.frames.size();
  FuzzRequire(frames == 1 || frames == 2, "a still or two frames");
  const std::uint16_t delay = pictures.frameMilliseconds;
  FuzzRequire(frames == 1 ? delay == 0
                          : (delay == 320 && options.flash) ||
                                (delay == 20 && options.gigascreen == GigascreenView::Flicker),
              "two frames are FLASH when asked for, or a flicker when asked for");

  const Size promised = PromisedSize(*format, bytes, options);
  const std::vector<Colour> allowed = AllowedColours(*format, bytes, options);
  for (const Picture& frame : pictures.frames) {
    FuzzRequire(frame.width == promised.width && frame.height == promised.height,
                "every frame has the format's size");
    FuzzRequire(frame.pixels.size() == static_cast<std::size_t>(frame.width) * frame.height,
                "a pixel for every place");
    std::optional<Colour> checked;  // runs of one colour are checked once
    for (const Colour colour : frame.pixels) {
      if (colour == checked) continue;
      FuzzRequire(std::binary_search(allowed.begin(), allowed.end(), colour),
                  "only the palette's colours, its mixes or the file's ULA+ palette");
      checked = colour;
    }
  }
  if (*format == ScreenFormat::Standard && options.palette.name == "orlaspin" && !options.border &&
      options.scale == 1) {
    CheckStandardAsTheWindowShowsIt(bytes, pictures.frames[0]);
  }
  return 0;
}
