// Output file names: catalogue names made safe for every file system, never a Windows device.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

namespace orlaspin {

// Bytes that no file name may hold: " * / : < > ? \ |
extern const std::bitset<256> UnsafeNameChars;

inline constexpr std::string_view kUniquenessSuffix = "1";
// Between a cut stem and its number, once appending "1" would make a name too long.
inline constexpr char kNumberMark = '~';

class FileSystem;

// A catalogue name (0-8 bytes, no zero byte) made safe as a file-name stem: unsafe characters and
// bytes below 32 become "_", leading and trailing spaces go, and a stem whose part before the
// first dot is a Windows device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9) gets "_" after it.
std::string MakeSafeName(std::string_view name);

// True when the part of stem before its first dot, trailing spaces ignored, is a device name.
bool IsDeviceName(std::string_view stem);

// The names tried in turn for a new file in folder, never a Windows device name: stem +
// extension, then with "1" appended to the stem again and again while the name fits the folder
// (FileSystem::NameFits). The n-th name tried that would not fit is stem + "~n" + extension
// instead, the stem cut at a character's end as far as needed, so every name tried can be made.
class FreeNames {
 public:
  FreeNames(FileSystem& files, std::string folder, std::string stem, std::string_view extension);

  std::string Next();

 private:
  std::string Candidate();
  std::string Numbered(int number) const;

  FileSystem& files_;
  std::string folder_;
  std::string stem_;  // grows by "1" while names fit
  std::string extension_;
  int tried_ = 0;
  bool numbered_ = false;
};

}  // namespace orlaspin
