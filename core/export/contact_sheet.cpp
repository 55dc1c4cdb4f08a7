#include "export/contact_sheet.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

#include "encoders/bitmap_font.h"
#include "text/utf8_text.h"

namespace orlaspin {
namespace {

constexpr int kSmallestThumbnail = 16;
constexpr char32_t kEllipsis = U'…';

enum class Keep { End, BothEnds };

// Text of at most maxCharacters: whole, or its end (or its start and end) with an ellipsis. A
// label keeps both ends: names in one folder often share a start and differ in the extension.
std::u32string Elided(std::u32string text, int maxCharacters, Keep keep) {
  const auto limit = static_cast<std::size_t>(std::max(maxCharacters, 1));
  if (text.size() <= limit) return text;
  if (keep == Keep::End) return kEllipsis + text.substr(text.size() - (limit - 1));
  const std::size_t head = (limit - 1) / 2;
  const std::size_t tail = limit - 1 - head;
  return text.substr(0, head) + kEllipsis + text.substr(text.size() - tail);
}

int TextWidth(std::u32string_view text) { return static_cast<int>(text.size()) * kGlyphSize; }

void FillRectangle(Picture& picture, int x, int y, int width, int height, Colour colour) {
  for (int row = y; row < y + height; ++row) {
    const auto start = picture.pixels.begin() + static_cast<std::ptrdiff_t>(row) * picture.width;
    std::fill(start + x, start + x + width, colour);
  }
}

void CopyPicture(const Picture& from, Picture& to, int x, int y) {
  for (int row = 0; row < from.height; ++row) {
    const auto source = from.pixels.begin() + static_cast<std::ptrdiff_t>(row) * from.width;
    std::copy(source, source + from.width,
              to.pixels.begin() + static_cast<std::ptrdiff_t>(y + row) * to.width + x);
  }
}

// The top left width x height pixels of picture.
Picture Cropped(const Picture& picture, int width, int height) {
  Picture cropped{width, height, std::vector<Colour>(static_cast<std::size_t>(width) * height)};
  for (int row = 0; row < height; ++row) {
    const auto source = picture.pixels.begin() + static_cast<std::ptrdiff_t>(row) * picture.width;
    std::copy(source, source + width,
              cropped.pixels.begin() + static_cast<std::ptrdiff_t>(row) * width);
  }
  return cropped;
}

Picture BlankPage(const SheetLayout& layout) {
  return {layout.maxPageWidth, layout.maxPageHeight,
          std::vector<Colour>(static_cast<std::size_t>(layout.maxPageWidth) *
                                  static_cast<std::size_t>(layout.maxPageHeight),
                              kSheetPaper)};
}

// The mean colour of the pixels in [x0, x1) x [y0, y1), each channel rounded half up.
Colour MeanColour(const Picture& picture, int x0, int x1, int y0, int y1) {
  std::uint64_t red = 0, green = 0, blue = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const Colour colour = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      red += RedOf(colour);
      green += GreenOf(colour);
      blue += BlueOf(colour);
    }
  }
  const std::uint64_t count = static_cast<std::uint64_t>(x1 - x0) * (y1 - y0);
  const auto mean = [count](std::uint64_t sum) {
    return static_cast<std::uint8_t>((sum + count / 2) / count);
  };
  return MakeColour(mean(red), mean(green), mean(blue));
}

}  // namespace

Picture Thumbnail(const Picture& picture, int width, int height) {
  const bool fits = picture.width <= width && picture.height <= height;
  if (fits || picture.pixels.empty()) return picture;
  // The side that fills its box decides the scale.
  const std::int64_t w = picture.width, h = picture.height;
  const bool widthFills = w * height >= h * width;
  const int thumbWidth =
      widthFills ? width : static_cast<int>(std::max<std::int64_t>(1, w * height / h));
  const int thumbHeight =
      widthFills ? static_cast<int>(std::max<std::int64_t>(1, h * width / w)) : height;

  Picture thumbnail{thumbWidth, thumbHeight, {}};
  thumbnail.pixels.reserve(static_cast<std::size_t>(thumbWidth) * thumbHeight);
  for (int y = 0; y < thumbHeight; ++y) {
    const int y0 = static_cast<int>(y * h / thumbHeight);
    const int y1 = static_cast<int>((y + 1) * h / thumbHeight);
    for (int x = 0; x < thumbWidth; ++x) {
      const int x0 = static_cast<int>(x * w / thumbWidth);
      const int x1 = static_cast<int>((x + 1) * w / thumbWidth);
      thumbnail.pixels.push_back(MeanColour(picture, x0, x1, y0, y1));
    }
  }
  return thumbnail;
}

ContactSheet::ContactSheet(const SheetLayout& layout) : layout_(layout) {
  if (layout.thumbnailWidth < kSmallestThumbnail || layout.thumbnailHeight < kSmallestThumbnail) {
    throw std::invalid_argument("contact sheet thumbnails must be at least 16 x 16");
  }
  const int smallestWidth = 2 * kSheetMargin + layout.thumbnailWidth;
  const int smallestHeight = 2 * kSheetMargin + kGlyphSize + kSheetHeadingGap + CellHeight();
  if (layout.maxPageWidth < smallestWidth || layout.maxPageHeight < smallestHeight) {
    throw std::invalid_argument("contact sheet page too small for a heading and one thumbnail");
  }
  columns_ =
      (layout.maxPageWidth - 2 * kSheetMargin + kSheetGap) / (layout.thumbnailWidth + kSheetGap);
  if (layout.columns > 0) columns_ = std::min(columns_, layout.columns);
}

void ContactSheet::StartGroup(std::string_view heading) {
  const int maxCharacters = (layout_.maxPageWidth - 2 * kSheetMargin) / kGlyphSize;
  heading_ = Elided(DecodeUtf8(heading), maxCharacters, Keep::End);
  headingOnPage_ = false;
}

void ContactSheet::AddScreen(std::string_view name, const Picture& picture) {
  if (picture.width < 0 || picture.height < 0 ||
      picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height) {
    throw std::invalid_argument("picture pixels do not match its size");
  }
  if (!headingOnPage_ || column_ == columns_) StartRow();
  const int maxCharacters = layout_.thumbnailWidth / kGlyphSize;
  DrawCell(column_++, Elided(DecodeUtf8(name), maxCharacters, Keep::BothEnds), picture);
}

std::vector<Picture> ContactSheet::TakeFullPages() { return std::exchange(fullPages_, {}); }

std::vector<Picture> ContactSheet::Finish() {
  if (!pageEmpty_) EndPage();
  heading_.clear();
  headingOnPage_ = false;
  return TakeFullPages();
}

int ContactSheet::CellHeight() const {
  return layout_.thumbnailHeight + kSheetNameGap + kGlyphSize;
}

bool ContactSheet::RowFits(bool withHeading) const {
  if (pageEmpty_) return true;
  const int headingHeight = withHeading ? kSheetGap + kGlyphSize + kSheetHeadingGap : 0;
  return nextTop_ + headingHeight + CellHeight() + kSheetMargin <= layout_.maxPageHeight;
}

void ContactSheet::StartRow() {
  if (!RowFits(!headingOnPage_)) EndPage();
  if (page_.pixels.empty()) page_ = BlankPage(layout_);
  if (!headingOnPage_) {
    DrawHeading(pageEmpty_ ? nextTop_ : nextTop_ + kSheetGap);
    headingOnPage_ = true;
  }
  rowTop_ = nextTop_;
  nextTop_ = rowTop_ + CellHeight() + kSheetGap;
  column_ = 0;
  pageEmpty_ = false;
  contentBottom_ = rowTop_ + CellHeight();
}

void ContactSheet::DrawHeading(int top) {
  DrawText(page_, kSheetMargin, top, heading_, kSheetHeading);
  contentRight_ = std::max(contentRight_, kSheetMargin + TextWidth(heading_));
  nextTop_ = top + kGlyphSize + kSheetHeadingGap;
}

void ContactSheet::DrawCell(int column, std::u32string_view name, const Picture& picture) {
  const int cellLeft = kSheetMargin + column * (layout_.thumbnailWidth + kSheetGap);
  const Picture thumbnail = Thumbnail(picture, layout_.thumbnailWidth, layout_.thumbnailHeight);
  if (!thumbnail.pixels.empty()) {
    const int left = cellLeft + (layout_.thumbnailWidth - thumbnail.width) / 2;
    const int top = rowTop_ + (layout_.thumbnailHeight - thumbnail.height) / 2;
    FillRectangle(page_, left - 1, top - 1, thumbnail.width + 2, thumbnail.height + 2, kSheetFrame);
    CopyPicture(thumbnail, page_, left, top);
  }
  DrawText(page_, cellLeft + (layout_.thumbnailWidth - TextWidth(name)) / 2,
           rowTop_ + layout_.thumbnailHeight + kSheetNameGap, name, kSheetText);
  contentRight_ = std::max(contentRight_, cellLeft + layout_.thumbnailWidth);
}

void ContactSheet::EndPage() {
  fullPages_.push_back(Cropped(page_, contentRight_ + kSheetMargin, contentBottom_ + kSheetMargin));
  page_ = {};
  pageEmpty_ = true;
  headingOnPage_ = false;
  nextTop_ = kSheetMargin;
  contentRight_ = 0;
  contentBottom_ = 0;
}

std::string SheetPagePath(std::string_view path, int pageNumber) {
  const std::size_t nameStart = path.find_last_of("/\\") + 1;  // 0 when there is no folder
  std::size_t dot = path.rfind('.');
  if (dot == path.npos || dot <= nameStart) dot = path.size();
  std::string number = std::to_string(pageNumber);
  if (number.size() < 3) number.insert(0, 3 - number.size(), '0');
  return std::string(path.substr(0, dot)) + "-" + number + std::string(path.substr(dot));
}

}  // namespace orlaspin
