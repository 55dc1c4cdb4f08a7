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
#include "listed_image.h"
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

void Load(ListedImage& loaded, const Bytes& image) {
  FakeFileSystem files;
  files.files[kImage] = image;
  OpenImage(loaded, files, kImage);
}

void CheckRow(const Bytes& image, const ListedImage& state, int row) {
  const auto cell = [&](int column) { return ListedCell(state, column, row); };
  const std::size_t at = static_cast<std::size_t>(row) * kCatalogueEntrySize;
  std::string name;
  for (std::size_t i = 0; i < 8 && ByteAt(image, at + i) != 0; ++i) {
    name += static_cast<char>(ByteAt(image, at + i));
  }
  FuzzRequire(!name.empty() && cell(0) == name, "column 0 is the name up to its first zero");
  FuzzRequire(cell(1) == std::string(1, static_cast<char>(ByteAt(image, at + 8))),
              "column 1 is the one extension byte");
  FuzzRequire(cell(2) == std::to_string(U16At(image, at + 9)), "column 2 is the start");
  FuzzRequire(cell(3) == std::to_string(U16At(image, at + 11)), "column 3 is the length");
  const unsigned offset = (ByteAt(image, at + 15) * 16 + ByteAt(image, at + 14)) * 256;
  FuzzRequire(cell(4) == std::to_string(offset), "column 4 is the file offset");
  for (int column = 0; column < 5; ++column) {
    for (const unsigned char c : EscapeCatalogueText(cell(column))) {
      FuzzRequire(c >= 0x20 && c <= 0x7E, "the command line prints only printable ASCII");
    }
  }
}

void CheckListing(const Bytes& image, const ListedImage& state) {
  int expectedCount = 0;
  while (expectedCount < kCatalogueSlots &&
         ByteAt(image, expectedCount * kCatalogueEntrySize) != 0) {
    ++expectedCount;
  }
  FuzzRequire(state.EntryCount == expectedCount, "EntryCount counts up to the first empty name");
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
  for (int row = 0; row < expectedCount; ++row) CheckRow(image, state, row);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Bytes image(data, data + size);

  ListedImage fresh;
  Load(fresh, image);
  CheckListing(image, fresh);

  ListedImage reused;
  Load(reused, PreviousImage());
  Load(reused, image);
  CheckListing(image, reused);
  return 0;
}
