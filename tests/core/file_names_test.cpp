#include "export/file_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_file_system.h"

namespace orlaspin {
namespace {

TEST(UnsafeNameChars, HoldsExactlyTheNineReservedCharacters) {
  EXPECT_EQ(UnsafeNameChars.count(), 9u);
  for (const unsigned char c : std::string_view("\"*/:<>?\\|"))
    EXPECT_TRUE(UnsafeNameChars[c]) << c;
}

TEST(MakeSafeName, ReplacesUnsafeAndControlBytesOneForOne) {
  EXPECT_EQ(MakeSafeName("A:B*C?"), "A_B_C_");
  EXPECT_EQ(MakeSafeName("\"/<>\\|"), "______");
  for (int c = 1; c < 32; ++c)
    EXPECT_EQ(MakeSafeName(std::string{'A', static_cast<char>(c), 'B'}), "A_B") << c;
  EXPECT_EQ(MakeSafeName("\x01PIC"), "_PIC");
  EXPECT_EQ(MakeSafeName("\x1F"), "_");
  EXPECT_EQ(MakeSafeName("A.B-C\x7F\x80\xC0\xFF"), "A.B-C\x7F\x80\xC0\xFF");
}

TEST(MakeSafeName, TrimsOuterSpacesOnly) {
  EXPECT_EQ(MakeSafeName(" MY PIC "), "MY PIC");
  EXPECT_EQ(MakeSafeName("SCREEN  "), "SCREEN");
  EXPECT_EQ(MakeSafeName("        "), "");
  EXPECT_EQ(MakeSafeName(""), "");
  EXPECT_EQ(MakeSafeName("ABCDEFGH"), "ABCDEFGH");
}

TEST(MakeSafeName, PutsAnUnderscoreAfterADeviceWord) {
  const std::pair<const char*, const char*> cases[] = {
      {"CON", "CON_"},       {"nul.x", "nul_.x"}, {"AUX .A", "AUX_ .A"}, {"  prn   ", "prn_"},
      {"Com0", "Com0_"},     {"COM9.", "COM9_."}, {"lpt5", "lpt5_"},     {"LPT0.A.B", "LPT0_.A.B"},
      {"CON:", "CON_"},      {"CONX", "CONX"},    {"COM", "COM"},        {"COM10", "COM10"},
      {"XCON", "XCON"},      {"LPT", "LPT"},      {"C ON", "C ON"},      {".CON", ".CON"},
      {"NUL  .", "NUL_  ."}, {"COMA", "COMA"}};
  for (const auto& [name, stem] : cases) EXPECT_EQ(MakeSafeName(name), stem) << name;
  EXPECT_TRUE(IsDeviceName("aux  .txt"));
  EXPECT_FALSE(IsDeviceName("AUX_"));
}

// The names tried for a stem in a folder whose names may hold at most `limit` bytes.
TEST(FreeNames, GrowByOnesWhileTheNameFitsThenNumberTheCutStem) {
  struct Case {
    std::string stem;
    std::string extension;
    std::size_t limit;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"SCREEN",
       ".bmp",
       12,
       {"SCREEN.bmp", "SCREEN1.bmp", "SCREEN11.bmp", "SCREEN~4.bmp", "SCREEN~5.bmp", "SCREEN~6.bmp",
        "SCREEN~7.bmp", "SCREEN~8.bmp", "SCREEN~9.bmp", "SCREE~10.bmp"}},
      // Device names are passed over, and count as tried.
      {"COM", ".png", 9, {"COM.png", "COM11.png", "COM~4.png"}},
      // The stem is cut at a character's end: "Ж" is two bytes.
      {"\u0416\u0416\u0416",
       ".bmp",
       10,
       {"\u0416\u0416\u0416.bmp", "\u0416\u0416~2.bmp", "\u0416\u0416~3.bmp"}},
      // A stem that does not fit at all is numbered from the first name.
      {"LONGNAME", ".bmp", 8, {"LO~1.bmp", "LO~2.bmp"}},
  };
  for (const Case& c : cases) {
    testing::FakeFileSystem files;
    files.nameLimit = c.limit;
    FreeNames names(files, "out", c.stem, c.extension);
    std::vector<std::string> tried;
    for (std::size_t i = 0; i < c.names.size(); ++i) tried.push_back(names.Next());
    EXPECT_EQ(tried, c.names) << c.stem;
    for (const std::string& name : tried) {
      EXPECT_LE(name.size(), c.limit) << name;
      EXPECT_FALSE(IsDeviceName(name)) << name;
    }
  }
}

}  // namespace
}  // namespace orlaspin
