#include "containers/bare_screen.h"

#include <string>
#include <vector>

namespace orlaspin {

namespace {

// "6912, 6913 or 6144" for the sizes of the formats with this extension.
std::string SizesOf(std::string_view extension) {
  std::vector<std::size_t> sizes;
  for (const ScreenFileKind& kind : ScreenFileKinds()) {
    if (kind.extension == extension) sizes.push_back(kind.size);
  }
  std::string text;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    if (i > 0) text += i + 1 == sizes.size() ? " or " : ", ";
    text += std::to_string(sizes[i]);
  }
  return text;
}

}  // namespace

Collection ReadBareScreen(std::span<const std::uint8_t> image, std::string_view extension,
                          std::string_view stem) {
  const std::optional<ScreenFormat> format = ScreenFormatOf(extension, image.size());
  if (!format) {
    throw ImageFormatError("not a screen: it holds " + std::to_string(image.size()) +
                           " bytes, a ." + std::string(extension) + " screen " +
                           SizesOf(extension));
  }
  CollectionFile screen;
  screen.name = std::string(stem);
  screen.nameIsFileName = true;
  screen.length = static_cast<std::uint32_t>(image.size());
  screen.isScreen = true;
  screen.type = std::string(ScreenFormatName(*format));
  screen.screenFormat = *format;
  return {ImageKind::BareScreen, {screen}, {}, {}};
}

}  // namespace orlaspin
