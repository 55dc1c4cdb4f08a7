#include "screen.h"

#include <memory>

#include "disk_file.h"
#include "errors.h"
#include "program_state.h"

namespace orlaspin {

void DecodeScreen(const ScreenBytes& screen, const Palette& palette, PreviewRaster& raster) {
  const std::span<Colour> pixels = raster.Pixels();
  for (std::size_t k = 0; k < kPixelBytes; ++k) {
    // Byte k: bits 0-4 the column, 5-7 the character row, 8-10 the line in the cell, 11-12 the third.
    const std::size_t column = k & 31;
    const std::size_t y = ((k >> 11) << 6) | (((k >> 5) & 7) << 3) | ((k >> 8) & 7);
    const std::uint8_t attribute = screen[kPixelBytes + (y >> 3) * 32 + column];
    const unsigned bright = (attribute & 0x40) ? 8 : 0;
    const Colour ink = palette[(attribute & 7) + bright];
    const Colour paper = palette[((attribute >> 3) & 7) + bright];
    const std::uint8_t bits = screen[k];
    Colour* out = pixels.data() + y * PreviewRaster::kWidth + column * 8;
    for (int n = 7; n >= 0; --n) *out++ = TestBit(bits, static_cast<std::uint8_t>(n)) ? ink : paper;
  }
}

void DrawScreen(ProgramState& state, FileSystem& files, PreviewView& view, const std::string& path,
                std::uint32_t offset) {
  // A vanished image must not let the batch save the previous picture under a new name.
  if (!files.IsFile(path)) throw IoError(kFileNotFound);

  ScreenBytes screen{};  // what the image does not supply stays zero
  {
    const auto file = files.OpenForReading(path);
    file->Seek(offset);
    ReadFully(*file, screen);
    file->Close();
  }
  state.ScreenBuffer = screen;
  if (!state.Preview) state.Preview = std::make_unique<PreviewRaster>();
  DecodeScreen(state.ScreenBuffer, state.ZxPalette, *state.Preview);
  view.RepaintPreviewNow();
}

}  // namespace orlaspin
