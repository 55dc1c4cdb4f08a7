#include "string_grid.h"

#include <windowsx.h>

#include <algorithm>

#include "gdi_helpers.h"
#include "grid_messages.h"

namespace orlaspin::app {

namespace {

constexpr COLORREF kLineColour = RGB(192, 192, 192);
constexpr COLORREF kLineColourOnSilver = RGB(128, 128, 128);
constexpr int kWheelRows = 3;

RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

std::optional<grid::Key> NavigationKey(WPARAM key, bool control) {
  switch (key) {
    case VK_LEFT: return grid::Key::Left;
    case VK_RIGHT: return grid::Key::Right;
    case VK_UP: return grid::Key::Up;
    case VK_DOWN: return grid::Key::Down;
    case VK_PRIOR: return grid::Key::PageUp;
    case VK_NEXT: return grid::Key::PageDown;
    case VK_HOME: return control ? grid::Key::FirstRow : grid::Key::Home;
    case VK_END: return control ? grid::Key::LastRow : grid::Key::End;
    default: return std::nullopt;
  }
}

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

void StringGrid::Create(HWND parent, const RECT& bounds, int controlId) {
  CreateHandle({kGridClassName, CS_DBLCLKS, -1, nullptr}, WS_EX_CLIENTEDGE,
               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_CLIPSIBLINGS, L"", bounds,
               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)));
  UpdateScrollBar();
}

void StringGrid::SetCell(int column, int row, std::wstring text) {
  if (row >= static_cast<int>(state_.cells.size())) state_.cells.resize(row + 1);
  state_.cells[row][column] = std::move(text);
  InvalidateBlock({{column, row}, {column, row}});
}

void StringGrid::SetRowCount(int rows) {
  state_.rowCount = std::max(1, rows);
  if (static_cast<int>(state_.cells.size()) < state_.rowCount) state_.cells.resize(state_.rowCount);
  const grid::Cell limit{kColumns - 1, state_.rowCount - 1};
  state_.current.row = std::min(state_.current.row, limit.row);
  state_.anchor.row = std::min(state_.anchor.row, limit.row);
  state_.topRow =
      std::min(state_.topRow, grid::MaxTopRow(state_.metrics, state_.rowCount, ClientHeight()));
  UpdateScrollBar();
  InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT StringGrid::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: UpdateScrollBar(); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT: OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state_.font);
    case WM_SETFOCUS: OnFocusChange(true); return 0;
    case WM_KILLFOCUS: OnFocusChange(false); return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP:
      if (state_.dragging) ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED: state_.dragging = false; return 0;
    case WM_VSCROLL: OnVScroll(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_GETTEXT: return OnGetText(static_cast<int>(wParam), reinterpret_cast<wchar_t*>(lParam));
    case WM_GETTEXTLENGTH: return OnGetTextLength();
    case kGridGetRowCount: return state_.rowCount;
    case kGridGetCurrentCell: return MAKELRESULT(state_.current.column, state_.current.row);
    case kGridGetAnchorCell: return MAKELRESULT(state_.anchor.column, state_.anchor.row);
    case kGridGetTopRow: return state_.topRow;
    default: return Default(message, wParam, lParam);
  }
}

void StringGrid::OnPaint() {
  PaintBuffered(Handle(), [this](HDC dc, const RECT& dirty) { PaintCells(dc, dirty); });
}

void StringGrid::PaintCells(HDC dc, const RECT& dirty) const {
  const grid::Metrics& m = state_.metrics;
  FillSolid(dc, dirty, GetSysColor(COLOR_WINDOW));
  const HGDIOBJ oldFont =
      SelectObject(dc, state_.font ? state_.font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);

  const grid::Block selection = grid::BlockBetween(state_.anchor, state_.current);
  const int firstRow = state_.topRow + std::max(0, static_cast<int>(dirty.top)) / m.RowPitch();
  const int lastRow =
      std::min(state_.rowCount - 1, state_.topRow + static_cast<int>(dirty.bottom) / m.RowPitch());
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const grid::Cell cell{column, row};
      const RECT box = ToRECT(grid::CellRect(m, cell, state_.topRow));
      RECT unused;
      const RECT withLines{box.left, box.top, box.right + m.lineWidth, box.bottom + m.lineWidth};
      if (!IntersectRect(&unused, &withLines, &dirty)) continue;

      // The focused current cell keeps the window colours and gets the focus frame instead.
      const bool isFocusCell = state_.focused && cell == state_.current;
      const bool highlighted = selection.Contains(cell) && !isFocusCell;
      const COLORREF back = GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW);
      FillSolid(dc, box, back);
      const COLORREF line = back == kLineColour ? kLineColourOnSilver : kLineColour;
      FillSolid(dc, {box.right, box.top, box.right + m.lineWidth, box.bottom + m.lineWidth}, line);
      FillSolid(dc, {box.left, box.bottom, box.right, box.bottom + m.lineWidth}, line);

      const std::wstring& text = state_.cells[row][column];
      SetTextColor(dc, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      ExtTextOutW(dc, box.left + 2, box.top + 2, ETO_CLIPPED, &box, text.c_str(),
                  static_cast<UINT>(text.size()), nullptr);
      if (isFocusCell) DrawFocusRect(dc, &box);
    }
  }
  SelectObject(dc, oldFont);
}

void StringGrid::OnKeyDown(WPARAM key) {
  const std::optional<grid::Key> move = NavigationKey(key, KeyHeld(VK_CONTROL));
  if (!move) return;
  const int page = grid::FullyVisibleRows(state_.metrics, ClientHeight());
  Select(grid::MoveCell(state_.current, *move, kColumns, state_.rowCount, page), KeyHeld(VK_SHIFT));
}

void StringGrid::OnLButtonDown(int x, int y) {
  SetFocus(Handle());
  const auto cell = grid::CellAt(state_.metrics, state_.rowCount, state_.topRow, x, y);
  if (!cell) return;
  Select(*cell, KeyHeld(VK_SHIFT));
  state_.dragging = true;
  SetCapture(Handle());
}

void StringGrid::OnMouseMove(int x, int y) {
  if (!state_.dragging) return;
  // Outside the cells the block follows the nearest cell; above or below the grid it scrolls.
  const grid::Metrics& m = state_.metrics;
  const int column = std::clamp(x / m.ColumnPitch(), 0, kColumns - 1);
  const int rowsDown = y >= 0 ? y / m.RowPitch() : -1;
  Select({column, std::clamp(state_.topRow + rowsDown, 0, state_.rowCount - 1)}, true);
}

void StringGrid::OnSetFont(HFONT font, bool redraw) {
  state_.font = font;
  if (redraw) InvalidateRect(Handle(), nullptr, FALSE);
}

void StringGrid::OnVScroll(WORD request, WORD position) {
  const int page = grid::FullyVisibleRows(state_.metrics, ClientHeight());
  switch (request) {
    case SB_LINEUP: ScrollTo(state_.topRow - 1); break;
    case SB_LINEDOWN: ScrollTo(state_.topRow + 1); break;
    case SB_PAGEUP: ScrollTo(state_.topRow - page); break;
    case SB_PAGEDOWN: ScrollTo(state_.topRow + page); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(state_.rowCount); break;
    // The rows move only when the scroll box is released, not while it is dragged.
    case SB_THUMBPOSITION: ScrollTo(position); break;
    default: break;
  }
}

void StringGrid::OnMouseWheel(short delta) {
  ScrollTo(state_.topRow - delta / WHEEL_DELTA * kWheelRows);
}

void StringGrid::OnFocusChange(bool focused) {
  state_.focused = focused;
  InvalidateBlock(grid::BlockBetween(state_.anchor, state_.current));
}

std::wstring StringGrid::ListedText() const {
  std::wstring text;
  for (int row = 0; row < state_.rowCount; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      if (column > 0) text += L'\t';
      text += state_.cells[row][column];
    }
    text += L"\r\n";
  }
  return text;
}

LRESULT StringGrid::OnGetText(int capacity, wchar_t* buffer) const {
  if (capacity <= 0 || !buffer) return 0;
  const std::wstring text = ListedText();
  const std::size_t copied =
      std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1));
  std::copy_n(text.begin(), copied, buffer);
  buffer[copied] = L'\0';
  return static_cast<LRESULT>(copied);
}

LRESULT StringGrid::OnGetTextLength() const { return static_cast<LRESULT>(ListedText().size()); }

void StringGrid::Select(grid::Cell cell, bool extend) {
  const grid::Block before = grid::BlockBetween(state_.anchor, state_.current);
  state_.current = cell;
  if (!extend) state_.anchor = cell;
  InvalidateBlock(before);
  InvalidateBlock(grid::BlockBetween(state_.anchor, state_.current));
  ScrollTo(grid::TopRowShowing(state_.metrics, cell.row, state_.topRow, state_.rowCount,
                               ClientHeight()));
}

void StringGrid::ScrollTo(int topRow) {
  const int top =
      std::clamp(topRow, 0, grid::MaxTopRow(state_.metrics, state_.rowCount, ClientHeight()));
  if (top == state_.topRow) return;
  state_.topRow = top;
  UpdateScrollBar();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void StringGrid::UpdateScrollBar() {
  if (!Handle()) return;
  const int visible = grid::FullyVisibleRows(state_.metrics, ClientHeight());
  const bool needed = grid::NeedsScrollBar(state_.metrics, state_.rowCount, ClientHeight());
  // Without SIF_DISABLENOSCROLL the system hides the bar when the page covers the whole range.
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = needed ? state_.rowCount - 1 : 0;
  info.nPage = needed ? static_cast<UINT>(visible) : 1;
  info.nPos = state_.topRow;
  SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void StringGrid::InvalidateBlock(grid::Block block) {
  if (!Handle()) return;
  const RECT area = ToRECT(grid::BlockRect(state_.metrics, block, state_.topRow));
  InvalidateRect(Handle(), &area, FALSE);
}

int StringGrid::ClientHeight() const {
  RECT client{};
  if (Handle()) GetClientRect(Handle(), &client);
  return client.bottom;
}

}  // namespace orlaspin::app
