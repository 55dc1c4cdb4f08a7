#include "message_boxes.h"

#include <climits>
#include <vector>

#include "io/errors.h"
#include "gdi_helpers.h"
#include "notice_layout.h"
#include "text_block.h"
#include "io/win/wide_text.h"
#include "window_base.h"

namespace orlaspin::app {

namespace {

constexpr wchar_t kOkCaption[] = L"OK";
constexpr wchar_t kBaseUnitSample[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kNoticeTextId = 0xFFFF;

std::string MessageOf(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const Error& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

// Disables every enabled, visible window of the thread for the life of a box, and afterwards
// gives the activation and the focus back to where they were.
class ThreadWindowsDisabled {
 public:
  ThreadWindowsDisabled() : active_(GetActiveWindow()), focus_(GetFocus()) {
    EnumThreadWindows(GetCurrentThreadId(), &ThreadWindowsDisabled::DisableOne,
                      reinterpret_cast<LPARAM>(this));
  }
  ~ThreadWindowsDisabled() {
    for (const HWND window : disabled_) EnableWindow(window, TRUE);
    if (active_ && IsWindow(active_)) SetActiveWindow(active_);
    if (focus_ && IsWindow(focus_)) SetFocus(focus_);
  }
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK DisableOne(HWND window, LPARAM self) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
      EnableWindow(window, FALSE);
      reinterpret_cast<ThreadWindowsDisabled*>(self)->disabled_.push_back(window);
    }
    return TRUE;
  }

  HWND active_;
  HWND focus_;
  std::vector<HWND> disabled_;
};

// An in-memory dialog template: DLGTEMPLATE and its items, all placed later in pixels.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, const std::wstring& caption) {
    PutDword(style);
    PutDword(0);
    countAt_ = words_.size();
    Put(0);
    PutEmptyFrame();
    Put(0);  // no menu
    Put(0);  // the standard dialog class
    PutText(caption.c_str());
  }

  void AddItem(WORD atomClass, DWORD style, WORD id, const wchar_t* text) {
    if (words_.size() % 2) Put(0);  // items start on a DWORD boundary
    PutDword(style | WS_CHILD | WS_VISIBLE);
    PutDword(0);
    PutEmptyFrame();
    Put(id);
    Put(0xFFFF);
    Put(atomClass);
    PutText(text);
    Put(0);  // no creation data
    ++words_[countAt_];
  }

  const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Put(WORD word) { words_.push_back(word); }
  void PutDword(DWORD value) {
    Put(LOWORD(value));
    Put(HIWORD(value));
  }
  void PutEmptyFrame() {
    for (int i = 0; i < 4; ++i) Put(0);
  }
  void PutText(const wchar_t* text) {
    for (; *text; ++text) Put(static_cast<WORD>(*text));
    Put(0);
  }

  std::vector<WORD> words_;
  std::size_t countAt_ = 0;
};

Font MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    RaiseLastError("SystemParametersInfoW");
  }
  return Font(metrics.lfMessageFont);
}

DialogBaseUnits BaseUnitsOf(HFONT font) {
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(screen, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SIZE sample{};
  GetTextExtentPoint32W(screen, kBaseUnitSample, 52, &sample);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return {static_cast<int>((sample.cx / 26 + 1) / 2), static_cast<int>(metrics.tmHeight)};
}

void MoveChild(HWND child, const Rect& bounds) {
  MoveWindow(child, bounds.left, bounds.top, bounds.Width(), bounds.Height(), FALSE);
}

// The simple message box's contents: one font for measuring, laying out and drawing the text,
// and the text drawn by the box itself at the places it was measured at.
class Notice {
 public:
  explicit Notice(const std::wstring& text)
      : font_(MessageFont()), text_(text, font_.Handle(), GetSystemMetrics(SM_CXSCREEN) / 2) {
    const SIZE size = text_.Size();
    const SIZE caption = TextBlock(kOkCaption, font_.Handle(), INT_MAX).Size();
    layout_ = LayOutNotice(size.cx, size.cy, caption.cx, BaseUnitsOf(font_.Handle()));
  }

  // Gives the controls the font and their places, and sizes and centres the box on the screen.
  void Place(HWND dialog) const {
    const HWND text = GetDlgItem(dialog, kNoticeTextId);
    const HWND ok = GetDlgItem(dialog, IDOK);
    for (const HWND control : {text, ok}) {
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    }
    MoveChild(text, layout_.text);
    MoveChild(ok, layout_.button);
    RECT frame{0, 0, layout_.width, layout_.height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  BOOL DrawText(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_STATIC) return FALSE;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_3DFACE));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
    text_.Draw(item.hDC, item.rcItem.left, item.rcItem.top);
    return TRUE;
  }

 private:
  Font font_;
  TextBlock text_;
  NoticeLayout layout_;
};

const Notice* NoticeOf(HWND dialog) {
  return reinterpret_cast<const Notice*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR OnNoticeInit(HWND dialog, LPARAM notice) {
  SetWindowLongPtrW(dialog, DWLP_USER, notice);
  NoticeOf(dialog)->Place(dialog);
  return TRUE;
}

INT_PTR OnNoticeDrawItem(HWND dialog, const DRAWITEMSTRUCT& item) {
  const Notice* notice = NoticeOf(dialog);
  return notice && notice->DrawText(item);
}

INT_PTR CALLBACK NoticeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnNoticeInit(dialog, lParam);
    case WM_DRAWITEM: return OnNoticeDrawItem(dialog, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

void ShowErrorBox(const BoxOwner& owner, std::exception_ptr error) {
  const std::wstring text = Widen(WithFullStop(MessageOf(error)));
  ThreadWindowsDisabled modal;
  MessageBoxW(owner.window, text.c_str(), owner.title.c_str(), MB_OK | MB_ICONSTOP);
}

void ShowNotice(const BoxOwner& owner, const std::wstring& text) {
  const Notice notice(text);
  DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, owner.title);
  // Owner-drawn, so that the text is drawn by the Notice that measured it; its window text is
  // still the text, for whoever reads the box.
  dialog.AddItem(kStaticClass, SS_OWNERDRAW | WS_GROUP, kNoticeTextId, text.c_str());
  dialog.AddItem(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, kOkCaption);

  ThreadWindowsDisabled modal;
  if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Data(), owner.window, &NoticeProc,
                              reinterpret_cast<LPARAM>(&notice)) == -1) {
    RaiseLastError("DialogBoxIndirectParamW");
  }
}

}  // namespace orlaspin::app
