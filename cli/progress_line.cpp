#include "progress_line.h"

#include <string>

namespace orlaspin {

std::string CountOf(int count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

void ProgressLine::Show(int imagesDone, int screensDone) {
  if (!enabled_) return;
  const std::string text = CountOf(imagesDone, "image") + ", " + CountOf(screensDone, "screen");
  // Spaces cover what is left of a longer line before.
  const std::size_t cover = shownLength_ > text.size() ? shownLength_ - text.size() : 0;
  err_ << '\r' << text << std::string(cover, ' ') << std::flush;
  shownLength_ = text.size();
}

void ProgressLine::Clear() {
  if (!enabled_ || shownLength_ == 0) return;
  err_ << '\r' << std::string(shownLength_, ' ') << '\r' << std::flush;
  shownLength_ = 0;
}

}  // namespace orlaspin
