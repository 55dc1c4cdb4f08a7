// A small PNG and APNG reader for tests, written from the PNG and APNG layouts: every chunk's CRC
// checked, the frames inflated and unfiltered into RGB pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "oracle.h"

namespace orlaspin::testing {

struct PngChunk {
  std::string type;
  std::vector<std::uint8_t> data;
};

struct PngFrameControl {
  std::uint32_t sequence, width, height, x, y;
  std::uint16_t delayNumerator, delayDenominator;
  std::uint8_t dispose, blend;
};

struct DecodedPng {
  std::vector<PngChunk> chunks;  // in file order
  std::uint32_t width = 0, height = 0;
  std::uint8_t bitDepth = 0, colourType = 0;
  std::vector<Rgb> palette;
  bool animated = false;
  std::uint32_t frameCount = 1, plays = 0;  // from acTL
  std::vector<PngFrameControl> frameControls;
  std::vector<std::uint32_t> dataSequences;  // of the fdAT chunks
  std::vector<std::vector<Rgb>> frames;      // the IDAT image first, then each fdAT frame

  std::vector<std::string> ChunkTypes() const;
};

// Throws std::runtime_error, saying what is wrong, for anything that is no valid PNG.
DecodedPng DecodePng(std::span<const std::uint8_t> file);

}  // namespace orlaspin::testing
