#include "export/file_names.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
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

// The names tried in a folder whose names hold at most `limit` bytes: devices passed over, the
// stem cut at a character's end ("Ж" is two bytes).
TEST(FreeNames, GrowByOnesWhileTheNameFitsThenNumberTheCutStem) {
  const std::tuple<std::string, std::size_t, std::vector<std::string>> cases[] = {
      {"COM", 10, {"COM.bmp", "COM11.bmp", "COM111.bmp", "COM~5.bmp"}},
      {"\u0416\u0416\u0416", 10, {"\u0416\u0416\u0416.bmp", "\u0416\u0416~2.bmp"}},
      {"LONGNAME", 8, {"LO~1.bmp", "LO~2.bmp"}}};
  for (const auto& [stem, limit, expected] : cases) {
    testing::FakeFileSystem files;
    files.nameLimit = limit;
    FreeNames names(files, "out", stem, ".bmp");
    for (const std::string& name : expected) EXPECT_EQ(names.Next(), name) << stem;
  }
}

}  // namespace
}  // namespace orlaspin
