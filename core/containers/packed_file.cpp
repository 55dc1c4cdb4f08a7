#include "containers/packed_file.h"

#include <algorithm>
#include <string>
#include <variant>

#include "unpack/unpackers.h"

namespace orlaspin {

namespace {

// The format of an unpacked screen file, preferring the extension's formats, else the first
// that has its size (formats known by a header alone are known by their extension only).
std::optional<ScreenFormat> FormatOfBytes(std::string_view extension,
                                          std::span<const std::uint8_t> bytes) {
  if (const auto format = ScreenFormatOf(extension, bytes)) return format;
  for (const ScreenFormatRow& row : ScreenFormatRows()) {
    if (!row.check && !bytes.empty() && std::ranges::count(row.sizes, bytes.size()) > 0) {
      return row.format;
    }
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
  const auto format = FormatOfBytes(screenExtension, unpacked.bytes);
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
