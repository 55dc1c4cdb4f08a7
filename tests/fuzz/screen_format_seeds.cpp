// Writes the seeds of the screen-format fuzz target into FOLDER: a file of each format, built
// from a pseudo-random sequence, and the real example screens of the test data, each behind the
// byte that picks its extension and a byte of options.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "screens/screen_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Colourful(std::size_t size, std::uint32_t seed) {
  Bytes bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state >> 11);
  }
  return bytes;
}

Bytes Chr(int columns, int rows, int cellBytes) {
  Bytes bytes = {'c',
                 'h',
                 'r',
                 '$',
                 static_cast<std::uint8_t>(columns),
                 static_cast<std::uint8_t>(rows),
                 static_cast<std::uint8_t>(cellBytes)};
  const Bytes cells = Colourful(static_cast<std::size_t>(columns * rows * cellBytes), 5);
  bytes.insert(bytes.end(), cells.begin(), cells.end());
  return bytes;
}

void Write(const std::filesystem::path& path, std::uint8_t kind, std::uint8_t options,
           const Bytes& file) {
  Bytes seed = {kind, options};
  seed.insert(seed.end(), file.begin(), file.end());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
  if (!out) throw std::runtime_error("cannot write seed " + path.string());
}

Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const auto kinds = orlaspin::ScreenFileKinds();
  // Options: flash with a border, flicker at scale 2, and none.
  const std::uint8_t choices[] = {0x2D, 0xC2, 0x00};
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const auto kind = static_cast<std::uint8_t>(i);
    if (kinds[i].format == orlaspin::ScreenFormat::Chr) {
      Write(folder / ("chr-colour-" + std::to_string(i)), kind, choices[0], Chr(5, 3, 9));
      Write(folder / ("chr-mono-" + std::to_string(i)), kind, choices[1], Chr(2, 7, 8));
      Write(folder / ("chr-giga-" + std::to_string(i)), kind, choices[1], Chr(4, 4, 18));
      continue;
    }
    Write(folder / ("kind-" + std::to_string(i)), kind, choices[i % 3],
          Colourful(kinds[i].size, static_cast<std::uint32_t>(i)));
  }

  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(ORLASPIN_TESTDATA) / "screens")) {
    const std::string extension = entry.path().extension().string();
    const Bytes file = ReadAll(entry.path());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      if (orlaspin::ScreenFormatOf(extension, file.size()) == kinds[i].format &&
          "." + std::string(kinds[i].extension) == extension) {
        Write(folder / ("real-" + entry.path().filename().string()), static_cast<std::uint8_t>(i),
              0x01, file);
        break;
      }
    }
  }
  return 0;
}
