// Contact sheets: the screens of many images as thumbnails on pages, each with its name under it
// and each image's screens under a heading, in our own bitmap font.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "screens/screen_frames.h"

namespace orlaspin {

struct SheetLayout {
  // The box every thumbnail is fitted into; at least 16 x 16.
  int thumbnailWidth = 128;
  int thumbnailHeight = 96;
  // A page grows up to this size; it must hold a heading and one row of thumbnails.
  int maxPageWidth = 1600;
  int maxPageHeight = 1200;
  // Cells to a row at most; 0: as many as fit in maxPageWidth, which also bounds a number given.
  int columns = 0;
};

// The spacing of a page, in pixels. A cell is a thumbnail box with its name's line under it.
inline constexpr int kSheetMargin = 8;      // around a page's content
inline constexpr int kSheetGap = 8;         // between cells, between rows, and again above a
                                            // heading that follows a row
inline constexpr int kSheetNameGap = 2;     // between a thumbnail box and its name
inline constexpr int kSheetHeadingGap = 4;  // between a heading and its first row

inline constexpr Colour kSheetPaper = MakeColour(240, 240, 236);
inline constexpr Colour kSheetText = MakeColour(24, 24, 24);
inline constexpr Colour kSheetHeading = MakeColour(16, 48, 144);
inline constexpr Colour kSheetFrame = MakeColour(160, 160, 160);

// The picture shrunk to fit a width x height box, keeping its shape (a side at least 1 pixel):
// each pixel the mean of the block of source pixels it covers, each channel rounded half up. A
// picture that already fits comes back as it is.
Picture Thumbnail(const Picture& picture, int width, int height);

// Lays out pages as screens come, holding only the page being drawn, so a big collection never
// needs all its pictures at once.
//
// A page is filled row by row from its top left, as many cells to a row as fit in
// maxPageWidth (and the layout's columns allow). Each group begins a new row under its heading,
// drawn in kSheetHeading and kept with its first row; a group carried onto a new page repeats its
// heading there. A thumbnail sits centred in its box inside a 1-pixel frame, its name centred under
// the box in kSheetText. A heading too long for the page keeps its end after an ellipsis
// ("…/disks/GAMES.trd"); a name too long for the box keeps its start ("LONG_NAM…"). A page is cut
// to its content plus the margin.
//
// Text is UTF-8 (a catalogue name is to be turned into UTF-8 first); a byte that is not valid
// UTF-8, or a character the font lacks, shows as the font's hatched box.
class ContactSheet {
 public:
  // Throws std::invalid_argument for a layout that breaks the limits above.
  explicit ContactSheet(const SheetLayout& layout = {});

  // Starts an image's group: the screens added next go under heading. A group that gets no
  // screen takes no room.
  void StartGroup(std::string_view heading);

  // Adds a thumbnail of picture with name under it to the current group (an unnamed group when
  // none was started). Throws std::invalid_argument when picture's pixels do not match its size.
  void AddScreen(std::string_view name, const Picture& picture);

  // The pages filled so far and not yet taken, in order. A page is full once the next screen
  // does not fit on it, so a page taken here means the sheet has more than one.
  std::vector<Picture> TakeFullPages();

  // Ends the sheet: every page not yet taken, the last one included; none when no screen was
  // added since. The sheet then starts again empty.
  std::vector<Picture> Finish();

 private:
  int CellHeight() const;
  bool RowFits(bool withHeading) const;
  void StartRow();
  void DrawHeading(int top);
  void DrawCell(int column, std::u32string_view name, const Picture& picture);
  void EndPage();

  SheetLayout layout_;
  int columns_ = 1;
  std::u32string heading_;
  Picture page_;
  bool pageEmpty_ = true;
  bool headingOnPage_ = false;  // the current group's heading is on this page
  int nextTop_ = kSheetMargin;  // where the next heading or row may begin
  int rowTop_ = 0;
  int column_ = 0;  // of the next cell in the row
  int contentRight_ = 0;
  int contentBottom_ = 0;
  std::vector<Picture> fullPages_;
};

// The file of page pageNumber (from 1) of a sheet of several pages: path with "-" and the number,
// three digits at least, before its extension ("out/sheet.png", 2 gives "out/sheet-002.png").
std::string SheetPagePath(std::string_view path, int pageNumber);

}  // namespace orlaspin
