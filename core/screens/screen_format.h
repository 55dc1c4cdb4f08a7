// Bare screen files of every kind, told apart by extension and size (or by their header), and
// decoded into the frames to write. One table, a row per format, drives the detection, the
// names listings show, the help's list and the decoding.
//
// A screen inside a container is a standard screen (ScreenFormat::Standard on its 6912 bytes);
// a source with a mode of its own passes its bytes as the matching format (a Timex hi-colour
// screen as its 6144 pixel bytes then its 6144 attribute bytes; a standard screen with a ULA+
// palette as the 6912 bytes then the 64 palette bytes).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

// The key of a row of the table; the rows are in this order.
enum class ScreenFormat {
  Standard,
  PixelsOnly,
  UlaPlus,
  TimexHiColour,
  TimexHiColourUlaPlus,
  TimexHiRes,
  Gigascreen,
  Multicolour8x1,
  Multicolour8x1Linear,
  Multicolour8x2,
  Multicolour8x4,
  AttributesOnly,
  BorderScreen,
  BorderMulticolour,
  Chr,
  Tricolour,
  MultiArtist,
  LowResGigascreen,
  TimexHiResGigascreen,
  Stellar,
  ScaAnimation,
  BspScreen,
  NextImage,
  NextLayer2,
  NextLayer2Wide,
  NextLayer2HiRes,
  NextLoRes,
  SamMode1,
  SamMode2,
  SamMode3,
  SamMode4,
  SamScreen3,
  SamScreen4,
  SamRaw,
  ProfiGrf,
  ZxEvolution,
};

// A file's frames at scale 1 without a border; called only on bytes that its row accepts.
using ScreenDecoder = ScreenPictures (*)(std::span<const std::uint8_t> bytes,
                                         const ScreenOptions& options);
// What is wrong with a file's header for its size ("not a chr$ file: ..."), empty when nothing.
using ScreenHeaderCheck = std::string (*)(std::span<const std::uint8_t> bytes);

// Whether a file of the format is a gigascreen: two screens shown in turn, or mixed.
enum class TwoScreens { Never, Always, WhenTheFileSays };

struct ScreenFormatRow {
  ScreenFormat format;
  std::string_view name;                       // the type word of listings: "Timex hi-res"
  std::array<std::string_view, 4> extensions;  // lower case, no dot; empty past the last
  std::array<std::size_t, 3> sizes;            // the file's exact sizes; 0 past the last
  ScreenHeaderCheck check;                     // for a format of any size, else nullptr
  ScreenDecoder decode;
  bool ownBorder;            // draws its border itself, or has none: a plain border is not added
  std::string_view picture;  // the picture's size at scale 1, as the help and README say it
  TwoScreens twoScreens = TwoScreens::Never;
};

// Every row, in the order of the ScreenFormat values.
std::span<const ScreenFormatRow> ScreenFormatRows();
const ScreenFormatRow& RowOf(ScreenFormat format);

// The name of the format's row.
std::string_view ScreenFormatName(ScreenFormat format);

// True when some row has this extension (lower case, without its dot).
bool IsScreenExtension(std::string_view extension);

// The format of a file with this extension (with or without its dot, any case) whose bytes its
// row accepts (one of its sizes, or a header that agrees with the size), or nothing. The bytes of
// a file with a PLUS3DOS header are its data behind the header (Plus3DosData).
std::optional<ScreenFormat> ScreenFormatOf(std::string_view extension,
                                           std::span<const std::uint8_t> bytes);

// Why no row of the extension (lower case, without its dot) accepts the bytes: what the header
// check says, else the size found and the sizes expected.
std::string ScreenRefusal(std::string_view extension, std::span<const std::uint8_t> bytes);

// The formats as lines of text, one per format: extensions, name, sizes in bytes ("by header"
// when its header gives it) and the picture's size. The help and the README show this list.
std::string ScreenFormatList();

// The frames of a screen file of the format, at scale 1: the decoder's picture, inside
// options.border's frame when asked and the format has no border of its own. One frame is a
// still; two are FLASH's phases (options.flash, kFlashPhaseMilliseconds each) or a flickering
// gigascreen (kFlickerFrameMilliseconds each). Raises ScreenFileError when the format's row does
// not accept the bytes.
ScreenPictures DecodeScreenFile(ScreenFormat format, std::span<const std::uint8_t> bytes,
                                const ScreenOptions& options);

}  // namespace orlaspin
