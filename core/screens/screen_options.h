// What the decoders of the screen formats are asked for, and how they refuse bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "io/errors.h"
#include "screens/palettes.h"

namespace orlaspin {

// A gigascreen as one still picture of the two screens mixed, or as both shown in turn.
enum class GigascreenView { Blend, Flicker };

struct ScreenOptions {
  ScreenPalette palette = DefaultPalette();
  // FLASH cells as a second frame, ink and paper swapped (screens with attributes, not ULA+).
  bool flash = false;
  GigascreenView gigascreen = GigascreenView::Blend;
  // 0-7: the picture inside a border of that normal colour of the palette, an eighth of its
  // width left and right and of its height above and below (32 and 24 pixels for a 256 x 192
  // screen). Screen files that carry their own border, and chr$ pictures, ignore it.
  std::optional<std::uint8_t> border = std::nullopt;
};

// The bytes do not hold a screen of the format asked for; the message says what they are not and
// why.
class ScreenFileError : public Error {
 public:
  explicit ScreenFileError(std::string message) : Error(0, std::move(message)) {}
};

}  // namespace orlaspin
