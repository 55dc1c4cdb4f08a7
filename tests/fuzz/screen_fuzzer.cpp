// A screen at any offset of any image: the picture is the one its 6912 bytes give (zero where
// the image ends), whatever screen was painted before it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "encoders/bitmap_file.h"
#include "export_check.h"
#include "fake_file_system.h"
#include "fuzz_check.h"
#include "oracle.h"
#include "program_state.h"
#include "recording_views.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

const std::string kImage = "/disk/image.trd";

void Draw(ProgramState& state, const Bytes& image, std::uint32_t offset) {
  FakeFileSystem files;
  files.files[kImage] = image;
  RecordingBatchView view;
  DrawScreen(state, files, view, kImage, offset);
  FuzzRequire(view.repaints == 1, "one repaint per screen");
}

void CheckPicture(const ProgramState& state, const ScreenBytes& expected) {
  FuzzRequire(state.ScreenBuffer == expected,
              "the buffer holds the screen's bytes, zero past the end");
  FuzzRequire(state.Preview != nullptr, "a decoded screen leaves a picture");
  FuzzRequire(DifferenceFromOracle(*state.Preview, expected).empty(),
              "the picture is the screen's pixels in its cells' colours");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first four bytes are the offset (little-endian), the rest is the image.
  if (size < 4) return 0;
  const std::uint32_t offset =
      data[0] | (data[1] << 8) | (data[2] << 16) | (std::uint32_t{data[3]} << 24);
  const Bytes image(data + 4, data + size);

  const ScreenBytes expected = ScreenAt(image, offset);

  ProgramState state;
  state.ZxPalette = kZxPaletteColours;
  Draw(state, image, offset);
  CheckPicture(state, expected);
  FuzzRequire(EncodeBitmap(*state.Preview) == OracleBitmapFile(expected),
              "the bitmap file holds the picture");

  // Again over a different earlier screen: nothing of it may remain.
  Draw(state, Bytes(kScreenBytes, 0xA5), 0);
  Draw(state, image, offset);
  CheckPicture(state, expected);
  return 0;
}
