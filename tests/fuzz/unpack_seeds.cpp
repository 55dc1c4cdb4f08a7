// Seeds of the unpacker fuzz target: a screen and a short text packed by each row's packer,
// behind the byte that picks the row. Written into the folder named.
#include <filesystem>
#include <string>

#include "packers.h"
#include "screens.h"
#include "test_files.h"

int main(int argc, char** argv) {
  using namespace orlaspin::testing;
  if (argc != 2) return 2;
  std::filesystem::create_directories(PathFromUtf8(argv[1]));
  const auto screen = ColourfulScreen(5);
  const std::string text = "a packed screen, a packed screen, a packed screen";
  const std::vector<std::vector<std::uint8_t>> samples = {{screen.begin(), screen.end()},
                                                          {text.begin(), text.end()}};
  const auto packers = TestPackers();
  for (std::size_t row = 0; row < packers.size(); ++row) {
    for (std::size_t sample = 0; sample < samples.size(); ++sample) {
      std::vector<std::uint8_t> seed{static_cast<std::uint8_t>(row)};
      const auto packed = packers[row].pack(samples[sample]);
      seed.insert(seed.end(), packed.begin(), packed.end());
      WriteFileBytes(
          std::string(argv[1]) + "/row" + std::to_string(row) + "-" + std::to_string(sample), seed);
    }
  }
  return 0;
}
