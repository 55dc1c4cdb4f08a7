// Screens that a collection holds but does not list as screens: packed ones, ones at the start
// of a longer block loaded at the screen's address, and a 128K snapshot's bank 7.
#pragma once

#include <cstdint>
#include <span>

#include "containers/collection.h"

namespace orlaspin {

struct HiddenScreens {
  // Files that are not screens, tried with every unpacker (UnpackScreen), and Bytes (CODE)
  // files loaded at 16384: longer than 6912 bytes, a screen in their first 6912; exactly 6144,
  // pixels alone.
  bool packed = false;
  // A 128K snapshot's bank 7, when it differs from the screen displayed and is not blank.
  bool bank7 = false;
};

// Marks the files of the collection read from image that hold a hidden screen as screens, each
// with its revealed screen ("ZX0 -> standard", "at 16384 -> standard"), and lists bank 7's screen
// after the others.
void RevealHiddenScreens(Collection& collection, std::span<const std::uint8_t> image,
                         const HiddenScreens& wanted);

}  // namespace orlaspin
