#include "export/gallery.h"

#include <stdexcept>

#include "text/utf8_text.h"

namespace orlaspin {
namespace {

constexpr std::string_view kPageStart = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="generator" content="Orlaspin gallery">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Orlaspin gallery</title>
<style>
body { margin: 16px; background: #f0f0ec; color: #181818; font: 14px/1.4 sans-serif; }
h1 { font-size: 20px; margin: 0; }
h2 { font-size: 16px; margin: 24px 0 0; overflow-wrap: anywhere; }
.about { margin: 0 0 8px; color: #585858; }
.grid { display: grid; grid-template-columns: repeat(auto-fill, 274px); gap: 12px; }
figure { margin: 0; padding: 8px; background: #fff; border: 1px solid #c8c8c8; }
img { display: block; width: 256px; height: auto; image-rendering: pixelated; }
figcaption { margin-top: 6px; overflow-wrap: anywhere; }
figcaption b { display: block; }
.facts { color: #585858; font-size: 12px; }
</style>
</head>
<body>
<h1>Orlaspin gallery</h1>
)";

constexpr std::string_view kPageEnd = "</body>\n</html>\n";
constexpr std::string_view kSeparator = " \u00B7 ";

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

std::string EscapedText(std::string_view text) {
  std::string escaped;
  for (const char32_t c : DecodeUtf8(text)) {
    switch (c) {
      case U'&': escaped += "&amp;"; break;
      case U'<': escaped += "&lt;"; break;
      case U'>': escaped += "&gt;"; break;
      case U'"': escaped += "&quot;"; break;
      case U'\'': escaped += "&#39;"; break;
      default: AppendUtf8(escaped, IsControl(c) ? kReplacementCharacter : c);
    }
  }
  return escaped;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

void CheckInsideFolder(std::string_view file) {
  std::size_t partStart = 0;
  for (std::size_t at = 0; at <= file.size(); ++at) {
    if (at < file.size() && !IsSeparator(file[at])) continue;
    const std::string_view part = file.substr(partStart, at - partStart);
    if (part.empty() || part == "." || part == "..") {
      throw std::invalid_argument("gallery picture outside its folder: " + std::string(file));
    }
    partStart = at + 1;
  }
}

bool IsUnreserved(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
         (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

// The relative URL of a file inside the folder; "/" stays between its parts.
std::string FileUrl(std::string_view file) {
  CheckInsideFolder(file);
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string url;
  for (const char c : file) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || IsUnreserved(byte)) {
      url += c;
    } else {
      url += '%';
      url += kHexDigits[byte >> 4];
      url += kHexDigits[byte & 0xF];
    }
  }
  return url;
}

std::string Counted(std::size_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::string Facts(const GalleryPicture& picture) {
  std::string facts;
  if (!picture.type.empty()) facts += "type " + EscapedText(picture.type) + std::string(kSeparator);
  if (picture.start) facts += "start " + std::to_string(*picture.start) + std::string(kSeparator);
  return facts + std::to_string(picture.length) + " bytes";
}

void AppendPicture(std::string& html, const GalleryPicture& picture) {
  const std::string url = FileUrl(picture.file);
  const std::string name = EscapedText(picture.name);
  html += "<figure>\n<a href=\"" + url + "\"><img src=\"" + url + "\" alt=\"" + name +
          "\"></a>\n<figcaption><b>" + name + "</b><span class=\"facts\">" + Facts(picture) +
          "</span></figcaption>\n</figure>\n";
}

void AppendImage(std::string& html, const GalleryImage& image) {
  html += "<section>\n<h2>" + EscapedText(image.heading) + "</h2>\n<p class=\"about\">" +
          EscapedText(image.container) + std::string(kSeparator) +
          Counted(image.pictures.size(), "picture") + "</p>\n<div class=\"grid\">\n";
  for (const GalleryPicture& picture : image.pictures) AppendPicture(html, picture);
  html += "</div>\n</section>\n";
}

}  // namespace

std::string GalleryHtml(std::span<const GalleryImage> images, std::size_t imagesRead) {
  std::size_t pictures = 0;
  for (const GalleryImage& image : images) pictures += image.pictures.size();

  std::string html(kPageStart);
  html += "<p class=\"about\">" + Counted(pictures, "picture") + " from " +
          Counted(imagesRead, "image") + "</p>\n";
  for (const GalleryImage& image : images) AppendImage(html, image);
  html += kPageEnd;
  return html;
}

}  // namespace orlaspin
