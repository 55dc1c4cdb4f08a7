#include "listing.h"

#include "cli.h"

namespace orlaspin {

namespace {

std::string JsonNumberOrNull(const auto& value) {
  return value ? std::to_string(*value) : std::string("null");
}

std::string JsonFile(const CollectionFile& file) {
  const std::string extension =
      file.extension ? JsonString(EscapeCatalogueText(std::string(1, static_cast<char>(*file.extension))))
                     : std::string("null");
  return "{\"name\": " + JsonString(EscapeCatalogueText(file.name)) + ", \"extension\": " +
         extension + ", \"start\": " + JsonNumberOrNull(file.start) +
         ", \"length\": " + std::to_string(file.length) + ", \"offset\": " +
         std::to_string(file.offset) + ", \"screen\": " + (file.isScreen ? "true" : "false") + "}";
}

}  // namespace

void PrintListing(std::ostream& out, const Collection& collection) {
  for (const CollectionFile& file : collection.files) {
    const auto cells = ListingCells(file);
    for (std::size_t column = 0; column < cells.size(); ++column) {
      if (column > 0) out << '\t';
      out << EscapeCatalogueText(cells[column]);
    }
    out << '\n';
  }
}

std::string JsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      json += "\\u00";
      json += kHex[byte >> 4];
      json += kHex[byte & 15];
    } else {
      json += c;
    }
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
    out_ << (i > 0 ? ", " : "") << JsonString(collection.warnings[i]);
  }
  out_ << "], \"files\": [";
  for (std::size_t i = 0; i < collection.files.size(); ++i) {
    out_ << (i > 0 ? "," : "") << "\n    " << JsonFile(collection.files[i]);
  }
  out_ << (collection.files.empty() ? "]}" : "\n  ]}");
}

void JsonListing::AddFailure(const std::string& path, const std::string& message) {
  BeginImage(path);
  out_ << ", \"error\": " << JsonString(message) << "}";
}

void JsonListing::Finish() { out_ << (any_ ? "\n]\n" : "[]\n"); }

}  // namespace orlaspin
