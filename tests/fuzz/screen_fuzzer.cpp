// A screen at any offset of any image: the bytes read are the 6912 at that offset (zero where
// the image ends), the picture is the one they give, and the bitmap file holds that picture.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "containers/screen_source.h"
#include "encoders/bitmap_file.h"
#include "export_check.h"
#include "fake_file_system.h"
#include "fuzz_check.h"
#include "oracle.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

const std::string kImage = "/disk/image.trd";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first four bytes are the offset (little-endian), the rest is the image.
  if (size < 4) return 0;
  const std::uint32_t offset =
      data[0] | (data[1] << 8) | (data[2] << 16) | (std::uint32_t{data[3]} << 24);
  const Bytes image(data + 4, data + size);
  const ScreenBytes expected = ScreenAt(image, offset);

  FakeFileSystem files;
  files.files[kImage] = image;
  ImageFileScreenSource source(files, kImage);
  CollectionFile file;
  file.offset = offset;
  const std::vector<std::uint8_t> bytes = source.ScreenFile(file);
  FuzzRequire(bytes.size() == kScreenBytes, "a standard screen reads as 6912 bytes");
  ScreenBytes screen;
  std::copy(bytes.begin(), bytes.end(), screen.begin());
  FuzzRequire(screen == expected, "the screen's bytes, zero past the end");

  // Over a different earlier picture: nothing of it may remain.
  Picture picture = ScreenPicture(ScreenBytes{}, kZxPaletteColours);
  DecodeScreen(screen, kZxPaletteColours, picture.pixels);
  FuzzRequire(DifferenceFromOracle(picture, expected).empty(),
              "the picture is the screen's pixels in its cells' colours");
  FuzzRequire(BitmapOf(picture) == OracleBitmapFile(expected), "the bitmap file holds the picture");
  return 0;
}
