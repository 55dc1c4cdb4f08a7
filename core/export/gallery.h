// The web page of an output folder: every picture written there with its name and what it is,
// grouped by image, for looking through a collection in a browser.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlaspin {

// The page's file, "index.html": a stem and an extension, for the free-name search.
inline constexpr std::string_view kGalleryStem = "index";
inline constexpr std::string_view kGalleryExtension = ".html";
// In the head of every page GalleryHtml writes, so that a page found later is known as ours.
inline constexpr std::string_view kGalleryMarker =
    R"(<meta name="generator" content="Orlaspin gallery">)";

struct GalleryPicture {
  // The picture's path inside the output folder, "/" between folders, as ExportView::FileWritten
  // tells it; the file-system bytes of the name (UTF-8 on the platforms Orlaspin runs on).
  std::string file;
  // What the image's listing calls the screen (UTF-8).
  std::string name;
  // The TR-DOS type letter or the container's word for the file ("C", "Bytes"); empty for none.
  std::string type;
  std::optional<std::uint16_t> start;
  std::uint32_t length = 0;
};

struct GalleryImage {
  std::string heading;    // the image's path or name (UTF-8)
  std::string container;  // the image's kind, as KindName gives it ("trd", "scl", ...)
  std::vector<GalleryPicture> pictures;
};

// The text of index.html for the output folder: how many pictures from how many images read (the
// images without pictures have no section), then one section per image, in order, with its
// heading, container and number of pictures, then a grid of its pictures, each shown 256 pixels
// wide as a link to the file, with its name, type, start and length in bytes. It works offline
// from the folder: links are relative, no script, font or style comes from elsewhere.
//
// Text is HTML-escaped; bytes that are not valid UTF-8 and control characters show as U+FFFD.
// Each part of a file's path is percent-encoded but for letters, digits and "-._~". Throws
// std::invalid_argument for a file that is not a path inside the folder: empty, starting with a
// separator, or with an empty, "." or ".." part ("\" also counts as a separator here).
std::string GalleryHtml(std::span<const GalleryImage> images, std::size_t imagesRead);

}  // namespace orlaspin
