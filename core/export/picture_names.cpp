#include "export/picture_names.h"

#include <stdexcept>

#include "export/file_names.h"

namespace orlaspin {

namespace {

struct Field {
  std::string_view name;
  std::string (*value)(const PictureFields& fields);
};

constexpr Field kFields[] = {
    {"image", [](const PictureFields& f) { return f.image; }},
    {"name", [](const PictureFields& f) { return f.name; }},
    {"ext", [](const PictureFields& f) { return f.ext; }},
    {"kind", [](const PictureFields& f) { return f.kind; }},
    {"start", [](const PictureFields& f) { return f.start; }},
    {"index", [](const PictureFields& f) { return std::to_string(f.index); }},
};

int FieldNumber(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    if (kFields[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

[[noreturn]] void Refuse(const std::string& problem) { throw std::invalid_argument(problem); }

std::string Position(std::size_t at) { return "at character " + std::to_string(at + 1); }

}  // namespace

NameTemplate::NameTemplate(std::string_view text) {
  if (text.empty()) Refuse("an empty name; a name needs text or a field such as {name}");
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t brace = text.find_first_of("{}", at);
    if (brace != at) {
      pieces_.push_back({std::string(text.substr(at, brace - at))});
      if (brace == text.npos) break;
    }
    if (text[brace] == '}') Refuse("the \"}\" " + Position(brace) + " closes no \"{\"");
    const std::size_t close = text.find_first_of("{}", brace + 1);
    if (close == text.npos || text[close] == '{') {
      Refuse("the \"{\" " + Position(brace) + " is not closed by a \"}\"");
    }
    const std::string_view name = text.substr(brace + 1, close - brace - 1);
    const int field = FieldNumber(name);
    if (field < 0) {
      std::string known;
      for (const Field& field : kFields) known += " {" + std::string(field.name) + "}";
      Refuse("no field {" + std::string(name) + "}; the fields are" + known);
    }
    pieces_.push_back({{}, field});
    at = close + 1;
  }
}

std::string NameTemplate::NameFor(const PictureFields& fields) const {
  std::string name;
  for (const Piece& piece : pieces_) {
    name += piece.field < 0 ? piece.text : kFields[piece.field].value(fields);
  }
  return MakeSafeName(name);
}

std::string DefaultPictureName(PictureLayout layout, bool onePicture, const PictureFields& fields) {
  if (onePicture) return fields.image;
  return layout == PictureLayout::Flat ? MakeSafeName(fields.image + "-" + fields.name)
                                       : fields.name;
}

}  // namespace orlaspin
