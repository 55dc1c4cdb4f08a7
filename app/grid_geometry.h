// The grid's geometry and navigation as pure functions: columns and rows to pixels, pixels to
// cells, scrolling limits and the moves of the current cell. No window is needed to call them.
#pragma once

#include <optional>

#include "display_scale.h"

namespace orlaspin::app::grid {

struct Metrics {
  int columnCount = 5;
  int columnWidth = 64;
  int rowHeight = 16;
  int lineWidth = 1;  // the line right of and below every cell

  int ColumnPitch() const { return columnWidth + lineWidth; }
  int RowPitch() const { return rowHeight + lineWidth; }
};

struct Cell {
  int column = 0;
  int row = 0;
  bool operator==(const Cell&) const = default;
};

// The rectangle of cells spanned by two corners, in any order.
struct Block {
  Cell first;  // top left
  Cell last;   // bottom right, inclusive
  bool Contains(Cell cell) const {
    return cell.column >= first.column && cell.column <= last.column && cell.row >= first.row &&
           cell.row <= last.row;
  }
  bool operator==(const Block&) const = default;
};
Block BlockBetween(Cell a, Cell b);

// Client x of a column's left edge.
int ColumnLeft(const Metrics& metrics, int column);
// Client y of a row's top edge when topRow is the first row shown.
int RowTop(const Metrics& metrics, int row, int topRow);
// The cell's own pixels, without its lines.
Rect CellRect(const Metrics& metrics, Cell cell, int topRow);
// The pixels of a block's cells and the lines between and after them.
Rect BlockRect(const Metrics& metrics, Block block, int topRow);

// The cell under a client point (on a cell or on its right or bottom line), or none when the
// point lies beyond the last column or row or above or left of the grid.
std::optional<Cell> CellAt(const Metrics& metrics, int rowCount, int topRow, int x, int y);

// Rows wholly visible in a client area of that height; at least one.
int FullyVisibleRows(const Metrics& metrics, int clientHeight);
// The largest first row that still shows rows to the end; 0 when all rows fit.
int MaxTopRow(const Metrics& metrics, int rowCount, int clientHeight);
// The vertical scroll bar shows while the rows do not all fit in the height.
bool NeedsScrollBar(const Metrics& metrics, int rowCount, int clientHeight);
// The first row to show so that row is wholly visible, moving as little as possible.
int TopRowShowing(const Metrics& metrics, int row, int topRow, int rowCount, int clientHeight);

enum class Key { Left, Right, Up, Down, PageUp, PageDown, Home, End, FirstRow, LastRow };

// Where a navigation key takes the current cell, kept inside the grid; a page is the number of
// rows wholly visible.
Cell MoveCell(Cell current, Key key, int columnCount, int rowCount, int pageRows);

}  // namespace orlaspin::app::grid
