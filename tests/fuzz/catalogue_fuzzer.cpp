// The catalogue of any image, of any length: the listing stays within the 128 slots, every row
// shows its entry's bytes, the marks follow the lengths, and nothing of an earlier image shows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "containers/catalogue.h"
#include "cli.h"
#include "fake_file_system.h"
#include "fuzz_check.h"
#include "program_state.h"
#include "recording_views.h"
#include "trd_builder.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

using Bytes = std::vector<std::uint8_t>;

const std::string kImage = "/disk/image.trd";

unsigned ByteAt(const Bytes& image, std::size_t at) { return at < image.size() ? image[at] : 0; }

unsigned U16At(const Bytes& image, std::size_t at) {
  return ByteAt(image, at) | (ByteAt(image, at + 1) << 8);
}

// An earlier image whose 128 entries would show through anywhere the new one left them.
const Bytes& PreviousImage() {
  static const Bytes image = [] {
    TrdBuilder builder(2048);
    for (int i = 0; i < kCatalogueSlots; ++i)
      builder.AddEntry({.name = "PREVIOUS", .firstSector = 5});
    return builder.Build();
  }();
  return image;
}

struct Loaded {
  ProgramState state;
  RecordingCatalogueView grid;
};

void Load(Loaded& loaded, const Bytes& image) {
  FakeFileSystem files;
  files.files[kImage] = image;
  LoadCatalogue(loaded.state, files, loaded.grid, kImage);
}

void CheckRow(const Bytes& image, const RecordingCatalogueView& grid, int row) {
  const std::size_t at = static_cast<std::size_t>(row) * kCatalogueEntrySize;
  std::string name;
  for (std::size_t i = 0; i < 8 && ByteAt(image, at + i) != 0; ++i) {
    name += static_cast<char>(ByteAt(image, at + i));
  }
  FuzzRequire(!name.empty() && grid.Cell(0, row) == name,
              "column 0 is the name up to its first zero");
  FuzzRequire(grid.Cell(1, row) == std::string(1, static_cast<char>(ByteAt(image, at + 8))),
              "column 1 is the one extension byte");
  FuzzRequire(grid.Cell(2, row) == std::to_string(U16At(image, at + 9)), "column 2 is the start");
  FuzzRequire(grid.Cell(3, row) == std::to_string(U16At(image, at + 11)), "column 3 is the length");
  const unsigned offset = (ByteAt(image, at + 15) * 16 + ByteAt(image, at + 14)) * 256;
  FuzzRequire(grid.Cell(4, row) == std::to_string(offset), "column 4 is the file offset");
  for (int column = 0; column < kGridColumns; ++column) {
    for (const unsigned char c : EscapeCatalogueText(grid.Cell(column, row))) {
      FuzzRequire(c >= 0x20 && c <= 0x7E, "the command line prints only printable ASCII");
    }
  }
}

void CheckListing(const Bytes& image, const Loaded& loaded) {
  int expectedCount = 0;
  while (expectedCount < kCatalogueSlots &&
         ByteAt(image, expectedCount * kCatalogueEntrySize) != 0) {
    ++expectedCount;
  }
  const ProgramState& state = loaded.state;
  FuzzRequire(state.EntryCount == expectedCount, "EntryCount counts up to the first empty name");
  FuzzRequire(loaded.grid.rowCount == (expectedCount == 0 ? 1 : expectedCount),
              "one grid row per entry, never fewer than one");
  for (int slot = 0; slot < kCatalogueSlots; ++slot) {
    for (std::size_t i = 0; i < kCatalogueEntrySize; ++i) {
      FuzzRequire(state.Catalogue[slot].Bytes[i] == ByteAt(image, slot * kCatalogueEntrySize + i),
                  "every slot holds the image's bytes, zero past its end");
    }
  }
  for (int row = 0; row <= expectedCount && row < kCatalogueSlots; ++row) {
    const bool screen = U16At(image, row * kCatalogueEntrySize + 11) == 6912;
    FuzzRequire(state.Catalogue[row].IsScreen == (screen ? 1 : 0), "marked exactly when 6912 long");
  }
  for (int row = 0; row < expectedCount; ++row) CheckRow(image, loaded.grid, row);
  if (expectedCount == 0) {
    for (int column = 0; column < kGridColumns; ++column) {
      FuzzRequire(loaded.grid.Cell(column, 0).empty(), "a blank single row");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Bytes image(data, data + size);

  Loaded fresh;
  Load(fresh, image);
  CheckListing(image, fresh);

  Loaded reused;
  Load(reused, PreviousImage());
  Load(reused, image);
  CheckListing(image, reused);
  return 0;
}
