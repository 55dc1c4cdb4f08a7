#include "screens/screen_format.h"

#include <algorithm>
#include <stdexcept>

#include "screens/border_screen.h"
#include "screens/bsp_screen.h"
#include "screens/chr.h"
#include "screens/gigascreen.h"
#include "screens/lowres_gigascreen.h"
#include "screens/multiartist.h"
#include "screens/multicolour.h"
#include "screens/next_layer2.h"
#include "screens/plus3dos_header.h"
#include "screens/profi_grf.h"
#include "screens/sam_coupe.h"
#include "screens/sca_animation.h"
#include "screens/standard.h"
#include "screens/stellar.h"
#include "screens/timex.h"
#include "screens/timex_gigascreen.h"
#include "screens/tricolour.h"
#include "screens/ulaplus.h"
#include "screens/zx_evolution_sxg.h"

namespace orlaspin {

namespace {

ScreenPictures Multicolour8x1Pictures(std::span<const std::uint8_t> bytes,
                                      const ScreenOptions& options) {
  return InterleavedMulticolourPictures(bytes, 1, options);
}

ScreenPictures Multicolour8x2Pictures(std::span<const std::uint8_t> bytes,
                                      const ScreenOptions& options) {
  return InterleavedMulticolourPictures(bytes, 2, options);
}

ScreenPictures Multicolour8x4Pictures(std::span<const std::uint8_t> bytes,
                                      const ScreenOptions& options) {
  return InterleavedMulticolourPictures(bytes, 4, options);
}

using enum ScreenFormat;

// One row a format: key, name, extensions, sizes (none: the header check decides), header
// check, decoder, own border, picture at scale 1, and whether it is a gigascreen (Never when
// left out).
// clang-format off
constexpr ScreenFormatRow kRows[] = {
    {Standard, "standard", {"scr"}, {6912, 6913}, nullptr, StandardPictures, false, "256 x 192"},
    {PixelsOnly, "pixels only", {"scr"}, {6144}, nullptr, PixelsOnlyPictures, false, "256 x 192"},
    {UlaPlus, "ULA+", {"scr"}, {6976}, nullptr, UlaPlusPictures, false, "256 x 192"},
    {TimexHiColour, "Timex hi-colour", {"scr"}, {12288}, nullptr, TimexHiColourPictures, false,
     "256 x 192"},
    {TimexHiColourUlaPlus, "Timex hi-colour ULA+", {"scr"}, {12352}, nullptr,
     TimexHiColourPictures, false, "256 x 192"},
    {TimexHiRes, "Timex hi-res", {"scr"}, {12289}, nullptr, TimexHiResPictures, false,
     "512 x 384"},
    {Gigascreen, "gigascreen", {"img"}, {13824}, nullptr, GigascreenPictures, false, "256 x 192",
     TwoScreens::Always},
    {Multicolour8x1, "multicolour 8x1", {"mlt"}, {12288}, nullptr, Multicolour8x1Pictures, false,
     "256 x 192"},
    {Multicolour8x1Linear, "multicolour 8x1 linear", {"mc"}, {12288}, nullptr,
     LinearMulticolourPictures, false, "256 x 192"},
    {Multicolour8x2, "multicolour 8x2", {"ifl"}, {9216}, nullptr, Multicolour8x2Pictures, false,
     "256 x 192"},
    {Multicolour8x4, "multicolour 8x4", {"mc4"}, {7680}, nullptr, Multicolour8x4Pictures, false,
     "256 x 192"},
    {AttributesOnly, "attributes only", {"atr"}, {768}, nullptr, AttributesOnlyPictures, false,
     "256 x 192"},
    {BorderScreen, "border screen", {"bsc"}, {11136}, nullptr, BorderScreenPictures, true,
     "384 x 304"},
    {BorderMulticolour, "border multicolour 8x4", {"bmc4"}, {11904}, nullptr,
     BorderMulticolourPictures, true, "384 x 304"},
    {Chr, "chr$", {"ch$", "chr$"}, {}, ChrHeaderFault, ChrPictures, true, "up to 2040 x 2040",
     TwoScreens::WhenTheFileSays},
    {Tricolour, "tricolour", {"3", "rgb"}, {18432}, nullptr, TricolourPictures, false,
     "256 x 192"},
    {MultiArtist, "MultiArtist", {"mg1", "mg2", "mg4", "mg8"}, {}, MultiArtistHeaderFault,
     MultiArtistPictures, false, "256 x 192", TwoScreens::Always},
    {LowResGigascreen, "attribute gigascreen", {"hlr"}, {1628}, nullptr, LowResGigascreenPictures,
     false, "256 x 192", TwoScreens::Always},
    {TimexHiResGigascreen, "Timex hi-res gigascreen", {"hrg"}, {24578}, nullptr,
     TimexHiResGigascreenPictures, false, "512 x 384", TwoScreens::Always},
    {Stellar, "Stellar", {"stl"}, {3072}, nullptr, StellarPictures, false, "256 x 192",
     TwoScreens::Always},
    {ScaAnimation, "animation", {"sca"}, {}, ScaHeaderFault, ScaPictures, false, "256 x 192"},
    {BspScreen, "bsp border screen", {"bsp"}, {}, BspHeaderFault, BspPictures, true, "384 x 304",
     TwoScreens::WhenTheFileSays},
    {NextImage, "Next image", {"nxi"}, {49152, 49664}, nullptr, NxiPictures, false, "256 x 192"},
    {NextLayer2, "Next Layer 2", {"sl2"}, {49152, 49408, 49664}, nullptr, Sl2Pictures, false,
     "256 x 192"},
    {NextLayer2Wide, "Next Layer 2 320x256", {"sl2"}, {81920, 82176, 82432}, nullptr,
     Sl2WidePictures, false, "320 x 256"},
    {NextLayer2HiRes, "Next Layer 2 640x256", {"sl2"}, {81936, 81952}, nullptr, Sl2HiResPictures,
     false, "640 x 512"},
    {NextLoRes, "Next LoRes", {"slr"}, {12288}, nullptr, SlrPictures, false, "256 x 192"},
    {SamMode1, "SAM mode 1", {"ssx"}, {6928}, nullptr, SamMode1Pictures, false, "256 x 192"},
    {SamMode2, "SAM mode 2", {"ssx"}, {12304}, nullptr, SamMode2Pictures, false, "256 x 192"},
    {SamMode3, "SAM mode 3", {"ssx"}, {24580}, nullptr, SamMode3Pictures, false, "512 x 384"},
    {SamMode4, "SAM mode 4", {"ssx"}, {24592}, nullptr, SamMode4Pictures, false, "256 x 192"},
    {SamScreen3, "SAM SCREEN$ mode 3", {"ss3"}, {24617}, nullptr, SamMode3Pictures, false,
     "512 x 384"},
    {SamScreen4, "SAM SCREEN$ mode 4", {"ss4"}, {24617}, nullptr, SamMode4Pictures, false,
     "256 x 192"},
    {SamRaw, "SAM 512x192 raw", {"ssx"}, {98304}, nullptr, SamRawPictures, false, "512 x 384"},
    {ProfiGrf, "Profi 16 colours", {"grf"}, {}, ProfiGrfHeaderFault, ProfiGrfPictures, false,
     "512 x 480"},
    {ZxEvolution, "ZX-Evolution", {"sxg"}, {}, SxgHeaderFault, SxgPictures, false,
     "up to 4096 x 4096"},
};
// clang-format on

constexpr bool RowsFollowTheKeys() {
  for (std::size_t i = 0; i < std::size(kRows); ++i) {
    if (static_cast<std::size_t>(kRows[i].format) != i) return false;
  }
  return true;
}
static_assert(RowsFollowTheKeys(), "RowOf finds a format's row by its value");

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool HasExtension(const ScreenFormatRow& row, std::string_view extension) {
  return !extension.empty() && std::ranges::count(row.extensions, extension) > 0;
}

bool AcceptsSize(const ScreenFormatRow& row, std::size_t size) {
  return size != 0 && std::ranges::count(row.sizes, size) > 0;
}

bool Accepts(const ScreenFormatRow& row, std::span<const std::uint8_t> bytes) {
  return row.check ? row.check(bytes).empty() : AcceptsSize(row, bytes.size());
}

// "6912, 6913 or 6144": the sizes of the rows with this extension.
std::string SizesOf(std::string_view extension) {
  std::vector<std::size_t> sizes;
  for (const ScreenFormatRow& row : kRows) {
    if (!HasExtension(row, extension)) continue;
    for (const std::size_t size : row.sizes) {
      if (size != 0) sizes.push_back(size);
    }
  }
  std::string text;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (i > 0) text += i + 1 == sizes.size() ? " or " : ", ";
    text += std::to_string(sizes[i]);
  }
  return text;
}

// The cells of a row's line in the format list: extensions, name, sizes, picture.
std::array<std::string, 4> ListCells(const ScreenFormatRow& row) {
  std::string extensions;
  for (const std::string_view extension : row.extensions) {
    if (extension.empty()) continue;
    extensions += (extensions.empty() ? "." : " .") + std::string(extension);
  }
  std::string sizes;
  for (const std::size_t size : row.sizes) {
    if (size != 0) sizes += (sizes.empty() ? "" : "/") + std::to_string(size);
  }
  return {extensions, std::string(row.name), sizes.empty() ? "by header" : sizes,
          std::string(row.picture)};
}

std::string Refusal(const ScreenFormatRow& row, std::span<const std::uint8_t> bytes) {
  if (row.check) return row.check(bytes);
  return "not a " + std::string(row.name) + " screen: " + std::to_string(bytes.size()) +
         " bytes is no size of that format";
}

void CheckOptions(const ScreenOptions& options) {
  if (options.border && *options.border > 7) throw std::invalid_argument("border colour above 7");
}

}  // namespace

std::span<const ScreenFormatRow> ScreenFormatRows() { return kRows; }

const ScreenFormatRow& RowOf(ScreenFormat format) {
  return kRows[static_cast<std::size_t>(format)];
}

std::string_view ScreenFormatName(ScreenFormat format) { return RowOf(format).name; }

bool IsScreenExtension(std::string_view extension) {
  return std::ranges::any_of(
      kRows, [&](const ScreenFormatRow& row) { return HasExtension(row, extension); });
}

std::optional<ScreenFormat> ScreenFormatOf(std::string_view extension,
                                           std::span<const std::uint8_t> bytes) {
  if (extension.starts_with('.')) extension.remove_prefix(1);
  const std::string lower = LowerAscii(extension);
  for (const ScreenFormatRow& row : kRows) {
    if (HasExtension(row, lower) && Accepts(row, Plus3DosData(bytes))) return row.format;
  }
  return std::nullopt;
}

std::string ScreenRefusal(std::string_view extension, std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> data = Plus3DosData(bytes);
  const std::string after = data.size() == bytes.size() ? "" : "after its PLUS3DOS header ";
  for (const ScreenFormatRow& row : kRows) {
    if (HasExtension(row, extension) && row.check) return row.check(data);
  }
  return "not a screen: " + after + "it holds " + std::to_string(data.size()) + " bytes, a ." +
         std::string(extension) + " screen " + SizesOf(extension);
}

std::string ScreenFormatList() {
  std::array<std::size_t, 4> widths{};
  for (const ScreenFormatRow& row : kRows) {
    const auto cells = ListCells(row);
    for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], cells[i].size());
  }
  std::string list;
  for (const ScreenFormatRow& row : kRows) {
    std::string line = " ";
    const auto cells = ListCells(row);
    for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
      line += " " + cells[i] + std::string(widths[i] - cells[i].size() + 1, ' ');
    }
    list += line + " " + cells.back() + "\n";
  }
  return list;
}

ScreenPictures DecodeScreenFile(ScreenFormat format, std::span<const std::uint8_t> bytes,
                                const ScreenOptions& options) {
  CheckOptions(options);
  const ScreenFormatRow& row = RowOf(format);
  if (!Accepts(row, bytes)) throw ScreenFileError(Refusal(row, bytes));
  ScreenPictures pictures = row.decode(bytes, options);
  if (options.border && !row.ownBorder) {
    for (Picture& frame : pictures.frames) {
      frame = Bordered(frame, options.palette.colours[*options.border]);
    }
  }
  return pictures;
}

}  // namespace orlaspin
