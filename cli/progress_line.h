// The progress line of a long export on a terminal: redrawn in place on standard error.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace orlaspin {

// The count and the noun, plural unless the count is 1: "1 screen", "0 screens".
std::string CountOf(int count, std::string_view noun);

class ProgressLine {
 public:
  // Nothing is ever written when disabled (standard error is not a terminal).
  ProgressLine(std::ostream& err, int imageCount, bool enabled)
      : err_(err), imageCount_(imageCount), enabled_(enabled) {}

  // Draws "I/N images, S screens" ("1 screen") over the previous line.
  void Show(int imagesDone, int screensDone);
  // Blanks the line, so that other output can take its place; Show draws it again.
  void Clear();

 private:
  std::ostream& err_;
  int imageCount_;
  bool enabled_;
  std::size_t shownLength_ = 0;
};

}  // namespace orlaspin
