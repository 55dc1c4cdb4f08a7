// orlaspin-bench-collection DIR COUNT [SCREENS_DIR]: writes a collection of COUNT images of mixed
// kinds into DIR and each of their screens as a bare .scr file into SCREENS_DIR (default
// DIR-screens), then prints how many images and screens it holds.
#include <charconv>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>

#include "mixed_collection.h"

namespace {

std::optional<int> ImageCount(std::string_view text) {
  int count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (error != std::errc{} || end != text.data() + text.size() || count < 0) return std::nullopt;
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<int> count = argc == 3 || argc == 4 ? ImageCount(argv[2]) : std::nullopt;
  if (!count) {
    std::cerr << "Usage: orlaspin-bench-collection DIR COUNT [SCREENS_DIR]\n"
                 "COUNT is a whole number of images, 0 or more.\n";
    return 2;
  }
  try {
    std::filesystem::path folder = std::filesystem::path(argv[1]).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();  // "DIR/" names DIR too
    const std::filesystem::path screensFolder =
        argc == 4 ? std::filesystem::path(argv[3]) : std::filesystem::path(folder) += "-screens";
    const auto counts = orlaspin::bench::WriteMixedCollection(*count, folder, screensFolder);
    std::cout << counts.images << " images, " << counts.screens << " screens\n";
  } catch (const std::exception& error) {
    std::cerr << "orlaspin-bench-collection: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
