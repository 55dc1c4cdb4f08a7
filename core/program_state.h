// The program-wide state: one object, owned by the window (or by the command-line run).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "containers/catalogue.h"
#include "screens/screen.h"

namespace orlaspin {

struct ProgramState {
  CatalogueTable Catalogue{};
  std::int32_t EntryCount = 0;
  ScreenBytes ScreenBuffer{};
  Palette ZxPalette{};
  // Absent until the first screen is decoded, then kept for the whole run.
  std::unique_ptr<PreviewRaster> Preview;
  // Full path of the last image accepted; empty at start.
  std::string ImagePath;
};

}  // namespace orlaspin
