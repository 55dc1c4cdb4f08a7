#include "containers/bare_screen.h"

namespace orlaspin {

Collection ReadBareScreen(std::span<const std::uint8_t> image, std::string_view stem) {
  if (image.size() != kScreenBytes) {
    throw ImageFormatError("not a screen: it holds " + std::to_string(image.size()) +
                           " bytes, a screen 6912");
  }
  CollectionFile screen;
  screen.name = std::string(stem);
  screen.nameIsFileName = true;
  screen.length = kScreenBytes;
  screen.isScreen = true;
  return {ImageKind::BareScreen, {screen}, {}, {}};
}

}  // namespace orlaspin
