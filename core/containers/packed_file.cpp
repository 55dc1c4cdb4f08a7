#include "containers/packed_file.h"

#include <algorithm>
#include <string>
#include <variant>

#include "unpack/unpackers.h"

namespace orlaspin {

namespace {

// The format of an unpacked screen file of this size, preferring the extension's formats.
std::optional<ScreenFormat> FormatOfSize(std::string_view extension, std::size_t size) {
  if (const auto format = ScreenFormatOf(extension, size)) return format;
  for (const ScreenFileKind& kind : ScreenFileKinds()) {
    if (kind.size == size && size != 0) return kind.format;  // size 0: any size, by a header
  }
  return std::nullopt;
}

// The screen one unpacker finds in data, or what keeps it from one.
std::variant<PackedScreen, std::string> TryUnpacker(const Unpacker& unpacker,
                                                    std::span<const std::uint8_t> data,
                                                    std::string_view screenExtension) {
  Unpacked unpacked;
  try {
    unpacked = unpacker.unpack(data);
  } catch (const UnpackError& error) {
    return error.Message();
  }
  const std::string stream = std::string(unpacker.name) + " stream ";
  if (!EndsAtLastByte(unpacked, data)) {
    return stream + "ends at byte " + std::to_string(unpacked.streamEnd) + " of " +
           std::to_string(data.size());
  }
  const auto format = FormatOfSize(screenExtension, unpacked.bytes.size());
  if (!format) {
    return stream + "unpacks to " + std::to_string(unpacked.bytes.size()) +
           " bytes, the size of no screen";
  }
  return PackedScreen{unpacker.name, *format, std::move(unpacked.bytes)};
}

bool HasExtension(const Unpacker& unpacker, std::string_view extension) {
  return std::ranges::count(unpacker.extensions, extension) > 0;
}

}  // namespace

std::optional<PackedScreen> UnpackScreen(std::span<const std::uint8_t> data,
                                         std::string_view screenExtension) {
  for (const Unpacker& unpacker : Unpackers()) {
    auto found = TryUnpacker(unpacker, data, screenExtension);
    if (auto* screen = std::get_if<PackedScreen>(&found)) return std::move(*screen);
  }
  return std::nullopt;
}

Collection ReadPackedFile(std::span<const std::uint8_t> data, std::string_view extension,
                          std::string_view stem) {
  const std::size_t dot = stem.rfind('.');
  const std::string_view screenExtension =
      dot == std::string_view::npos || dot == 0 ? std::string_view() : stem.substr(dot + 1);
  std::string firstProblem;
  for (const Unpacker& unpacker : Unpackers()) {
    if (!HasExtension(unpacker, extension)) continue;
    auto found = TryUnpacker(unpacker, data, screenExtension);
    if (auto* problem = std::get_if<std::string>(&found)) {
      if (firstProblem.empty()) firstProblem = std::move(*problem);
      continue;
    }
    PackedScreen& screen = std::get<PackedScreen>(found);
    CollectionFile file;
    file.name = std::string(screenExtension.empty() ? stem : stem.substr(0, dot));
    file.nameIsFileName = true;
    file.length = static_cast<std::uint32_t>(screen.bytes.size());
    file.isScreen = true;
    file.type = std::string(screen.packer) + " -> " + std::string(ScreenFormatName(screen.format));
    file.screenFormat = screen.format;
    return {ImageKind::PackedFile, {file}, {}, std::move(screen.bytes)};
  }
  throw ImageFormatError("not a packed screen: " + firstProblem);
}

}  // namespace orlaspin
