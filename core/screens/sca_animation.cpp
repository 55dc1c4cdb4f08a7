#include "screens/sca_animation.h"

#include <string_view>

#include "screens/file_header.h"
#include "screens/standard.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "SCA";
constexpr std::size_t kHeaderBytes = 14;
constexpr std::size_t kVersionAt = 3;
constexpr std::size_t kFrameCountAt = 9;
constexpr std::size_t kPayloadAt = 11;
constexpr std::size_t kDelaysAt = 12;
constexpr std::uint16_t kMillisecondsPerTick = 20;

std::size_t FileSize(std::span<const std::uint8_t> bytes) {
  const std::size_t frames = WordAt(bytes, kFrameCountAt);
  return WordAt(bytes, kDelaysAt) + frames + frames * kScreenBytes;
}

}  // namespace

std::string ScaHeaderFault(std::span<const std::uint8_t> bytes) {
  const std::string no = "not a .sca animation: ";
  const std::string start =
      HeaderStartFault(bytes, "a .sca animation", kHeaderBytes, kSignature, "\"SCA\"");
  if (!start.empty()) return start;
  if (bytes[kVersionAt] != 1) {
    return no + "its version is " + std::to_string(bytes[kVersionAt]) + ", not 1";
  }
  if (bytes[kPayloadAt] != 0) {
    return no + "its frames are of type " + std::to_string(bytes[kPayloadAt]) +
           ", not 0 (standard screens)";
  }
  if (WordAt(bytes, kFrameCountAt) == 0) return no + "it holds no frames";
  if (WordAt(bytes, kDelaysAt) < kHeaderBytes || bytes.size() != FileSize(bytes)) {
    return no + std::to_string(WordAt(bytes, kFrameCountAt)) + " frames from offset " +
           std::to_string(WordAt(bytes, kDelaysAt)) + " make a file of " +
           std::to_string(FileSize(bytes)) + " bytes; it holds " + std::to_string(bytes.size());
  }
  return {};
}

ScreenPictures ScaPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  const std::size_t frames = WordAt(bytes, kFrameCountAt);
  const std::span<const std::uint8_t> delays = bytes.subspan(WordAt(bytes, kDelaysAt), frames);
  ScreenOptions still = options;
  still.flash = false;
  ScreenPictures pictures;
  for (std::size_t i = 0; i < frames; ++i) {
    const auto screen =
        bytes.subspan(delays.data() - bytes.data() + frames + i * kScreenBytes, kScreenBytes);
    pictures.frames.push_back(StandardPictures(screen, still).frames.front());
    pictures.frameDelays.push_back(static_cast<std::uint16_t>(delays[i] * kMillisecondsPerTick));
  }
  if (frames == 1) pictures.frameDelays.clear();
  return pictures;
}

}  // namespace orlaspin
