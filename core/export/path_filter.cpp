#include "export/path_filter.h"

#include <algorithm>

#include "text/utf8_text.h"

namespace orlaspin {

namespace {

char32_t Folded(char32_t c) {
  if (c == U'\\') return U'/';
  return (c >= U'A' && c <= U'Z') ? c - U'A' + U'a' : c;
}

std::u32string FoldedText(std::string_view text) {
  std::u32string folded = DecodeUtf8(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), Folded);
  return folded;
}

// A set "[...]" at the start of glob: its length, or 0 when it has no "]".
std::size_t SetLength(std::u32string_view glob) {
  std::size_t at = 1;
  if (at < glob.size() && (glob[at] == U'!' || glob[at] == U'^')) ++at;
  if (at < glob.size() && glob[at] == U']') ++at;  // a "]" first is one of the set
  const std::size_t close = glob.find(U']', at);
  return close == glob.npos ? 0 : close + 1;
}

bool InSet(std::u32string_view set, char32_t c) {
  std::u32string_view inside = set.substr(1, set.size() - 2);
  const bool negated = !inside.empty() && (inside[0] == U'!' || inside[0] == U'^');
  if (negated) inside.remove_prefix(1);
  bool found = false;
  for (std::size_t i = 0; i < inside.size(); ++i) {
    const bool range = i + 2 < inside.size() && inside[i + 1] == U'-';
    const char32_t low = inside[i], high = range ? inside[i + 2] : inside[i];
    found = found || (c >= low && c <= high);
    if (range) i += 2;
  }
  return c != U'/' && found != negated;
}

// How many characters of glob one character-matching item takes ("?", a set, a character).
std::size_t ItemLength(std::u32string_view glob) {
  if (glob[0] != U'[') return 1;
  const std::size_t set = SetLength(glob);
  return set == 0 ? 1 : set;
}

bool ItemMatches(std::u32string_view glob, char32_t c) {
  if (glob[0] == U'?') return c != U'/';
  const std::size_t set = glob[0] == U'[' ? SetLength(glob) : 0;
  return set > 0 ? InSet(glob.substr(0, set), c) : glob[0] == c;
}

// Matching with one "*" remembered: on a mismatch the last "*" takes one character more. Enough
// because no item matches "/": a "*" never has to give back a "/" it took.
bool Matches(std::u32string_view glob, std::u32string_view text) {
  std::size_t g = 0, t = 0;
  std::size_t starGlob = glob.npos, starText = 0;
  while (t < text.size()) {
    if (g < glob.size() && glob[g] == U'*') {
      starGlob = ++g;
      starText = t;
    } else if (g < glob.size() && ItemMatches(glob.substr(g), text[t])) {
      g += ItemLength(glob.substr(g));
      ++t;
    } else if (starGlob != glob.npos && text[starText] != U'/') {
      g = starGlob;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == U'*') ++g;
  return g == glob.size();
}

}  // namespace

bool GlobMatches(std::string_view glob, std::string_view text) {
  return Matches(FoldedText(glob), FoldedText(text));
}

bool GlobMatchesParts(std::string_view glob, std::string_view path) {
  const std::u32string pattern = FoldedText(glob);
  const std::u32string text = FoldedText(path);
  // No item matches "/", so a match spans exactly as many "/"s as the glob holds.
  const auto slashes = std::count(pattern.begin(), pattern.end(), U'/');
  std::vector<std::size_t> starts = {0};
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == U'/') starts.push_back(i + 1);
  }
  starts.push_back(text.size() + 1);  // one past the end of the last part
  for (std::size_t first = 0; first + slashes + 1 < starts.size(); ++first) {
    const std::size_t begin = starts[first];
    const std::size_t end = starts[first + static_cast<std::size_t>(slashes) + 1] - 1;
    if (Matches(pattern, std::u32string_view(text).substr(begin, end - begin))) return true;
  }
  return false;
}

bool PathFilter::IsIncluded(std::string_view path) const {
  return includes.empty() ||
         std::any_of(includes.begin(), includes.end(),
                     [path](const auto& glob) { return GlobMatchesParts(glob, path); });
}

std::string PathFilter::ExcludedBy(std::string_view path) const {
  for (const std::string& glob : excludes) {
    if (GlobMatchesParts(glob, path)) return glob;
  }
  return {};
}

std::string ExcludedText(std::string_view glob) {
  return "left out: matches --exclude " + std::string(glob);
}

}  // namespace orlaspin
