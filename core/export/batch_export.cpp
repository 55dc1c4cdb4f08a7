#include "export/batch_export.h"

#include <array>

#include "encoders/bitmap_file.h"
#include "containers/catalogue.h"
#include "io/disk_file.h"
#include "program_state.h"

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

std::string CompletionText(int count) { return std::string(kCompletionText) + std::to_string(count); }

int ExportScreens(ProgramState& state, FileSystem& files, BatchView& view,
                  const std::string& outputDir) {
  int count = 0;
  const int entryCount = state.EntryCount;
  for (int i = 0; i < entryCount; ++i) {
    const CatalogueEntry& entry = state.Catalogue[i];
    if (entry.IsScreen != 1) continue;
    ++count;
    DrawScreen(state, files, view, state.ImagePath, entry.FileOffset());

    // Append "1" while the name is taken, also when a file appears between test and creation,
    // and past names that Windows keeps for devices (COM + "1").
    std::string stem = MakeSafeName(entry.NameText());
    for (;; stem += kUniquenessSuffix) {
      if (IsDeviceName(stem)) continue;
      const std::string fileName = FileNameFromCatalogueBytes(stem) + std::string(kBitmapExtension);
      const std::string path = JoinPath(outputDir, fileName);
      if (files.IsFile(path)) continue;
      const SaveResult result = SaveBitmapFile(state.Preview.get(), files, path);
      if (result == SaveResult::NameTaken) continue;
      if (result == SaveResult::Written) view.FileWritten(fileName);
      break;
    }
  }
  view.ShowCompletion(CompletionText(count), count);
  return count;
}

}  // namespace orlaspin
