#include "containers/bare_screen.h"

#include <string>

#include "screens/plus3dos_header.h"

namespace orlaspin {

Collection ReadBareScreen(std::span<const std::uint8_t> image, std::string_view extension,
                          std::string_view stem) {
  const std::optional<ScreenFormat> format = ScreenFormatOf(extension, image);
  if (!format) throw ImageFormatError(ScreenRefusal(extension, image));
  const std::span<const std::uint8_t> data = Plus3DosData(image);
  CollectionFile screen;
  screen.name = std::string(stem);
  screen.nameIsFileName = true;
  screen.offset = static_cast<std::uint64_t>(data.data() - image.data());
  screen.length = static_cast<std::uint32_t>(data.size());
  screen.isScreen = true;
  screen.type = std::string(ScreenFormatName(*format));
  screen.screenFormat = *format;
  return {ImageKind::BareScreen, {screen}, {}, {}};
}

}  // namespace orlaspin
