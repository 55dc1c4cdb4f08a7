// MakeSafeName on any catalogue name: the stem is the name with unsafe bytes and control bytes
// turned into "_" one for one, the outer spaces gone, and never a Windows device name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "batch_export.h"
#include "disk_file.h"
#include "fuzz_check.h"

namespace {

using orlaspin::testing::FuzzRequire;

constexpr std::string_view kUnsafe = "\"*/:<>?\\|";

bool IsDeviceWord(std::string word) {
  for (char& c : word) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (word == device) return true;
  }
  for (char digit = '0'; digit <= '9'; ++digit) {
    if (word == std::string("COM") + digit || word == std::string("LPT") + digit) return true;
  }
  return false;
}

// What Windows would open as a device: the part before the first dot, trailing spaces ignored.
bool NamesDevice(std::string_view stem) {
  std::string_view word = stem.substr(0, stem.find('.'));
  while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
  return IsDeviceWord(std::string(word));
}

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

  // Byte for byte: the name without its outer spaces, each byte kept or made "_", and one "_"
  // more right after a device word.
  const std::size_t first = name.find_first_not_of(' ');
  const std::string_view inner =
      first == std::string_view::npos ? std::string_view{}
                                      : name.substr(first, name.find_last_not_of(' ') - first + 1);
  std::string expected;
  for (const unsigned char c : inner) {
    expected += (c < 32 || kUnsafe.find(static_cast<char>(c)) != std::string_view::npos)
                    ? '_'
                    : static_cast<char>(c);
  }
  const bool device = NamesDevice(expected);
  if (device) {
    std::size_t wordEnd = expected.find('.');
    if (wordEnd == std::string::npos) wordEnd = expected.size();
    while (wordEnd > 0 && expected[wordEnd - 1] == ' ') --wordEnd;
    expected.insert(wordEnd, "_");
  }
  FuzzRequire(stem == expected, "the stem is the name made safe byte for byte");
  FuzzRequire(stem.size() == inner.size() + (device ? 1 : 0),
              "length kept apart from trimmed spaces and the device mark");
  FuzzRequire(orlaspin::MakeSafeName(stem) == stem, "a stem is already safe");

  CheckFileName(stem);
  return 0;
}
