#include "message_boxes.h"

#include <vector>

#include "io/errors.h"
#include "gdi_helpers.h"
#include "notice_layout.h"
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

// An in-memory dialog template: DLGTEMPLATE with DS_SETFONT, then its items.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, const DialogUnitRect& frame, const std::wstring& caption, WORD pointSize,
                 const wchar_t* faceName) {
    PutDword(style);
    PutDword(0);
    countAt_ = words_.size();
    Put(0);
    PutFrame(frame);
    Put(0);  // no menu
    Put(0);  // the standard dialog class
    PutText(caption.c_str());
    Put(pointSize);
    PutText(faceName);
  }

  void AddItem(WORD atomClass, DWORD style, const DialogUnitRect& frame, WORD id, const wchar_t* text) {
    if (words_.size() % 2) Put(0);  // items start on a DWORD boundary
    PutDword(style | WS_CHILD | WS_VISIBLE);
    PutDword(0);
    PutFrame(frame);
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
  void PutFrame(const DialogUnitRect& r) {
    for (const int value : {r.x, r.y, r.width, r.height}) Put(static_cast<WORD>(value));
  }
  void PutText(const wchar_t* text) {
    for (; *text; ++text) Put(static_cast<WORD>(*text));
    Put(0);
  }

  std::vector<WORD> words_;
  std::size_t countAt_ = 0;
};

struct MessageFont {
  Font font;
  std::wstring faceName;
  WORD pointSize;
};

MessageFont LoadMessageFont(HDC screen) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    RaiseLastError("SystemParametersInfoW");
  }
  LOGFONTW description = metrics.lfMessageFont;
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  const int pixels = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
  const auto pointSize = static_cast<WORD>(MulDiv(pixels, 72, pixelsPerInch));
  // The font exactly as the dialog manager will make it from the template.
  description.lfHeight = -MulDiv(pointSize, pixelsPerInch, 72);
  return {Font(description), description.lfFaceName, pointSize};
}

DialogBaseUnits BaseUnitsOf(HDC dc) {
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  SIZE sample;
  GetTextExtentPoint32W(dc, kBaseUnitSample, 52, &sample);
  return {static_cast<int>((sample.cx / 26 + 1) / 2), static_cast<int>(metrics.tmHeight)};
}

INT_PTR CALLBACK NoticeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      RECT frame;
      GetWindowRect(dialog, &frame);
      const int left = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
      const int top = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
      SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
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
  const HDC screen = GetDC(nullptr);
  const MessageFont font = LoadMessageFont(screen);
  const HGDIOBJ old = SelectObject(screen, font.font.Handle());
  const DialogBaseUnits units = BaseUnitsOf(screen);
  RECT textBox{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &textBox,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SIZE caption;
  GetTextExtentPoint32W(screen, kOkCaption, 2, &caption);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);

  const NoticeLayout layout =
      LayOutNotice(PixelsToDialogUnitsX(textBox.right, units), PixelsToDialogUnitsY(textBox.bottom, units),
                   PixelsToDialogUnitsX(caption.cx, units));
  DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                        {0, 0, layout.width, layout.height}, owner.title, font.pointSize,
                        font.faceName.c_str());
  dialog.AddItem(kStaticClass, SS_LEFT | SS_NOPREFIX | WS_GROUP, layout.text, kNoticeTextId, text.c_str());
  dialog.AddItem(kButtonClass, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, layout.button, IDOK, kOkCaption);

  ThreadWindowsDisabled modal;
  if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Data(), owner.window, &NoticeProc, 0) == -1) {
    RaiseLastError("DialogBoxIndirectParamW");
  }
}

}  // namespace orlaspin::app
