#include "export/gallery.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace orlaspin::testing {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

GalleryImage OneScreen(std::string file, std::string name) {
  return {"DISK.TRD", "trd", {{std::move(file), std::move(name), "C", 16384, 6912}}};
}

std::string HtmlOf(const GalleryImage& image) { return GalleryHtml(std::span(&image, 1), 1); }

std::size_t Count(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != text.npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(GalleryHtml, EscapesHostileNamesAndHeadings) {
  GalleryImage image = OneScreen("a.png", R"name(<img src=x onerror="a()">&'b')name");
  image.heading = "</h2><script>alert(1)</script>";
  image.container = "<trd>";
  const std::string html = HtmlOf(image);

  EXPECT_EQ(Count(html, "<script"), 0u);
  EXPECT_EQ(Count(html, "<img"), 1u);
  EXPECT_EQ(Count(html, "&lt;img src=x onerror=&quot;a()&quot;&gt;&amp;&#39;b&#39;"), 2u)
      << "in the caption and the alt text";
  EXPECT_NE(html.find("<h2>&lt;/h2&gt;&lt;script&gt;alert(1)&lt;/script&gt;</h2>"), html.npos);
  EXPECT_NE(html.find("&lt;trd&gt;"), html.npos);
}

TEST(GalleryHtml, ShowsBytesThatAreNoUtf8AndControlCharactersAsReplacements) {
  // Windows-1251 "ПРИ" as raw catalogue bytes, a control byte, then valid UTF-8 "Ж".
  const std::string html = HtmlOf(OneScreen("a.png", "\xCF\xD0\xC8\x01\xD0\x96"));
  std::string want;
  for (int i = 0; i < 4; ++i) want += kReplacement;
  want += "\xD0\x96";
  EXPECT_NE(html.find("<b>" + want + "</b>"), html.npos);
  EXPECT_EQ(html.find('\x01'), html.npos);
  EXPECT_EQ(html.find("\xCF\xD0"), html.npos);
}

TEST(GalleryHtml, LinksEachPictureByItsPercentEncodedRelativePath) {
  // "Дискета" in UTF-8 is D0 94, D0 B8, D1 81, D0 BA, D0 B5, D1 82, D0 B0.
  const std::string html = HtmlOf(OneScreen("Дискета #1/a b%?&\"'<:\\..png", ".."));
  const std::string url =
      "%D0%94%D0%B8%D1%81%D0%BA%D0%B5%D1%82%D0%B0%20%231/a%20b%25%3F%26%22%27%3C%3A%5C..png";
  EXPECT_NE(html.find("<a href=\"" + url + "\"><img src=\"" + url + "\" alt=\"..\"></a>"),
            html.npos);
}

TEST(GalleryHtml, RefusesFilesOutsideTheFolder) {
  for (const char* file : {"", "/etc/x.png", "../x.png", "a/../../x.png", "./x.png", "a//b.png",
                           "a/", "..", "a\\..\\x.png", "\\x.png"}) {
    EXPECT_THROW(HtmlOf(OneScreen(file, "X")), std::invalid_argument) << file;
  }
  EXPECT_NO_THROW(HtmlOf(OneScreen("...png", "X")));
  EXPECT_NO_THROW(HtmlOf(OneScreen("a/.b/c..png", "X")));
}

TEST(GalleryHtml, GroupsPicturesUnderTheirImagesWithWhatEachIs) {
  const GalleryImage images[] = {
      {"games/ONE.TRD",
       "trd",
       {{"ONE/TITLE.png", "TITLE", "C", 16384, 6912}, {"ONE/END.png", "END", "C", 32768, 6912}}},
      {"loading.tap", "tap", {{"loading/Screen.png", "Screen", "Bytes", std::nullopt, 6912}}},
      {"art.scr", "scr", {{"art.png", "art", "", std::nullopt, 6913}}},
  };
  const std::string html = GalleryHtml(images, std::size(images) + 1);

  // An image read without pictures counts, though it has no section.
  EXPECT_NE(html.find("4 pictures from 4 images"), html.npos);
  const std::string_view inOrder[] = {
      "<h2>games/ONE.TRD</h2>",
      "trd \u00B7 2 pictures",
      "src=\"ONE/TITLE.png\"",
      "<b>TITLE</b><span class=\"facts\">type C \u00B7 start 16384 \u00B7 6912 bytes</span>",
      "src=\"ONE/END.png\"",
      "type C \u00B7 start 32768 \u00B7 6912 bytes",
      "<h2>loading.tap</h2>",
      "tap \u00B7 1 picture<",
      "src=\"loading/Screen.png\"",
      "<span class=\"facts\">type Bytes \u00B7 6912 bytes</span>",
      "<h2>art.scr</h2>",
      "src=\"art.png\"",
      "<span class=\"facts\">6913 bytes</span>",
  };
  std::size_t at = 0;
  for (const std::string_view part : inOrder) {
    const std::size_t found = html.find(part, at);
    ASSERT_NE(found, html.npos) << part;
    at = found + part.size();
  }
  EXPECT_EQ(Count(html, "<section>"), 3u);
  EXPECT_EQ(Count(html, "<figure>"), 4u);
}

TEST(GalleryHtml, IsAWholePageThatNeedsNothingFromElsewhere) {
  const std::string html = HtmlOf(OneScreen("a.png", "A"));
  EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), html.npos);
  EXPECT_NE(html.find("<style>"), html.npos);
  EXPECT_EQ(html.substr(html.size() - 8), "</html>\n");
  for (const char* reference : {"://", "<script", "<link", "@import", "url(", "@font-face"}) {
    EXPECT_EQ(html.find(reference), html.npos) << reference;
  }
  EXPECT_NE(GalleryHtml({}, 0).find("0 pictures from 0 images"), std::string::npos);
}

}  // namespace
}  // namespace orlaspin::testing
