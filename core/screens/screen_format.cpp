#include "screens/screen_format.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "screens/border_screen.h"
#include "screens/chr.h"
#include "screens/gigascreen.h"
#include "screens/multicolour.h"
#include "screens/standard.h"
#include "screens/timex.h"
#include "screens/ulaplus.h"

namespace orlaspin {

namespace {

constexpr ScreenFileKind kKinds[] = {
    {"scr", 6912, ScreenFormat::Standard},
    {"scr", 6913, ScreenFormat::Standard},
    {"scr", 6144, ScreenFormat::PixelsOnly},
    {"scr", 6976, ScreenFormat::UlaPlus},
    {"scr", 12288, ScreenFormat::TimexHiColour},
    {"scr", 12352, ScreenFormat::TimexHiColourUlaPlus},
    {"scr", 12289, ScreenFormat::TimexHiRes},
    {"img", 13824, ScreenFormat::Gigascreen},
    {"mlt", 12288, ScreenFormat::Multicolour8x1},
    {"mc", 12288, ScreenFormat::Multicolour8x1Linear},
    {"ifl", 9216, ScreenFormat::Multicolour8x2},
    {"mc4", 7680, ScreenFormat::Multicolour8x4},
    {"atr", 768, ScreenFormat::AttributesOnly},
    {"bsc", 11136, ScreenFormat::BorderScreen},
    {"bmc4", 11904, ScreenFormat::BorderMulticolour},
    {"ch$", 0, ScreenFormat::Chr},
    {"chr$", 0, ScreenFormat::Chr},
};

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool FitsSize(ScreenFormat format, std::size_t size) {
  return std::any_of(std::begin(kKinds), std::end(kKinds), [&](const ScreenFileKind& kind) {
    return kind.format == format && (kind.size == 0 || kind.size == size);
  });
}

ScreenPictures Decoded(ScreenFormat format, std::span<const std::uint8_t> bytes,
                       const ScreenOptions& options) {
  switch (format) {
    case ScreenFormat::Standard: return StandardPictures(bytes, options);
    case ScreenFormat::PixelsOnly: return PixelsOnlyPictures(bytes, options);
    case ScreenFormat::UlaPlus: return UlaPlusPictures(bytes, options);
    case ScreenFormat::TimexHiColour:
    case ScreenFormat::TimexHiColourUlaPlus: return TimexHiColourPictures(bytes, options);
    case ScreenFormat::TimexHiRes: return TimexHiResPictures(bytes, options);
    case ScreenFormat::Gigascreen: return GigascreenPictures(bytes, options);
    case ScreenFormat::Multicolour8x1: return InterleavedMulticolourPictures(bytes, 1, options);
    case ScreenFormat::Multicolour8x1Linear: return LinearMulticolourPictures(bytes, options);
    case ScreenFormat::Multicolour8x2: return InterleavedMulticolourPictures(bytes, 2, options);
    case ScreenFormat::Multicolour8x4: return InterleavedMulticolourPictures(bytes, 4, options);
    case ScreenFormat::AttributesOnly: return AttributesOnlyPictures(bytes, options);
    case ScreenFormat::BorderScreen: return BorderScreenPictures(bytes, options);
    case ScreenFormat::BorderMulticolour: return BorderMulticolourPictures(bytes, options);
    case ScreenFormat::Chr: return ChrPictures(bytes, options);
  }
  throw std::invalid_argument("no such screen format");
}

bool TakesPlainBorder(ScreenFormat format) {
  return format != ScreenFormat::BorderScreen && format != ScreenFormat::BorderMulticolour &&
         format != ScreenFormat::Chr;
}

void CheckOptions(const ScreenOptions& options) {
  if (options.scale < 1 || options.scale > kLargestScale) {
    throw std::invalid_argument("scale outside 1-" + std::to_string(kLargestScale));
  }
  if (options.border && *options.border > 7) throw std::invalid_argument("border colour above 7");
}

}  // namespace

std::span<const ScreenFileKind> ScreenFileKinds() { return kKinds; }

std::optional<ScreenFormat> ScreenFormatOf(std::string_view extension, std::size_t size) {
  if (extension.starts_with('.')) extension.remove_prefix(1);
  const std::string lower = LowerAscii(extension);
  for (const ScreenFileKind& kind : kKinds) {
    if (kind.extension == lower && (kind.size == 0 || kind.size == size)) return kind.format;
  }
  return std::nullopt;
}

std::string_view ScreenFormatName(ScreenFormat format) {
  switch (format) {
    case ScreenFormat::Standard: return "standard";
    case ScreenFormat::PixelsOnly: return "pixels only";
    case ScreenFormat::UlaPlus: return "ULA+";
    case ScreenFormat::TimexHiColour: return "Timex hi-colour";
    case ScreenFormat::TimexHiColourUlaPlus: return "Timex hi-colour ULA+";
    case ScreenFormat::TimexHiRes: return "Timex hi-res";
    case ScreenFormat::Gigascreen: return "gigascreen";
    case ScreenFormat::Multicolour8x1: return "multicolour 8x1";
    case ScreenFormat::Multicolour8x1Linear: return "multicolour 8x1 linear";
    case ScreenFormat::Multicolour8x2: return "multicolour 8x2";
    case ScreenFormat::Multicolour8x4: return "multicolour 8x4";
    case ScreenFormat::AttributesOnly: return "attributes only";
    case ScreenFormat::BorderScreen: return "border screen";
    case ScreenFormat::BorderMulticolour: return "border multicolour 8x4";
    case ScreenFormat::Chr: return "chr$";
  }
  return "unknown";
}

ScreenPictures DecodeScreenFile(ScreenFormat format, std::span<const std::uint8_t> bytes,
                                const ScreenOptions& options) {
  CheckOptions(options);
  if (!FitsSize(format, bytes.size())) {
    throw ScreenFileError("not a " + std::string(ScreenFormatName(format)) + " screen: " +
                          std::to_string(bytes.size()) + " bytes is no size of that format");
  }
  ScreenPictures pictures = Decoded(format, bytes, options);
  const bool bordered = options.border && TakesPlainBorder(format);
  for (Picture& frame : pictures.frames) {
    if (bordered) frame = Bordered(frame, options.palette.colours[*options.border]);
    if (options.scale != 1) frame = ScaledPicture(frame, options.scale);
  }
  return pictures;
}

}  // namespace orlaspin
