#include "export/path_filter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace orlaspin {
namespace {

// An independent matcher of "*", "?" and plain characters over ASCII, by trying every split.
bool OracleMatches(std::string_view glob, std::string_view text) {
  if (glob.empty()) return text.empty();
  if (glob[0] == '*') {
    for (std::size_t taken = 0; taken <= text.size(); ++taken) {
      if (taken > 0 && text[taken - 1] == '/') break;
      if (OracleMatches(glob.substr(1), text.substr(taken))) return true;
    }
    return false;
  }
  if (text.empty()) return false;
  const char g = static_cast<char>(std::tolower(glob[0]));
  const char t = static_cast<char>(std::tolower(text[0]));
  const bool one = glob[0] == '?' ? t != '/' : g == t;
  return one && OracleMatches(glob.substr(1), text.substr(1));
}

std::string RandomText(std::mt19937& random, std::string_view alphabet, int longest) {
  std::string text(random() % (longest + 1), ' ');
  for (char& c : text) c = alphabet[random() % alphabet.size()];
  return text;
}

TEST(GlobMatches, AgreesWithTryingEverySplitAndIgnoresTheCaseOfLetters) {
  std::mt19937 random(18);
  for (int i = 0; i < 20000; ++i) {
    const std::string glob = RandomText(random, "aB*?/", 6);
    const std::string text = RandomText(random, "abAB/", 7);
    ASSERT_EQ(GlobMatches(glob, text), OracleMatches(glob, text)) << glob << " " << text;
    std::string upper = glob;
    for (char& c : upper) c = static_cast<char>(std::toupper(c));
    ASSERT_EQ(GlobMatches(upper, text), GlobMatches(glob, text)) << glob << " " << text;
  }
}

TEST(GlobMatches, SetsTakeOneCharacterOfTheirMembersRangesOrComplement) {
  const struct {
    const char* glob;
    const char* members;  // of "ab-]!^/xyzé", those the glob matches
  } cases[] = {{"[ab]", "ab"},      {"[!ab]", "-]!^xyzé"}, {"[^ab]", "-]!^xyzé"}, {"[x-z]", "xyz"},
               {"[]a]", "]a"},      {"[!]a]", "b-!^xyzé"}, {"[a-]", "a-"},        {"[é]", "é"},
               {"?", "ab-]!^xyzé"}, {"[/]", ""},           {"[!/]", "ab-]!^xyzé"}};
  for (const auto& c : cases) {
    for (const std::string one : {"a", "b", "-", "]", "!", "^", "/", "x", "y", "z", "é"}) {
      EXPECT_EQ(GlobMatches(c.glob, one),
                std::string_view(c.members).find(one) != std::string::npos)
          << c.glob << " " << one;
    }
  }
  EXPECT_TRUE(GlobMatches("[ab", "[ab"));  // no "]": the characters themselves
  EXPECT_TRUE(GlobMatches("a\\b", "a/b"));
}

TEST(GlobMatchesParts, MatchesWholePartsInARowAndNothingElse) {
  const std::string path = "zx/Games.zip/disk1/GAME.trd/TITLE";
  const std::vector<std::string> parts = {"zx", "Games.zip", "disk1", "GAME.trd", "TITLE"};
  // Every run of whole parts matches, as its text and with each part a "*".
  for (std::size_t first = 0; first < parts.size(); ++first) {
    std::string run, stars;
    for (std::size_t last = first; last < parts.size(); ++last) {
      run += (last > first ? "/" : "") + parts[last];
      stars += last > first ? "/*" : "*";
      EXPECT_TRUE(GlobMatchesParts(run, path)) << run;
      EXPECT_TRUE(GlobMatchesParts(stars, path)) << stars;
    }
  }
  // Never a piece of a part, nor more parts than the path has.
  for (const char* glob : {"ame.trd", "GAME", "x/Games.zip", "*/*/*/*/*/*", "disk1/TITLE", ""}) {
    EXPECT_FALSE(GlobMatchesParts(glob, path)) << glob;
  }
}

TEST(PathFilter, KeepsWhatAnIncludeMatchesUnlessAnExcludeDoes) {
  const PathFilter none;
  const PathFilter filter{{"*.trd", "TITLE*"}, {"old", "*.bak"}};
  const struct {
    const char* path;
    bool included;
    const char* excludedBy;
  } cases[] = {{"a/GAME.TRD", true, ""},           {"a/old/GAME.trd", true, "old"},
               {"a/x.scl/title", true, ""},        {"a/x.scl/PIC", false, ""},
               {"a/GAME.trd.bak", false, "*.bak"}, {"a/older/x.trd", true, ""}};
  for (const auto& c : cases) {
    EXPECT_TRUE(none.Keeps(c.path));
    EXPECT_EQ(filter.IsIncluded(c.path), c.included) << c.path;
    EXPECT_EQ(filter.ExcludedBy(c.path), c.excludedBy) << c.path;
    EXPECT_EQ(filter.Keeps(c.path), c.included && std::string(c.excludedBy).empty()) << c.path;
  }
}

}  // namespace
}  // namespace orlaspin
