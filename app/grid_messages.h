// Messages that StringGrid answers besides the standard ones, for accessibility tools and the
// end-to-end tests. None carries a pointer, so they work across processes.
// WM_GETTEXT gives the listed rows: cells separated by tabs, each row ended by CR LF.
#pragma once

#include <windows.h>

namespace orlaspin::app {

inline constexpr wchar_t kGridClassName[] = L"OrlaspinStringGrid";

inline constexpr UINT kGridGetRowCount = WM_USER + 1;     // result: the row count
inline constexpr UINT kGridGetCurrentCell = WM_USER + 2;  // result: MAKELRESULT(column, row)
inline constexpr UINT kGridGetAnchorCell = WM_USER + 3;   // the selection's other corner
inline constexpr UINT kGridGetTopRow = WM_USER + 4;       // the first row shown

}  // namespace orlaspin::app
