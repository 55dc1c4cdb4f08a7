// StringGrid1: a grid of text cells in a child window of its own class. It shows the texts it
// is given and owns none of the program's state. No fixed rows or columns, no editing; the
// current cell and a block selection follow the mouse and the navigation keys.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "grid_geometry.h"
#include "window_base.h"

namespace orlaspin::app {

class StringGrid final : public Window {
 public:
  static constexpr int kColumns = 5;

  explicit StringGrid(ErrorHandoff& errors) : Window(errors) {}

  // Creates the window (sunken border, vertical scroll bar when needed) at bounds of parent.
  void Create(HWND parent, const RECT& bounds, int controlId);

  void SetCell(int column, int row, std::wstring text);
  // Never below 1: the grid always has a row.
  void SetRowCount(int rows);

 private:
  struct State {
    grid::Metrics metrics;
    int rowCount = 128;
    int topRow = 0;
    grid::Cell current;
    grid::Cell anchor;  // the other corner of the selected block
    bool focused = false;
    bool dragging = false;
    HFONT font = nullptr;
    std::vector<std::array<std::wstring, kColumns>> cells =
        std::vector<std::array<std::wstring, kColumns>>(128);
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void OnPaint();
  void PaintCells(HDC dc, const RECT& dirty) const;
  void OnKeyDown(WPARAM key);
  void OnLButtonDown(int x, int y);
  void OnMouseMove(int x, int y);
  void OnSetFont(HFONT font, bool redraw);
  void OnVScroll(WORD request, WORD position);
  void OnMouseWheel(short delta);
  void OnFocusChange(bool focused);
  LRESULT OnGetText(int capacity, wchar_t* buffer) const;
  LRESULT OnGetTextLength() const;

  // Moves the current cell; the anchor follows unless the block is being extended.
  void Select(grid::Cell cell, bool extend);
  void ScrollTo(int topRow);
  void UpdateScrollBar();
  void InvalidateBlock(grid::Block block);
  int ClientHeight() const;
  std::wstring ListedText() const;

  State state_;
};

}  // namespace orlaspin::app
