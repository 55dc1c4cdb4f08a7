#include "listing.h"

#include "containers/catalogue.h"
#include "containers/container_kinds.h"
#include "export/collection_export.h"
#include "screens/palettes.h"
#include "text/zx_characters.h"

namespace orlaspin {

namespace {

std::string JsonNumberOrNull(const auto& value) {
  return value ? std::to_string(*value) : std::string("null");
}

// The TR-DOS file type letter as text, by the ZX character table.
std::string ExtensionText(std::uint8_t extension) {
  return ZxText(std::string(1, static_cast<char>(extension)));
}

std::string JsonFile(const CollectionFile& file) {
  const std::string extension =
      file.extension ? JsonString(ExtensionText(*file.extension)) : std::string("null");
  return "{\"name\": " + JsonString(ShownName(file)) + ", \"extension\": " + extension +
         ", \"start\": " + JsonNumberOrNull(file.start) +
         ", \"length\": " + std::to_string(file.length) +
         ", \"offset\": " + std::to_string(file.offset) +
         ", \"screen\": " + (file.isScreen ? "true" : "false") +
         ", \"type\": " + (file.type.empty() ? std::string("null") : JsonString(file.type)) +
         (file.revealed ? ", \"found\": " + JsonString(file.revealed->how) : std::string()) + "}";
}

// The names --palette takes, for scripts that offer them.
std::string JsonPaletteNames() {
  std::string json = "[";
  for (const ScreenPalette& palette : NamedPalettes()) {
    json += (json.size() > 1 ? ", " : "") + JsonString(palette.name);
  }
  return json + "]";
}

}  // namespace

namespace {

// The length of the well-formed UTF-8 sequence at the start of text (no overlong form, no
// surrogate, nothing past U+10FFFF); 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// Text as a listing line shows it: control characters, the backslash and bytes that are not
// part of well-formed UTF-8 as \xHH.
std::string ListedText(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string listed;
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.front());
    const std::size_t length = Utf8SequenceLength(text);
    if (length == 0 || byte < 0x20 || byte == 0x7F || byte == '\\') {
      listed += "\\x";
      listed += kHex[byte >> 4];
      listed += kHex[byte & 15];
      text.remove_prefix(1);
    } else {
      listed.append(text.substr(0, length));
      text.remove_prefix(length);
    }
  }
  return listed;
}

}  // namespace

void PrintListing(std::ostream& out, const Collection& collection) {
  for (const CollectionFile& file : collection.files) {
    auto cells = ListingCells(file);
    cells[0] = ShownName(file);
    if (file.extension && !file.revealed) cells[1] = ExtensionText(*file.extension);
    for (std::size_t column = 0; column < cells.size(); ++column) {
      if (column > 0) out << '\t';
      out << ListedText(cells[column]);
    }
    out << '\n';
  }
}

std::string JsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string json = "\"";
  while (!text.empty()) {
    const auto byte = static_cast<unsigned char>(text.front());
    const std::size_t length = Utf8SequenceLength(text);
    if (byte == '"' || byte == '\\') {
      json += '\\';
      json += static_cast<char>(byte);
    } else if (byte < 0x20) {
      json += "\\u00";
      json += kHex[byte >> 4];
      json += kHex[byte & 15];
    } else if (length == 0) {
      // Not UTF-8, so no JSON text: the byte as the listing shows one, \xHH.
      json += "\\\\x";
      json += kHex[byte >> 4];
      json += kHex[byte & 15];
    } else {
      json.append(text.substr(0, length));
      text.remove_prefix(length);
      continue;
    }
    text.remove_prefix(1);
  }
  return json + "\"";
}

void JsonListing::BeginImage(const std::string& path) {
  out_ << (any_ ? ",\n" : "[\n") << "  {\"image\": " << JsonString(path);
  any_ = true;
}

void JsonListing::AddImage(const std::string& path, const Collection& collection) {
  BeginImage(path);
  out_ << ", \"kind\": " << JsonString(KindName(collection.kind)) << ", \"warnings\": [";
  for (std::size_t i = 0; i < collection.warnings.size(); ++i) {
    out_ << (i > 0 ? ", " : "") << JsonString(WarningText(collection.warnings[i]));
  }
  out_ << "], \"files\": [";
  for (std::size_t i = 0; i < collection.files.size(); ++i) {
    out_ << (i > 0 ? "," : "") << "\n    " << JsonFile(collection.files[i]);
  }
  out_ << (collection.files.empty() ? "]" : "\n  ]") << ", \"palettes\": " << JsonPaletteNames()
       << "}";
}

void JsonListing::AddFailure(const std::string& path, const std::string& message) {
  BeginImage(path);
  out_ << ", \"error\": " << JsonString(message) << "}";
}

void JsonListing::Finish() { out_ << (any_ ? "\n]\n" : "[]\n"); }

}  // namespace orlaspin
