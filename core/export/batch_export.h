// The batch export: every 6912-byte file of the open image, decoded and saved as a bitmap.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

#include "screens/screen.h"

namespace orlaspin {

class FileSystem;
struct ProgramState;

// Bytes that no file name may hold: " * / : < > ? \ |
extern const std::bitset<256> UnsafeNameChars;

inline constexpr std::string_view kBitmapExtension = ".bmp";
inline constexpr std::string_view kUniquenessSuffix = "1";
// "Conversion finished. Number of files: " (UTF-8).
inline constexpr std::string_view kCompletionText =
    "Конвертирование завершено. Количество файлов: ";

// What the batch reports besides the preview.
class BatchView : public PreviewView {
 public:
  // A bitmap file was written; fileName is the name without its folder (UTF-8).
  virtual void FileWritten(const std::string& fileName) = 0;
  // The walk reached its end; completionText already holds the count.
  virtual void ShowCompletion(const std::string& completionText, int count) = 0;
};

// A catalogue name (0-8 bytes, no zero byte) made safe as a file-name stem: unsafe characters and
// bytes below 32 become "_", leading and trailing spaces go, and a stem whose part before the
// first dot is a Windows device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9) gets "_" after it.
std::string MakeSafeName(std::string_view name);

// True when the part of stem before its first dot, trailing spaces ignored, is a device name.
bool IsDeviceName(std::string_view stem);

std::string CompletionText(int count);

// Exports every listed screen of state.Catalogue from state.ImagePath into outputDir (the current
// directory when empty), never replacing a file nor writing to a device name, and returns the
// number of entries taken. An error
// ends the run where it occurs; the files written before it stay.
int ExportScreens(ProgramState& state, FileSystem& files, BatchView& view,
                  const std::string& outputDir);

}  // namespace orlaspin
