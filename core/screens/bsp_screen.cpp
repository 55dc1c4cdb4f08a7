#include "screens/bsp_screen.h"

#include <string_view>
#include <vector>

#include "screens/attribute_picture.h"
#include "screens/file_header.h"
#include "screens/gigascreen.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "bsp";
constexpr std::size_t kConfigAt = 3;
constexpr std::size_t kColoursAt = 5;
constexpr std::size_t kScreensAt = 70;
constexpr std::uint8_t kTwoScreens = 0x80;
constexpr std::uint8_t kStreams = 0x40;
constexpr int kWidth = 384;
constexpr int kHeight = 304;
constexpr int kLeft = 64;
constexpr int kTop = 64;
constexpr int kRight = kLeft + kScreenWidth;

bool InScreen(int x, int y) {
  return x >= kLeft && x < kRight && y >= kTop && y < kTop + kScreenHeight;
}

// Where the bytes after the header begin, and where the first and the second stream begin.
struct BspLayout {
  bool twoScreens;
  bool streams;
  std::size_t screensAt;
  std::size_t firstStreamAt;
  std::size_t secondStreamAt;  // the file's end unless there are two screens and streams
};

BspLayout LayoutOf(std::span<const std::uint8_t> bytes) {
  BspLayout layout{(bytes[kConfigAt] & kTwoScreens) != 0, (bytes[kConfigAt] & kStreams) != 0,
                   kScreensAt, 0, bytes.size()};
  if (layout.twoScreens && layout.streams) {
    layout.screensAt += 2;
    layout.secondStreamAt = WordAt(bytes, kScreensAt);
  }
  layout.firstStreamAt = layout.screensAt + (layout.twoScreens ? 2 : 1) * kScreenBytes;
  return layout;
}

// The colour (0-7) of every pixel of the border that a stream paints.
std::vector<std::uint8_t> StreamBorder(std::span<const std::uint8_t> stream) {
  std::vector<std::uint8_t> colours(static_cast<std::size_t>(kWidth) * kHeight, 0);
  std::size_t next = 0;
  for (int y = 0; y < kHeight; ++y) {
    int x = 0;
    while (x < kWidth && next < stream.size()) {
      const std::uint8_t byte = stream[next++];
      const int code = byte >> 3;
      const int stretchEnd = (y >= kTop && y < kTop + kScreenHeight && x < kLeft) ? kLeft : kWidth;
      int run = 2 * (code + 13);
      if (code == 0) run = stretchEnd - x;
      if (code == 1) run = next < stream.size() ? 2 * stream[next++] : 0;
      if (code == 2) run = 24;
      for (; run > 0 && x < kWidth; --run) {
        colours[static_cast<std::size_t>(y) * kWidth + x] = byte & 7;
        if (InScreen(++x, y)) x = kRight;
      }
    }
  }
  return colours;
}

std::span<const std::uint8_t> StreamOf(std::span<const std::uint8_t> bytes, const BspLayout& layout,
                                       int s) {
  if (s == 1) return bytes.subspan(layout.secondStreamAt);
  return bytes.subspan(layout.firstStreamAt, layout.secondStreamAt - layout.firstStreamAt);
}

// Screen s (0 or 1) inside its border, the border as paper of its colour.
AttributePicture ScreenOf(std::span<const std::uint8_t> bytes, const BspLayout& layout, int s) {
  const std::size_t screen = layout.screensAt + static_cast<std::size_t>(s) * kScreenBytes;
  const std::vector<std::uint8_t> border =
      layout.streams ? StreamBorder(StreamOf(bytes, layout, s))
                     : std::vector<std::uint8_t>(static_cast<std::size_t>(kWidth) * kHeight,
                                                 (bytes[kColoursAt] >> (3 * s)) & 7);
  return LaidOut(
      kWidth, kHeight,
      [&](int x, int y) {
        return InScreen(x, y) && InkBit(bytes, screen + LineOffset(y - kTop), x - kLeft);
      },
      [&](int x, int y) -> std::uint8_t {
        if (!InScreen(x, y)) return border[static_cast<std::size_t>(y) * kWidth + x] << 3;
        return bytes[screen + kPixelBytes +
                     static_cast<std::size_t>((y - kTop) >> 3) * kAttributeRowBytes +
                     static_cast<std::size_t>((x - kLeft) >> 3)];
      });
}

}  // namespace

std::string BspHeaderFault(std::span<const std::uint8_t> bytes) {
  const std::string no = "not a .bsp file: ";
  const std::string start =
      HeaderStartFault(bytes, "a .bsp file", kScreensAt + 2, kSignature, "\"bsp\"");
  if (!start.empty()) return start;
  const BspLayout layout = LayoutOf(bytes);
  const std::size_t least = layout.firstStreamAt;
  if (bytes.size() < least || (layout.twoScreens && !layout.streams && bytes.size() != least)) {
    return no + "its screens need " + std::string(layout.streams ? "at least " : "") +
           std::to_string(least) + " bytes; it holds " + std::to_string(bytes.size());
  }
  if (layout.secondStreamAt < least || layout.secondStreamAt > bytes.size()) {
    return no + "its second border stream would begin at " + std::to_string(layout.secondStreamAt) +
           ", outside " + std::to_string(least) + "-" + std::to_string(bytes.size());
  }
  return {};
}

ScreenPictures BspPictures(std::span<const std::uint8_t> bytes, const ScreenOptions& options) {
  const BspLayout layout = LayoutOf(bytes);
  if (!layout.twoScreens) {
    return AttributeFrames(ScreenOf(bytes, layout, 0), options.palette.colours, options.flash);
  }
  return GigascreenFrames(ScreenOf(bytes, layout, 0), ScreenOf(bytes, layout, 1), options);
}

}  // namespace orlaspin
