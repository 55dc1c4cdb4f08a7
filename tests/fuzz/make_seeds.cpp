// Writes the seed corpus of every fuzz target into <folder>/<target>/: small disk images made by
// the test image builder (short, full, hostile catalogues; screens in, across and past the end),
// offsets with images for the screen decoder, and catalogue names.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

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
