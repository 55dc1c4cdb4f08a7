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
  ProgressLine(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

  // Draws "I images, S screens" ("1 image", "1 screen") over the previous line: a walk does not
  // know how many images are still to come.
  void Show(int imagesDone, int screensDone);
  // Blanks the line, so that other output can take its place; Show draws it again.
  void Clear();

 private:
  std::ostream& err_;
  bool enabled_;
  std::size_t shownLength_ = 0;
};

}  // namespace orlaspin
