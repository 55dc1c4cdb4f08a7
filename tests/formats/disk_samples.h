// A small TR-DOS disk that the tests of every disk image kind take apart and read back: two
// screens (one drawn, one real) and a BASIC file, on 3 cylinders of 2 sides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "containers/collection.h"
#include "screens/screen.h"

namespace orlaspin::testing {

inline constexpr std::size_t kSampleCylinders = 3;
inline constexpr std::size_t kSampleHeads = 2;

struct SampleFile {
  std::string name;  // as listed: 8 bytes, filled out with spaces
  std::uint8_t extension;
  std::uint16_t start;
  std::uint16_t length;
  std::uint64_t offset;  // in the linear image: (track x 16 + sector) x 256
  std::optional<ScreenBytes> screen;
};

// The linear image, as TrdBuilder makes it.
std::vector<std::uint8_t> SampleTrDosImage();
std::vector<SampleFile> SampleTrDosFiles();

// Checks that collection lists the sample's files, with their screens' bytes, and no warnings.
void ExpectSampleCatalogue(const Collection& collection, std::span<const std::uint8_t> image);

// The warnings of the problem.
std::vector<Warning> WarningsOf(const Collection& collection, Problem problem);

// The message of the ImageFormatError that reading raises; "" when it raises none.
template <typename Read>
std::string FormatErrorOf(Read read) {
  try {
    read();
  } catch (const ImageFormatError& error) {
    return error.Message();
  }
  return "";
}

}  // namespace orlaspin::testing
