#include "export/file_names.h"

namespace orlaspin {

const std::bitset<256> UnsafeNameChars = [] {
  std::bitset<256> set;
  for (const unsigned char c : std::string_view("\"*/:<>?\\|")) set.set(c);
  return set;
}();

namespace {

bool IsTrimmed(unsigned char c) { return c <= ' '; }

// The part of a stem before its first dot, without trailing spaces: what Windows takes as a
// device name.
std::string_view DeviceWord(std::string_view stem) {
  std::string_view word = stem.substr(0, stem.find('.'));
  while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
  return word;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsDeviceName(std::string_view stem) {
  const std::string_view word = DeviceWord(stem);
  std::string upper(word);
  for (char& c : upper) c = UpperAscii(c);
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '0' && upper[3] <= '9';
}

std::string MakeSafeName(std::string_view name) {
  std::string stem(name);
  for (char& c : stem) {
    if (UnsafeNameChars[static_cast<unsigned char>(c)]) c = '_';
    if (static_cast<unsigned char>(c) < ' ') c = '_';
  }
  std::size_t first = 0;
  while (first < stem.size() && IsTrimmed(stem[first])) ++first;
  std::size_t last = stem.size();
  while (last > first && IsTrimmed(stem[last - 1])) --last;
  stem = stem.substr(first, last - first);

  if (IsDeviceName(stem)) stem.insert(DeviceWord(stem).size(), 1, '_');
  return stem;
}

}  // namespace orlaspin
