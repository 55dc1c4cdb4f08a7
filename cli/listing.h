// The listing of an image's files: tab-separated lines, or JSON for scripts.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// One line per file, the cells separated by tabs: names as ShownName gives them (catalogue bytes
// by the ZX character table), control characters, "\" and bytes that are no UTF-8 as \xHH.
void PrintListing(std::ostream& out, const Collection& collection);

// text as a JSON string, quotes included; a byte that is not part of well-formed UTF-8 becomes
// the text \xHH, as the listing writes such bytes.
std::string JsonString(std::string_view text);

// Writes a JSON array of image listings, one object per image, in the order they are added.
class JsonListing {
 public:
  explicit JsonListing(std::ostream& out) : out_(out) {}
  // {"image", "kind", "warnings", "files": [{"name", "extension", "start", "length", "offset",
  // "screen", "type"}], "palettes"}, the name and extension as the listing shows them; "type" is
  // the container's word for a file without a TR-DOS letter ("Bytes", "snapshot", a bare screen's
  // format), else null; "palettes" the names export's --palette takes.
  void AddImage(const std::string& path, const Collection& collection);
  // {"image", "error"}.
  void AddFailure(const std::string& path, const std::string& message);
  // Closes the array; an empty one when nothing was added.
  void Finish();

 private:
  void BeginImage(const std::string& path);

  std::ostream& out_;
  bool any_ = false;
};

}  // namespace orlaspin
