// Any pictures through the PNG encoder, read back by the tests' own reader (every chunk's CRC,
// zlib's inflation, the filters undone): each frame's size and pixels as given; a 4-bit palette
// of exactly the colours used when there are at most 16, 8-bit RGB otherwise; one frame a still
// image, more an APNG that loops for ever, shows each frame for the given delay and numbers its
// frame chunks 0, 1, 2, ...
//
// The input: width, height, frame count, the delay in milliseconds (2 bytes), a colour count n,
// n colours of 3 bytes, then one byte per pixel choosing among them; bytes past the end read as 0.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <set>
#include <span>
#include <stdexcept>
#include <vector>

#include "encoders/png_file.h"
#include "fuzz_check.h"
#include "png_reader.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

// Small enough that a run tries many inputs, large enough for rows of odd lengths and repeats.
constexpr int kLargestSide = 48;
constexpr int kMostFrames = 3;
constexpr int kMostColours = 24;

class InputBytes {
 public:
  explicit InputBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t Next() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

struct Input {
  std::vector<Picture> frames;
  std::uint16_t milliseconds;
};

Input ReadInput(std::span<const std::uint8_t> bytes) {
  InputBytes in(bytes);
  const int width = 1 + in.Next() % kLargestSide;
  const int height = 1 + in.Next() % kLargestSide;
  const int frameCount = 1 + in.Next() % kMostFrames;
  Input input;
  input.milliseconds = static_cast<std::uint16_t>(in.Next() | (in.Next() << 8));
  std::vector<Colour> colours(1 + in.Next() % kMostColours);
  for (Colour& colour : colours) {
    const std::uint8_t r = in.Next(), g = in.Next(), b = in.Next();
    colour = MakeColour(r, g, b);
  }
  for (int i = 0; i < frameCount; ++i) {
    Picture& frame = input.frames.emplace_back(Picture{width, height, {}});
    for (int p = 0; p < width * height; ++p) {
      frame.pixels.push_back(colours[in.Next() % colours.size()]);
    }
  }
  return input;
}

std::uint32_t U32BE(const std::vector<std::uint8_t>& bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

void CheckPixels(const DecodedPng& png, const Input& input) {
  FuzzRequire(png.width == static_cast<std::uint32_t>(input.frames.front().width) &&
                  png.height == static_cast<std::uint32_t>(input.frames.front().height),
              "the header's size is the pictures'");
  FuzzRequire(png.frames.size() == input.frames.size(), "one frame per picture");
  for (std::size_t f = 0; f < input.frames.size(); ++f) {
    const std::vector<Colour>& pixels = input.frames[f].pixels;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const Rgb rgb = png.frames[f][i];
      FuzzRequire(MakeColour(rgb.r, rgb.g, rgb.b) == pixels[i], "every pixel reads back as given");
    }
  }
}

void CheckColourType(const DecodedPng& png, const Input& input) {
  std::set<Colour> used;
  for (const Picture& frame : input.frames) used.insert(frame.pixels.begin(), frame.pixels.end());
  if (used.size() > 16) {
    FuzzRequire(png.colourType == 2 && png.bitDepth == 8 && png.palette.empty(),
                "more than 16 colours are stored as 8-bit RGB");
    return;
  }
  FuzzRequire(png.colourType == 3 && png.bitDepth == 4, "16 colours or fewer take a 4-bit palette");
  std::set<Colour> listed;
  for (const Rgb& rgb : png.palette) listed.insert(MakeColour(rgb.r, rgb.g, rgb.b));
  FuzzRequire(listed == used && png.palette.size() == used.size(),
              "the palette lists each colour used once, and no other");
}

void CheckAnimation(const DecodedPng& png, const Input& input) {
  const bool animated = input.frames.size() > 1;
  FuzzRequire(png.animated == animated, "an APNG exactly when there are several frames");
  if (!animated) {
    FuzzRequire(png.frameControls.empty() && png.dataSequences.empty(),
                "a still image has no frame chunks");
    return;
  }
  FuzzRequire(png.frameCount == input.frames.size() && png.plays == 0,
              "the animation counts its frames and loops for ever");
  FuzzRequire(png.frameControls.size() == input.frames.size(), "a frame control per frame");
  for (const PngFrameControl& control : png.frameControls) {
    FuzzRequire(control.width == png.width && control.height == png.height && control.x == 0 &&
                    control.y == 0,
                "every frame covers the whole picture");
    FuzzRequire(control.delayNumerator == input.milliseconds && control.delayDenominator == 1000,
                "every frame shows for the delay given");
    FuzzRequire(control.dispose == 0 && control.blend == 0, "frames replace one another");
  }
  std::uint32_t expected = 0;
  for (const PngChunk& chunk : png.chunks) {
    if (chunk.type != "fcTL" && chunk.type != "fdAT") continue;
    FuzzRequire(U32BE(chunk.data) == expected++, "frame chunks numbered 0, 1, 2, ... in order");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input input = ReadInput(std::span(data, size));
  const std::vector<std::uint8_t> file = EncodePng(input.frames, input.milliseconds);
  DecodedPng png;
  try {
    png = DecodePng(file);
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "%s\n", error.what());
    FuzzRequire(false, "the file is a PNG that reads back");
  }
  CheckPixels(png, input);
  CheckColourType(png, input);
  CheckAnimation(png, input);
  return 0;
}
