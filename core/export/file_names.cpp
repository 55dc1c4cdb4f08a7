#include "export/file_names.h"

#include "io/disk_file.h"

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

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Drops the last character of UTF-8 text.
void DropLastCharacter(std::string& text) {
  while (!text.empty() && IsContinuationByte(text.back())) text.pop_back();
  if (!text.empty()) text.pop_back();
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

FreeNames::FreeNames(FileSystem& files, std::string folder, std::string stem,
                     std::string_view extension)
    : files_(files), folder_(std::move(folder)), stem_(std::move(stem)), extension_(extension) {}

std::string FreeNames::Next() {
  for (;;) {
    std::string name = Candidate();
    if (!IsDeviceName(name)) return name;
  }
}

std::string FreeNames::Candidate() {
  ++tried_;
  if (!numbered_) {
    std::string name = stem_ + extension_;
    if (files_.NameFits(folder_, name)) {
      stem_ += kUniquenessSuffix;
      return name;
    }
    numbered_ = true;
    stem_.resize(stem_.size() - static_cast<std::size_t>(tried_ - 1) * kUniquenessSuffix.size());
  }
  return Numbered(tried_);
}

std::string FreeNames::Numbered(int number) const {
  const std::string tail = kNumberMark + std::to_string(number) + extension_;
  std::string cut = stem_;
  while (!cut.empty() && !files_.NameFits(folder_, cut + tail)) DropLastCharacter(cut);
  return cut + tail;
}

}  // namespace orlaspin
