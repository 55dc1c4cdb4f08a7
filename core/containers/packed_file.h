// A screen packed by one of the unpack table's packers: a bare packed file (TITLE.scr.zx0), or a
// file in a container tried with every packer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "containers/collection.h"

namespace orlaspin {

struct PackedScreen {
  std::string_view packer;  // the unpacker's name
  ScreenFormat format;
  std::vector<std::uint8_t> bytes;  // the screen file unpacked
};

// The screen in data by the first unpacker, in table order, whose stream ends exactly at data's
// last byte and unpacks to the size of a screen format: one of screenExtension's formats when
// it has one of that size, else the first format of the table of that size. Nothing when none
// does.
std::optional<PackedScreen> UnpackScreen(std::span<const std::uint8_t> data,
                                         std::string_view screenExtension = {});

// A bare packed file of the packer extension: one screen named stem, without the screen
// extension it may end in (TITLE of TITLE.scr), typed "ZX0 -> standard", its bytes the
// collection's unpacked bytes. Raises ImageFormatError naming the packer and what went wrong
// (where the stream breaks, where it ends, or the size it unpacks to) when no unpacker of the
// extension finds a screen.
Collection ReadPackedFile(std::span<const std::uint8_t> data, std::string_view extension,
                          std::string_view stem);

}  // namespace orlaspin
