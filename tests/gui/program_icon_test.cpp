// The program's icon as the executable carries it: one 32 x 32 image in 16 colours, pixel for
// pixel the picture of its text source (read here independently of the build's generator).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gui_driver.h"
#include "screen_capture.h"

namespace orlaspin::gui_test {
namespace {

constexpr int kSize = 32;

struct IconSource {
  std::vector<testing::Rgb> palette;
  std::vector<std::string> rows;  // '.' transparent, else a hexadecimal palette index
};

IconSource ReadIconSource() {
  const char* path = std::getenv("ORLASPIN_ICON_SOURCE");
  if (!path) throw std::runtime_error("ORLASPIN_ICON_SOURCE names no file");
  std::ifstream in(path);
  if (!in) throw std::runtime_error(std::string("cannot read ") + path);
  IconSource source;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("palette ", 0) == 0) {
      std::istringstream colours(line.substr(8));
      for (std::string hex; colours >> hex;) {
        const unsigned long value = std::stoul(hex, nullptr, 16);
        source.palette.push_back({static_cast<std::uint8_t>(value >> 16),
                                  static_cast<std::uint8_t>(value >> 8),
                                  static_cast<std::uint8_t>(value)});
      }
    } else {
      source.rows.push_back(line);
    }
  }
  return source;
}

testing::Rgb Expected(const IconSource& source, int x, int y) {
  const char pixel = source.rows[y][x];
  if (pixel == '.') return {255, 255, 255};  // the white it is drawn on
  return source.palette[std::stoi(std::string(1, pixel), nullptr, 16)];
}

std::uint16_t U16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

TEST(ProgramIcon, IsOne32By32ImageIn16ColoursDrawnFromItsSource) {
  const IconSource source = ReadIconSource();
  ASSERT_EQ(source.palette.size(), 16u);
  ASSERT_EQ(source.rows.size(), static_cast<std::size_t>(kSize));

  const HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);
  const HRSRC group = FindResourceW(program, L"MAINICON", RT_GROUP_ICON);
  ASSERT_NE(group, nullptr) << "no MAINICON";
  // The icon directory: reserved, type 1 (icon), one entry of width, height, colours, planes, bits.
  ASSERT_EQ(SizeofResource(program, group), 20u);
  const auto* directory =
      static_cast<const std::uint8_t*>(LockResource(LoadResource(program, group)));
  EXPECT_EQ(U16(directory + 2), 1);
  EXPECT_EQ(U16(directory + 4), 1) << "more than one image";
  EXPECT_EQ(directory[6], kSize);
  EXPECT_EQ(directory[7], kSize);
  EXPECT_EQ(directory[8], 16);
  EXPECT_EQ(U16(directory + 12), 4);

  const auto icon =
      static_cast<HICON>(LoadImageW(program, L"MAINICON", IMAGE_ICON, kSize, kSize, 0));
  ASSERT_NE(icon, nullptr);
  const Picture drawn = DrawOffscreen(kSize, kSize, [icon](HDC dc) {
    PatBlt(dc, 0, 0, kSize, kSize, WHITENESS);
    DrawIconEx(dc, 0, 0, icon, kSize, kSize, 0, nullptr, DI_NORMAL);
  });
  DestroyIcon(icon);
  FreeLibrary(program);
  drawn.SaveBitmap(ScreenshotFolder() + L"\\icon.bmp");

  int wrong = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (!(drawn.At(x, y) == Expected(source, x, y)) && wrong++ < 5) {
        ADD_FAILURE() << "icon pixel (" << x << ", " << y << ") differs from the source";
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace orlaspin::gui_test
