#include "grid_geometry.h"

#include <algorithm>

namespace orlaspin::app::grid {

Block BlockBetween(Cell a, Cell b) {
  return {{std::min(a.column, b.column), std::min(a.row, b.row)},
          {std::max(a.column, b.column), std::max(a.row, b.row)}};
}

int ColumnLeft(const Metrics& metrics, int column) { return column * metrics.ColumnPitch(); }

int RowTop(const Metrics& metrics, int row, int topRow) {
  return (row - topRow) * metrics.RowPitch();
}

Rect CellRect(const Metrics& metrics, Cell cell, int topRow) {
  const int left = ColumnLeft(metrics, cell.column);
  const int top = RowTop(metrics, cell.row, topRow);
  return {left, top, left + metrics.columnWidth, top + metrics.rowHeight};
}

Rect BlockRect(const Metrics& metrics, Block block, int topRow) {
  const Rect first = CellRect(metrics, block.first, topRow);
  const Rect last = CellRect(metrics, block.last, topRow);
  return {first.left, first.top, last.right + metrics.lineWidth, last.bottom + metrics.lineWidth};
}

std::optional<Cell> CellAt(const Metrics& metrics, int rowCount, int topRow, int x, int y) {
  if (x < 0 || y < 0) return std::nullopt;
  const Cell cell{x / metrics.ColumnPitch(), topRow + y / metrics.RowPitch()};
  if (cell.column >= metrics.columnCount || cell.row >= rowCount) return std::nullopt;
  return cell;
}

int FullyVisibleRows(const Metrics& metrics, int clientHeight) {
  // The line below the last row may fall outside: a row counts when its own pixels are shown.
  return std::max(1, (clientHeight + metrics.lineWidth) / metrics.RowPitch());
}

int MaxTopRow(const Metrics& metrics, int rowCount, int clientHeight) {
  return std::max(0, rowCount - FullyVisibleRows(metrics, clientHeight));
}

bool NeedsScrollBar(const Metrics& metrics, int rowCount, int clientHeight) {
  return rowCount > FullyVisibleRows(metrics, clientHeight);
}

int TopRowShowing(const Metrics& metrics, int row, int topRow, int rowCount, int clientHeight) {
  const int visible = FullyVisibleRows(metrics, clientHeight);
  int top = topRow;
  if (row < top) top = row;
  if (row >= top + visible) top = row - visible + 1;
  return std::clamp(top, 0, MaxTopRow(metrics, rowCount, clientHeight));
}

Cell MoveCell(Cell current, Key key, int columnCount, int rowCount, int pageRows) {
  Cell next = current;
  switch (key) {
    case Key::Left: --next.column; break;
    case Key::Right: ++next.column; break;
    case Key::Up: --next.row; break;
    case Key::Down: ++next.row; break;
    case Key::PageUp: next.row -= pageRows; break;
    case Key::PageDown: next.row += pageRows; break;
    case Key::Home: next.column = 0; break;
    case Key::End: next.column = columnCount - 1; break;
    case Key::FirstRow: next.row = 0; break;
    case Key::LastRow: next.row = rowCount - 1; break;
  }
  next.column = std::clamp(next.column, 0, columnCount - 1);
  next.row = std::clamp(next.row, 0, rowCount - 1);
  return next;
}

}  // namespace orlaspin::app::grid
