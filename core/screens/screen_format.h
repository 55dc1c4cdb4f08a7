// Bare screen files of every kind, told apart by extension and size, and decoded into the frames
// to write.
//
// A screen inside a container is a standard screen (ScreenFormat::Standard on its 6912 bytes);
// a source with a mode of its own passes its bytes as the matching format (a Timex hi-colour
// screen as its 6144 pixel bytes then its 6144 attribute bytes; a standard screen with a ULA+
// palette as the 6912 bytes then the 64 palette bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "screens/screen_frames.h"
#include "screens/screen_options.h"

namespace orlaspin {

enum class ScreenFormat {
  Standard,              // .scr, 6912 or 6913 bytes
  PixelsOnly,            // .scr, 6144
  UlaPlus,               // .scr, 6976
  TimexHiColour,         // .scr, 12288
  TimexHiColourUlaPlus,  // .scr, 12352
  TimexHiRes,            // .scr, 12289
  Gigascreen,            // .img, 13824
  Multicolour8x1,        // .mlt, 12288
  Multicolour8x1Linear,  // .mc, 12288
  Multicolour8x2,        // .ifl, 9216
  Multicolour8x4,        // .mc4, 7680
  AttributesOnly,        // .atr, 768
  BorderScreen,          // .bsc, 11136
  BorderMulticolour,     // .bmc4, 11904
  Chr,                   // .ch$ or .chr$, any size (its header says)
};

// One row of the table that tells the formats apart: a file with this extension (lower case,
// no dot) and exactly this size is of this format; size 0 stands for any size.
struct ScreenFileKind {
  std::string_view extension;
  std::size_t size;
  ScreenFormat format;
};

// Every row, in the order of the ScreenFormat values.
std::span<const ScreenFileKind> ScreenFileKinds();

// The format of a file with this extension (with or without its dot, any case) and size, or
// nothing when no row fits.
std::optional<ScreenFormat> ScreenFormatOf(std::string_view extension, std::size_t size);

// A short name for listings: "standard", "pixels only", "ULA+", "Timex hi-colour",
// "Timex hi-colour ULA+", "Timex hi-res", "gigascreen", "multicolour 8x1",
// "multicolour 8x1 linear", "multicolour 8x2", "multicolour 8x4", "attributes only",
// "border screen", "border multicolour 8x4" or "chr$".
std::string_view ScreenFormatName(ScreenFormat format);

// The frames of a screen file of the format: at scale 1, 256 x 192 (Timex hi-res 512 x 384,
// border screens 384 x 304, chr$ 8 x its characters), in options.border's frame when asked and
// the format has no border of its own, then enlarged options.scale times. One frame is a still;
// two are FLASH's phases (options.flash, kFlashPhaseMilliseconds each) or a flickering gigascreen
// (kFlickerFrameMilliseconds each). ULA+ screens take their colours from their own palette, the
// others from options.palette. A chr$ picture can be as large as 2040 x 2040 before the scale.
// Raises ScreenFileError when the size is not one of the format's (and for a chr$ file whose
// header disagrees with its size).
ScreenPictures DecodeScreenFile(ScreenFormat format, std::span<const std::uint8_t> bytes,
                                const ScreenOptions& options);

}  // namespace orlaspin
