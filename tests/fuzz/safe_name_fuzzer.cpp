// MakeSafeName on any catalogue name: the stem is the name with unsafe bytes and control bytes
// turned into "_" one for one, the outer spaces gone, and never a Windows device name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "export/file_names.h"
#include "io/disk_file.h"
#include "export_check.h"
#include "fuzz_check.h"

namespace {

using orlaspin::testing::ExpectedSafeStem;
using orlaspin::testing::FuzzRequire;
using orlaspin::testing::NamesDevice;

constexpr std::string_view kUnsafe = "\"*/:<>?\\|";

std::size_t CodePoints(std::string_view utf8) {
  std::size_t count = 0;
  for (const unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

void CheckFileName(std::string_view stem) {
  const std::string fileName = orlaspin::FileNameFromCatalogueBytes(stem);
  FuzzRequire(CodePoints(fileName) == stem.size(), "one character of the file name per stem byte");
  for (const unsigned char c : fileName) {
    FuzzRequire(c >= 32 && c != '/' && c != '\\', "no control byte or separator in a file name");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A catalogue name: at most 8 bytes, ending before the first zero byte.
  std::string_view name(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
  name = name.substr(0, name.find('\0'));
  const std::string stem = orlaspin::MakeSafeName(name);

  for (const unsigned char c : stem) {
    FuzzRequire(kUnsafe.find(static_cast<char>(c)) == std::string_view::npos, "no unsafe byte");
    FuzzRequire(!orlaspin::UnsafeNameChars[c], "no member of UnsafeNameChars");
    FuzzRequire(c >= 32, "no byte below 32");
  }
  FuzzRequire(stem.empty() || (stem.front() != ' ' && stem.back() != ' '), "no outer space");
  FuzzRequire(!NamesDevice(stem) && !orlaspin::IsDeviceName(stem), "never a device name");

  const std::size_t first = name.find_first_not_of(' ');
  const std::size_t inner =
      first == std::string_view::npos ? 0 : name.find_last_not_of(' ') - first + 1;
  FuzzRequire(stem.size() == inner || stem.size() == inner + 1,
              "length kept apart from trimmed spaces, one more for a device mark");
  FuzzRequire(stem == ExpectedSafeStem(name), "the stem is the name made safe byte for byte");
  FuzzRequire(orlaspin::MakeSafeName(stem) == stem, "a stem is already safe");

  CheckFileName(stem);
  return 0;
}
