// Writes the seed corpus of every fuzz target into <folder>/<target>/: small disk images made by
// the test image builder (short, full, hostile catalogues; screens in, across and past the end),
// offsets with images for the screen decoder, catalogue names, SCL archives and Hobeta files
// from the archive builders (whole, cut, with wrong checksums), images of every kind for the
// detection by content, pictures for the PNG encoder, and a screen packed by every packer.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive_builders.h"
#include "packers.h"
#include "container_fuzz_rows.h"
#include "screens/screen.h"
#include "screens.h"
#include "trd_builder.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;
using Bytes = std::vector<std::uint8_t>;

class SeedWriter {
 public:
  explicit SeedWriter(std::filesystem::path folder) : folder_(std::move(folder)) {}

  void Write(const std::string& target, const std::string& name,
             std::span<const std::uint8_t> bytes) {
    const auto dir = folder_ / target;
    std::filesystem::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write seed " + name);
  }

  void Write(const std::string& target, const std::string& name, const std::string& text) {
    Write(target, name, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  }

  // An image for container_fuzzer's row of its kind.
  void WriteContainer(const std::string& row, const std::string& name,
                      std::span<const std::uint8_t> image) {
    Write("container_fuzzer", row + "-" + name, ContainerFuzzSeed(row, image));
  }

 private:
  std::filesystem::path folder_;
};

Bytes Screens(std::size_t count, std::size_t imageSize, const std::vector<std::string>& names) {
  TrdBuilder builder(imageSize);
  for (std::size_t i = 0; i < count; ++i) {
    builder.AddScreen(names[i % names.size()], ColourfulScreen(static_cast<std::uint32_t>(i)));
  }
  return builder.Build();
}

Bytes MixedCatalogue() {
  TrdBuilder builder(4096 + 2 * kScreenBytes);
  builder.AddScreen("SCREEN", ColourfulScreen(1));
  builder.AddEntry({.name = "BASIC", .extension = 'B', .length = 1234, .sectorCount = 5});
  builder.AddEntry({.name = "\x01"
                            "DELETED",
                    .length = 6912});
  builder.AddEntry({.name = "DATA", .extension = 'D', .length = 6911});
  builder.AddEntry({.name = "BIG", .length = 6913});
  builder.AddScreen("SCREEN", ColourfulScreen(2));
  const std::uint8_t zeroInName[] = {'A', 'B', 0, 'C'};
  builder.PutBytes(5 * 16, zeroInName);
  return builder.Build();
}

Bytes FullCatalogue() {
  TrdBuilder builder(2048);
  for (int i = 0; i < 128; ++i) {
    builder.AddEntry({.name = "E" + std::to_string(i),
                      .length = static_cast<std::uint16_t>(i % 8 ? 100 : 6912),
                      .firstSector = static_cast<std::uint8_t>(i),
                      .firstTrack = static_cast<std::uint8_t>(255 - i)});
  }
  return builder.Build();
}

Bytes HostileNames() {
  TrdBuilder builder(4096 + kScreenBytes);
  builder.AddScreen("A:B*C?", ColourfulScreen(3));
  for (const std::string name :
       {"CON", "nul.x", "AUX .A", "        ", "........", "__", " MY PIC ", "\xC0\xC1\xFF\x98",
        "lpt9", "Com0.txt", "a\\b/c|d", "\x1F\x7F\""}) {
    builder.AddEntry({.name = name, .firstSector = 0, .firstTrack = 1});
  }
  return builder.Build();
}

// Entries past the end, across the end and over one another.
Bytes OddPlaces() {
  TrdBuilder builder(4096 + kScreenBytes / 2);
  builder.AddScreen("ACROSS", ColourfulScreen(4));
  builder.AddEntry({.name = "PAST", .firstSector = 255, .firstTrack = 255});
  builder.AddEntry({.name = "OVERLAP", .firstSector = 3, .firstTrack = 1});
  builder.AddEntry({.name = "CATALOG", .firstSector = 0, .firstTrack = 0});
  return builder.Build();
}

Bytes Cut(Bytes image, std::size_t size) {
  image.resize(size);
  return image;
}

Bytes WithOffset(std::uint32_t offset, const Bytes& image) {
  Bytes seed = {static_cast<std::uint8_t>(offset), static_cast<std::uint8_t>(offset >> 8),
                static_cast<std::uint8_t>(offset >> 16), static_cast<std::uint8_t>(offset >> 24)};
  seed.insert(seed.end(), image.begin(), image.end());
  return seed;
}

Bytes WithLastByteChanged(Bytes bytes) {
  bytes.back() ^= 0x5A;
  return bytes;
}

Bytes WithWrongHobetaChecksum(Bytes hobeta) {
  hobeta[15] ^= 0x01;
  return hobeta;
}

Bytes WithPathChoice(std::uint8_t choice, const Bytes& image) {
  Bytes seed = {choice};
  seed.insert(seed.end(), image.begin(), image.end());
  return seed;
}

std::vector<ArchivedFile> ArchivedFiles() {
  return {ScreenFile("ninja", ColourfulScreen(5)),
          {"CODE", 'C', 32768, PseudoRandomBytes(6, 700), {}, {}},
          // Sound data that claims to be a screen, and a header that claims no sectors.
          {"MUSIC", 'C', 16384, PseudoRandomBytes(7, 255 * 256), 6912, {}},
          {"EMPTY", 'B', 10, {}, 6912, 0}};
}

// A disk with its information sector, as a disk of unknown extension is recognised.
Bytes IdentifiedDisk() {
  TrdBuilder builder(4096 + 2 * kScreenBytes);
  builder.AddScreen("SCREEN", ColourfulScreen(8)).AddScreen("TITLE", ColourfulScreen(9));
  return builder.AddDiskInfo("DISK").Build();
}

// Pictures in the PNG target's input form: side lengths, frame count, delay, the colours, then
// one colour choice per pixel.
Bytes Pictures(int width, int height, int frames, std::uint16_t milliseconds,
               const std::vector<Colour>& colours, const Bytes& choices) {
  Bytes seed = {
      static_cast<std::uint8_t>(width - 1),         static_cast<std::uint8_t>(height - 1),
      static_cast<std::uint8_t>(frames - 1),        static_cast<std::uint8_t>(milliseconds),
      static_cast<std::uint8_t>(milliseconds >> 8), static_cast<std::uint8_t>(colours.size() - 1)};
  for (const Colour colour : colours) {
    seed.insert(seed.end(), {RedOf(colour), GreenOf(colour), BlueOf(colour)});
  }
  seed.insert(seed.end(), choices.begin(), choices.end());
  return seed;
}

// Each row's choices repeated scale times, as a scaled picture repeats its rows.
Bytes RepeatedRows(const Bytes& choices, std::size_t width, int scale) {
  Bytes repeated;
  for (std::size_t row = 0; row + width <= choices.size(); row += width) {
    for (int i = 0; i < scale; ++i) {
      repeated.insert(repeated.end(), choices.begin() + static_cast<std::ptrdiff_t>(row),
                      choices.begin() + static_cast<std::ptrdiff_t>(row + width));
    }
  }
  return repeated;
}

void WriteArchiveSeeds(SeedWriter& seeds) {
  const std::vector<ArchivedFile> archived = ArchivedFiles();
  const Bytes scl = BuildScl(archived);
  seeds.WriteContainer("scl", "four-files", scl);
  seeds.WriteContainer("scl", "no-files", BuildScl({}));
  seeds.WriteContainer("scl", "cut-in-data", Cut(scl, scl.size() - 3000));
  seeds.WriteContainer("scl", "cut-in-headers", Cut(scl, 9 + 2 * 14 + 5));
  seeds.WriteContainer("scl", "wrong-checksum", WithLastByteChanged(scl));
  seeds.WriteContainer("scl", "signature-only", Bytes{'S', 'I', 'N', 'C', 'L', 'A', 'I', 'R'});

  const Bytes hobeta = BuildHobeta(archived[0]);
  seeds.WriteContainer("hobeta", "screen", hobeta);
  seeds.WriteContainer("hobeta", "code", BuildHobeta(archived[1]));
  seeds.WriteContainer("hobeta", "claims-a-screen", BuildHobeta(archived[3]));
  seeds.WriteContainer("hobeta", "cut-in-data", Cut(hobeta, 17 + 100));
  seeds.WriteContainer("hobeta", "header-only", Cut(hobeta, 17));
  seeds.WriteContainer("hobeta", "header-cut", Cut(hobeta, 16));
  seeds.WriteContainer("hobeta", "wrong-checksum", WithWrongHobetaChecksum(hobeta));
}

// The first byte picks the file's name; each kind, and bytes that fit two kinds.
void WriteDetectionSeeds(SeedWriter& seeds, const Bytes& unidentifiedDisk) {
  const std::vector<ArchivedFile> archived = ArchivedFiles();
  const Bytes hobeta = BuildHobeta(archived[0]);
  const ScreenBytes screen = ColourfulScreen(10);
  const Bytes bareScreen(screen.begin(), screen.end());
  Bytes screenSayingSinclair = bareScreen;
  std::copy_n("SINCLAIR", 8, screenSayingSinclair.begin());

  seeds.Write("detection_fuzzer", "scl", WithPathChoice(0, BuildScl(archived)));
  seeds.Write("detection_fuzzer", "hobeta", WithPathChoice(1, hobeta));
  seeds.Write("detection_fuzzer", "hobeta-wrong-checksum",
              WithPathChoice(6, WithWrongHobetaChecksum(hobeta)));
  seeds.Write("detection_fuzzer", "screen", WithPathChoice(2, bareScreen));
  seeds.Write("detection_fuzzer", "screen-named-dot", WithPathChoice(5, bareScreen));
  seeds.Write("detection_fuzzer", "screen-saying-sinclair",
              WithPathChoice(3, screenSayingSinclair));
  seeds.Write("detection_fuzzer", "identified-disk", WithPathChoice(4, IdentifiedDisk()));
  seeds.Write("detection_fuzzer", "unidentified-disk", WithPathChoice(7, unidentifiedDisk));
  seeds.Write("detection_fuzzer", "empty", WithPathChoice(8, {}));
}

void WritePngSeeds(SeedWriter& seeds) {
  const std::vector<Colour> zxColours(kZxPaletteColours.begin(), kZxPaletteColours.end());
  std::vector<Colour> manyColours;
  const Bytes levels = PseudoRandomBytes(11, 3 * 24);
  for (std::size_t i = 0; i < levels.size(); i += 3) {
    manyColours.push_back(MakeColour(levels[i], levels[i + 1], levels[i + 2]));
  }
  seeds.Write("png_fuzzer", "palette",
              Pictures(32, 24, 1, 320, zxColours, PseudoRandomBytes(12, 32 * 24)));
  seeds.Write("png_fuzzer", "rgb",
              Pictures(33, 17, 1, 0, manyColours, PseudoRandomBytes(13, 33 * 17)));
  seeds.Write(
      "png_fuzzer", "scaled-flash-frames",
      Pictures(48, 48, 2, 320, zxColours, RepeatedRows(PseudoRandomBytes(14, 48 * 48), 48, 2)));
  seeds.Write("png_fuzzer", "odd-width-frames",
              Pictures(7, 5, 3, 65535, manyColours, PseudoRandomBytes(15, 3 * 7 * 5)));
  seeds.Write("png_fuzzer", "one-pixel", Pictures(1, 1, 1, 1, {kWhite}, {}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FOLDER\n";
    return 2;
  }
  SeedWriter seeds(argv[1]);
  const Bytes threeScreens = Screens(3, 4096 + 3 * kScreenBytes, {"SCREEN"});

  const Bytes empty;
  seeds.Write("catalogue_fuzzer", "empty", empty);
  seeds.Write("catalogue_fuzzer", "one-byte", "A");
  seeds.Write("catalogue_fuzzer", "2047-bytes", Cut(FullCatalogue(), 2047));
  seeds.Write("catalogue_fuzzer", "no-terminator", FullCatalogue());
  seeds.Write("catalogue_fuzzer", "mixed", Cut(MixedCatalogue(), 2048));
  seeds.Write("catalogue_fuzzer", "hostile-names", Cut(HostileNames(), 2048));

  seeds.Write("screen_fuzzer", "in-image", WithOffset(4096, threeScreens));
  seeds.Write("screen_fuzzer", "across-end",
              WithOffset(4096 + 2 * kScreenBytes + 100, threeScreens));
  seeds.Write("screen_fuzzer", "past-end", WithOffset(1109760, threeScreens));
  seeds.Write("screen_fuzzer", "catalogue", WithOffset(0, threeScreens));
  seeds.Write("screen_fuzzer", "empty-image", WithOffset(0, empty));

  seeds.Write("export_fuzzer", "three-screens", threeScreens);
  seeds.Write("export_fuzzer", "mixed", MixedCatalogue());
  seeds.Write("export_fuzzer", "hostile-names", HostileNames());
  seeds.Write("export_fuzzer", "odd-places", OddPlaces());
  seeds.Write("export_fuzzer", "full-catalogue", FullCatalogue());
  seeds.Write("export_fuzzer", "same-name-run", Screens(24, 4096 + 24 * 256, {"RUN"}));

  WriteArchiveSeeds(seeds);
  WriteDetectionSeeds(seeds, threeScreens);
  WritePngSeeds(seeds);
  // A screen packed by each unpacker's row, behind the byte that picks the row.
  for (std::size_t row = 0; row < TestPackers().size(); ++row) {
    const auto screen = std::span(threeScreens).subspan(4096, kScreenBytes);
    Bytes seed = TestPackers()[row].pack(screen);
    seed.insert(seed.begin(), static_cast<std::uint8_t>(row));
    seeds.Write("unpack_fuzzer", "row" + std::to_string(row), seed);
  }

  int serial = 0;
  for (const std::string name :
       {"SCREEN  ", "CON", "nul.x", "AUX .A", "A:B*C?", " MY PIC ", "        ",
        "\x01"
        "ABC",
        "COM9", "LPT0.TXT", "\xC0\xFF\x98", "........", "prn ", "con.", "Aux.a.b"}) {
    seeds.Write("safe_name_fuzzer", "name-" + std::to_string(++serial), name);
  }
  return 0;
}
