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
  if (glob[0] == '*' || text.empty()) return false;
  const bool one = glob[0] == '?' ? text[0] != '/' : tolower(glob[0]) == tolower(text[0]);
  return one && OracleMatches(glob.substr(1), text.substr(1));
}

TEST(GlobMatches, AgreesWithTryingEverySplit) {
  std::mt19937 random(18);
  const auto text = [&random](std::string_view alphabet, unsigned longest) {
    std::string text(random() % (longest + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
  };
  for (int i = 0; i < 20000; ++i) {
    const std::string glob = text("aB*?/", 6), name = text("abAB/", 7);
    ASSERT_EQ(GlobMatches(glob, name), OracleMatches(glob, name)) << glob << " " << name;
  }
}

TEST(GlobMatches, SetsTakeOneCharacterOfTheirMembersRangesOrComplement) {
  const std::pair<const char*, const char*> cases[] = {
      {"[ab]", "aAbB"},         {"[!ab]", "-]!xzXZé"}, {"[^ab]", "-]!xzXZé"}, {"[x-z]", "xzXZ"},
      {"[]a]", "]aA"},          {"[a-]", "aA-"},       {"[é]", "é"},          {"[/]", ""},
      {"[!/]", "aAbB-]!xzXZé"}, {"?", "aAbB-]!xzXZé"}, {"[ab", ""},           {"/", "/\\"}};
  for (const auto& [glob, members] : cases) {
    for (const std::string one :
         {"a", "A", "b", "B", "-", "]", "!", "x", "z", "X", "Z", "é", "/", "\\"}) {
      EXPECT_EQ(GlobMatches(glob, one), std::string_view(members).find(one) != std::string::npos)
          << glob << " " << one;
    }
  }
  EXPECT_TRUE(GlobMatches("[ab", "[ab"));  // no "]": the characters themselves
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
