// Which images and files a run takes: glob patterns matched against the paths it prints.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orlaspin {

// True when the glob matches all of text. Both are UTF-8 and compared character by character,
// ASCII letters in either case alike; "\" counts as "/" in both. "*" stands for any run of
// characters without "/", "?" for one character other than "/", and "[...]" for one character
// of the set: characters and ranges ("a-z"), the whole set negated by a leading "!" or "^", a
// "]" right after the "[" (or the "!") being one of its characters; "/" is in no set. A "["
// without its "]" stands for itself, as does every other character.
bool GlobMatches(std::string_view glob, std::string_view text);

// True when the glob matches, as a whole, one part of path between "/"s, or several parts in a
// row with the "/"s between them.
bool GlobMatchesParts(std::string_view glob, std::string_view path);

// The patterns of a run. A path is kept when no include is given or one matches it
// (GlobMatchesParts), and no exclude matches it.
struct PathFilter {
  std::vector<std::string> includes;
  std::vector<std::string> excludes;

  bool IsEmpty() const { return includes.empty() && excludes.empty(); }
  bool IsIncluded(std::string_view path) const;
  // The first exclude that matches path; empty when none does.
  std::string ExcludedBy(std::string_view path) const;
  bool Keeps(std::string_view path) const { return IsIncluded(path) && ExcludedBy(path).empty(); }
};

// Why the filter left a path out, as verbose output tells it.
inline constexpr std::string_view kNotIncluded = "left out: matches no --include";
std::string ExcludedText(std::string_view glob);

}  // namespace orlaspin
