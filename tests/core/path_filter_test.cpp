#include "export/path_filter.h"

#include <gtest/gtest.h>

#include <random>

namespace orlaspin {
namespace {

// An independent matcher of "*", "?" and other characters over ASCII, trying every split.
bool OracleMatches(std::string_view glob, std::string_view text) {
  if (glob.empty()) return text.empty();
  for (std::size_t taken = 0; glob[0] == '*' && taken <= text.size(); ++taken) {
    if (taken > 0 && text[taken - 1] == '/') return false;
    if (OracleMatches(glob.substr(1), text.substr(taken))) return true;
  }
  return glob[0] != '*' && !text.empty() &&
         (glob[0] == '?' ? text[0] != '/' : tolower(glob[0]) == tolower(text[0])) &&
         OracleMatches(glob.substr(1), text.substr(1));
}

TEST(GlobMatches, AgreesWithTryingEverySplit) {
  std::mt19937 random(18);
  for (int i = 0; i < 20000; ++i) {
    std::string glob(random() % 7, ' '), text(random() % 8, ' ');
    for (char& c : glob) c = "aB*?/"[random() % 5];
    for (char& c : text) c = "abAB/"[random() % 5];
    ASSERT_EQ(GlobMatches(glob, text), OracleMatches(glob, text)) << glob << " " << text;
  }
}

TEST(GlobMatches, SetsTakeOneCharacterOfTheirMembersRangesOrComplement) {
  const std::pair<const char*, const char*> cases[] = {
      {"[ab]", "aAbB"}, {"[!ab]", "-]!xzXZé"}, {"[^x-z]", "aAbB-]!é"},
      {"[]a]", "]aA"},  {"[é]", "é"},          {"[/]", ""}};
  for (const auto& [glob, members] : cases) {
    for (const std::string one :
         {"a", "A", "b", "B", "-", "]", "!", "x", "z", "X", "Z", "é", "/", "\\"}) {
      EXPECT_EQ(GlobMatches(glob, one), std::string_view(members).find(one) != std::string::npos)
          << glob << " " << one;
    }
  }
  EXPECT_TRUE(GlobMatches("[ab", "[ab") && GlobMatches("a/b", "A\\b") && !GlobMatches("a/", "a"));
}

TEST(GlobMatchesParts, MatchesWholePartsInARowAndNothingElse) {
  const std::string path = "zx/Games.zip/disk1/GAME.trd/TITLE";
  for (const char* glob :
       {"zx", "games.ZIP", "TITLE", "Games.zip/disk1", "*/*/*/*/*", "g*/d*", path.c_str()}) {
    EXPECT_TRUE(GlobMatchesParts(glob, path)) << glob;
  }
  for (const char* glob : {"ame.trd", "GAME", "x/Games.zip", "*/*/*/*/*/*", "disk1/TITLE", ""}) {
    EXPECT_FALSE(GlobMatchesParts(glob, path)) << glob;
  }
}

}  // namespace
}  // namespace orlaspin
