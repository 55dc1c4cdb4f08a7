// Writes the seeds of the screen-format fuzz target into FOLDER: a file of each format, built
// from a pseudo-random sequence, and the real example screens of the test data, each behind the
// byte that picks its row and extension and a byte of options.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "screens.h"
#include "screens/screen_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using orlaspin::testing::PseudoRandomBytes;

Bytes Chr(int columns, int rows, int cellBytes) {
  Bytes bytes = {'c',
                 'h',
                 'r',
                 '$',
                 static_cast<std::uint8_t>(columns),
                 static_cast<std::uint8_t>(rows),
                 static_cast<std::uint8_t>(cellBytes)};
  const Bytes cells = PseudoRandomBytes(5, static_cast<std::size_t>(columns * rows * cellBytes));
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
  const auto rows = orlaspin::ScreenFormatRows();
  // Options: flash with a border, flicker, and none.
  const std::uint8_t choices[] = {0x2D, 0x02, 0x00};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto row = static_cast<std::uint8_t>(i);
    const std::string stem = "row-" + std::to_string(i);
    if (rows[i].format == orlaspin::ScreenFormat::Chr) {
      Write(folder / (stem + "-colour"), row, choices[0], Chr(5, 3, 9));
      Write(folder / (stem + "-mono"), row, choices[1], Chr(2, 7, 8));
      Write(folder / (stem + "-giga"), row, choices[1], Chr(4, 4, 18));
    }
    for (const std::size_t size : rows[i].sizes) {
      if (size == 0) continue;
      Write(folder / (stem + "-" + std::to_string(size)), row, choices[(i + size) % 3],
            PseudoRandomBytes(static_cast<std::uint32_t>(i), size));
    }
  }

  // A real file goes behind the byte that picks its row and, past the rows, its extension.
  for (const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(ORLASPIN_TESTDATA) / "screens")) {
    const std::string extension = entry.path().extension().string().substr(1);
    const Bytes file = ReadAll(entry.path());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto& extensions = rows[i].extensions;
      const auto at = std::find(extensions.begin(), extensions.end(), extension);
      if (at == extensions.end() || orlaspin::ScreenFormatOf(extension, file) != rows[i].format) {
        continue;
      }
      const std::size_t pick = i + rows.size() * static_cast<std::size_t>(at - extensions.begin());
      Write(folder / ("real-" + entry.path().filename().string()), static_cast<std::uint8_t>(pick),
            0x01, file);
      break;
    }
  }
  return 0;
}
