// How the pictures of an export are laid out and named: --layout and --name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orlaspin {

// Tree: each image's pictures in a folder of its own below the folders it was found in. Flat:
// every picture in the output folder itself, its name prefixed by its image's.
enum class PictureLayout { Tree, Flat };

// What a picture's name may be made of.
struct PictureFields {
  std::string image;  // the image's name: its folder's in the tree, unique in the run when flat
  std::string name;   // the screen's name as export gives it by default (OutputStem)
  std::string ext;    // the second cell of its listing line
  std::string kind;   // the image's type word ("trd", "tap", "scr", ...)
  std::string start;  // its start address in decimal; empty when it has none
  int index = 1;      // the screen's number among its image's screens, from 1
};

// A picture's name from literal text and fields in braces ("{image}-{index}").
class NameTemplate {
 public:
  // Raises std::invalid_argument, its text naming the problem: an empty template, a field of no
  // known name, a "{" without its "}" or a "}" without its "{".
  explicit NameTemplate(std::string_view text);

  // The template with its fields filled in, made safe as a catalogue name (MakeSafeName).
  std::string NameFor(const PictureFields& fields) const;

 private:
  struct Piece {
    std::string text;  // literal text
    int field = -1;    // or the number of a field, in the order they are documented
  };
  std::vector<Piece> pieces_;
};

// The name a picture gets without --name: tree, "{name}"; flat, "{image}-{name}"; either way
// "{image}" alone for the picture of an image that is one picture by nature, which has no folder
// of its own.
std::string DefaultPictureName(PictureLayout layout, bool onePicture, const PictureFields& fields);

}  // namespace orlaspin
