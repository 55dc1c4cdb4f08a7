// Output file names: catalogue names made safe for every file system, never a Windows device.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

namespace orlaspin {

// Bytes that no file name may hold: " * / : < > ? \ |
extern const std::bitset<256> UnsafeNameChars;

inline constexpr std::string_view kUniquenessSuffix = "1";

// A catalogue name (0-8 bytes, no zero byte) made safe as a file-name stem: unsafe characters and
// bytes below 32 become "_", leading and trailing spaces go, and a stem whose part before the
// first dot is a Windows device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9) gets "_" after it.
std::string MakeSafeName(std::string_view name);

// True when the part of stem before its first dot, trailing spaces ignored, is a device name.
bool IsDeviceName(std::string_view stem);

}  // namespace orlaspin
