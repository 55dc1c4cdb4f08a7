#include "orlaspinU.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "application.h"
#include "screens/screen_frames.h"
#include "io/disk_file.h"
#include "message_boxes.h"
#include "io/win/wide_text.h"

namespace orlaspin::app {

namespace {

// The stored description, in pixels at 96 pixels per inch.
// Posted to the form by OpenImageLater.
constexpr UINT kOpenNamedImage = WM_APP + 1;

constexpr int kClientWidth = 726;
constexpr int kClientHeight = 208;
constexpr Rect kImage1{360, 8, 616, 200};
constexpr Rect kSpeedButton1{624, 56, 721, 81};
constexpr Rect kSpeedButtonOpen{624, 8, 721, 33};
constexpr Rect kStringGrid1{8, 8, 353, 201};
constexpr POINT kLabel1{376, 24};
constexpr POINT kLabel2{624, 88};
constexpr POINT kLabel3{624, 184};
constexpr POINT kLabel4{632, 168};
constexpr int kStringGrid1Id = 1;

constexpr wchar_t kFontFace[] = L"MS Sans Serif";
constexpr int kFontDesignHeight = -11;  // 8 point at 96 pixels per inch
// The layout leaves its texts the room of MS Sans Serif, 5 pixels a character on average at 96
// pixels per inch. A system without that face substitutes another, often a wider one that runs
// Label1 under the buttons; the substitute is asked for the design's average width.
constexpr int kFontDesignAverageWidth = 5;
constexpr wchar_t kPlaceholder[] = L"_ _ _";
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

// Label1: what the program is for, ended by a carriage return as stored.
constexpr wchar_t kLabel1Text[] =
    L"Тем, кто не знает, что такое ZX Spectrum,\r"
    L"рекомендуется закрыть программу\r"
    L"за ненадобностью.\r"
    L"\r"
    L"Данная версия работает с образами\r"
    L"дисков .TRD и предназначена для\r"
    L"конвертирования спектрумовских\r"
    L"заставок в BMP\r";

// Label2: what "Get All Screen$" does.
constexpr wchar_t kLabel2Text[] =
    L"Эта кнопка ищет\r"
    L"все НЕсжатые\r"
    L"заставки (файлы\r"
    L"длиной 6912) и\r"
    L"сохраняет в BMP";

LOGFONTW WindowFontDescription(int pixelsPerInch) {
  LOGFONTW description{};
  description.lfHeight = FontHeightFor(kFontDesignHeight, pixelsPerInch);
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  std::copy_n(kFontFace, std::size(kFontFace), description.lfFaceName);
  return description;
}

struct FontFacts {
  int textHeight;
  bool isDesignFace;
};

FontFacts FactsOf(HFONT font) {
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {static_cast<int>(metrics.tmHeight), lstrcmpiW(face, kFontFace) == 0};
}

FormFonts MakeFormFonts() {
  const HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);

  LOGFONTW description = WindowFontDescription(pixelsPerInch);
  FormFonts fonts;
  fonts.window = Font(description);
  if (!FactsOf(fonts.window.Handle()).isDesignFace) {
    description.lfWidth =
        MulDivRounded(kFontDesignAverageWidth, pixelsPerInch, kDesignPixelsPerInch);
    fonts.window = Font(description);
  }
  fonts.scale = DisplayScale::For(pixelsPerInch, FactsOf(fonts.window.Handle()).textHeight);
  fonts.link = Font(description);
  description.lfUnderline = TRUE;
  fonts.underlinedLink = Font(description);
  return fonts;
}

RECT ToRECT(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Left = (desktop width - window width) / 2 and the same for the top, never negative; the
// desktop is the area of all monitors.
POINT CentredOnDesktop(int width, int height) {
  return {std::max(0, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - width) / 2),
          std::max(0, (GetSystemMetrics(SM_CYVIRTUALSCREEN) - height) / 2)};
}

}  // namespace

TForm1::TForm1(Application& application)
    : Window(application.Errors()),
      application_(application),
      fonts_(MakeFormFonts()),
      Label1(fonts_.scale.Apply(kLabel1.x), fonts_.scale.Apply(kLabel1.y), kPlaceholder,
             fonts_.window.Handle(), GetSysColor(COLOR_WINDOWTEXT)),
      Image1(fonts_.scale.Apply(kImage1), state_.Preview),
      SpeedButton1(fonts_.scale.Apply(kSpeedButton1), L"Get All Screen$", fonts_.window.Handle()),
      SpeedButtonOpen(fonts_.scale.Apply(kSpeedButtonOpen), L"Open .TRD...",
                      fonts_.window.Handle()),
      Label2(fonts_.scale.Apply(kLabel2.x), fonts_.scale.Apply(kLabel2.y), kPlaceholder,
             fonts_.window.Handle(), GetSysColor(COLOR_WINDOWTEXT)),
      Label3(fonts_.scale.Apply(kLabel3.x), fonts_.scale.Apply(kLabel3.y), kHomePageAddress,
             fonts_.underlinedLink.Handle(), kLinkColour),
      Label4(fonts_.scale.Apply(kLabel4.x), fonts_.scale.Apply(kLabel4.y), kCreditLine,
             fonts_.link.Handle(), kLinkColour),
      StringGrid1(application.Errors()),
      paintOrder_{&Label1, &Image1, &SpeedButton1, &SpeedButtonOpen, &Label2, &Label3, &Label4} {
  SpeedButton1.SetOnClick([this](PaintedControl& sender) { SpeedButton1Click(sender); });
  SpeedButtonOpen.SetOnClick([this](PaintedControl& sender) { SpeedButtonOpenClick(sender); });
  Label3.SetOnClick([this](PaintedControl& sender) { Label3Click(sender); });
  Label4.SetOnClick([this](PaintedControl& sender) { Label3Click(sender); });
}

void TForm1::Create() {
  RECT frame{0, 0, fonts_.scale.Apply(kClientWidth), fonts_.scale.Apply(kClientHeight)};
  if (!AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle))
    RaiseLastError("AdjustWindowRectEx");
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const POINT origin = CentredOnDesktop(width, height);
  CreateHandle({kFormClassName, 0, -1, nullptr}, kFormExStyle, kFormStyle, kFormCaption,
               {origin.x, origin.y, origin.x + width, origin.y + height}, application_.Handle(),
               nullptr);

  StringGrid1.Create(Handle(), ToRECT(fonts_.scale.Apply(kStringGrid1)), kStringGrid1Id);
  SendMessageW(StringGrid1.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.window.Handle()),
               FALSE);
  DragAcceptFiles(Handle(), TRUE);
  FormCreate(*this);
}

void TForm1::FormCreate(Window& /*sender*/) {
  Label1.SetText(kLabel1Text);
  Label2.SetText(kLabel2Text);
  state_.ZxPalette = kZxPaletteColours;
}

void TForm1::OpenImageLater(const std::wstring& path) {
  pathToOpen_ = path;
  if (!PostMessageW(Handle(), kOpenNamedImage, 0, 0)) RaiseLastError("PostMessageW");
}

void TForm1::SpeedButtonOpenClick(PaintedControl& /*sender*/) {
  if (!OpenDialog1.Execute(Handle())) return;
  OpenImage(OpenDialog1.FileName());
}

void TForm1::OpenImage(const std::wstring& path) {
  std::array<wchar_t, OpenDialog::kFileNameCapacity> full{};
  wchar_t* name = nullptr;
  const DWORD length =
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &name);
  if (length == 0) RaiseLastError("GetFullPathNameW");
  // A path longer than the dialog takes counts as no choice, as it does there.
  if (length >= full.size()) return;
  // The dialog leaves the current folder at the image's; a name given otherwise does the same.
  if (name) {
    const std::wstring folder(full.data(), name);
    if (!SetCurrentDirectoryW(folder.c_str())) RaiseLastError("SetCurrentDirectoryW");
  }
  state_.Document.ImagePath = Narrow(full.data());
  LoadCatalogue(state_.Document.ImagePath);
}

void TForm1::OnDropFiles(HDROP drop) {
  std::array<wchar_t, OpenDialog::kFileNameCapacity> path{};
  const UINT length = DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size()));
  DragFinish(drop);
  if (length > 0) OpenImage(path.data());
}

void TForm1::SpeedButton1Click(PaintedControl& /*sender*/) {
  // Files go into the current folder, which the open action left at the image's.
  const int count = state_.Document.ExportScreens(SystemFileSystem(), state_.ZxPalette, {}, *this);
  ShowNotice(application_.Boxes(), kCompletionText + std::to_wstring(count));
}

void TForm1::Label3Click(PaintedControl& /*sender*/) {
  // A shell that cannot open the page is not reported.
  ShellExecuteW(Handle(), L"open", kHomePageAddress, nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(); return 0;
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case WM_ACTIVATE: OnActivate(LOWORD(wParam)); return 0;
    case WM_SETFOCUS: SetFocus(StringGrid1.Handle()); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case kOpenNamedImage: OpenImage(pathToOpen_); return 0;
    default: return Default(message, wParam, lParam);
  }
}

void TForm1::OnPaint() {
  PaintBuffered(Handle(), [this](HDC dc, const RECT& dirty) {
    FillSolid(dc, dirty, GetSysColor(COLOR_BTNFACE));
    for (const PaintedControl* control : paintOrder_) {
      if (!control->IsVisible()) continue;
      RECT overlap;
      const RECT bounds = ToRECT(control->Bounds());
      if (IntersectRect(&overlap, &bounds, &dirty)) control->Paint(dc);
    }
  });
}

PaintedControl* TForm1::ControlAt(int x, int y) const {
  const auto topmost =
      std::find_if(paintOrder_.rbegin(), paintOrder_.rend(),
                   [x, y](const PaintedControl* control) { return control->HitTest(x, y); });
  return topmost == paintOrder_.rend() ? nullptr : *topmost;
}

void TForm1::Invalidate(const PaintedControl& control) {
  const RECT bounds = ToRECT(control.Bounds());
  InvalidateRect(Handle(), &bounds, FALSE);
}

void TForm1::OnLButtonDown(int x, int y) {
  PaintedControl* control = ControlAt(x, y);
  if (!control || !control->IsClickable()) return;
  pressed_ = control;
  pressed_->SetPressed(true);
  SetCapture(Handle());
  Invalidate(*pressed_);
}

void TForm1::OnMouseMove(int x, int y) {
  if (!pressed_) return;
  pressed_->SetPointerInside(pressed_->HitTest(x, y));
  Invalidate(*pressed_);
}

void TForm1::OnLButtonUp(int x, int y) {
  if (!pressed_) return;
  // A click counts only when the button is released over the control it went down on.
  PaintedControl* control = pressed_;
  const bool inside = control->HitTest(x, y);
  ReleaseCapture();
  if (inside) control->Click();
}

void TForm1::OnCaptureChanged() {
  if (!pressed_) return;
  pressed_->SetPressed(false);
  Invalidate(*pressed_);
  pressed_ = nullptr;
}

LRESULT TForm1::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  // Over a control with a pointer of its own (the link labels' hand) that pointer shows.
  if (reinterpret_cast<HWND>(wParam) == Handle() && LOWORD(lParam) == HTCLIENT) {
    POINT pointer;
    GetCursorPos(&pointer);
    ScreenToClient(Handle(), &pointer);
    const PaintedControl* control = ControlAt(pointer.x, pointer.y);
    if (const HCURSOR cursor = control ? control->Cursor() : nullptr) {
      SetCursor(cursor);
      return TRUE;
    }
  }
  return Default(WM_SETCURSOR, wParam, lParam);
}

void TForm1::OnActivate(WORD state) {
  // The grid is the only control that takes the focus.
  if (state != WA_INACTIVE) SetFocus(StringGrid1.Handle());
}

void TForm1::OnDestroy() { PostQuitMessage(0); }

void TForm1::LoadCatalogue(const std::string& path) {
  ImageDocument& document = state_.Document;
  if (!document.ReadCatalogue(SystemFileSystem(), path)) return;
  const Collection listed = document.Listing();
  for (int row = 0; row < document.EntryCount; ++row) {
    const auto cells = ListingCells(listed.files[row]);
    for (int column = 0; column < StringGrid::kColumns; ++column) {
      StringGrid1.SetCell(column, row, WidenAnsi(cells[column]));
    }
  }
  // The grid never has fewer than one row; with no entries that row is blank.
  if (document.EntryCount == 0) {
    for (int column = 0; column < StringGrid::kColumns; ++column)
      StringGrid1.SetCell(column, 0, {});
  }
  StringGrid1.SetRowCount(std::max(document.EntryCount, 1));
}

void TForm1::DrawScreen(const ScreenBytes& screen) {
  state_.ScreenBuffer = screen;
  if (!state_.Preview) state_.Preview = std::make_unique<PreviewRaster>();
  DecodeScreen(state_.ScreenBuffer, state_.ZxPalette, state_.Preview->Pixels());
  RepaintPreviewNow();
}

void TForm1::RepaintPreviewNow() {
  RECT bounds = ToRECT(Image1.Bounds());
  // From the first screen on Label1 is hidden, also where a font wider than the design's lets
  // its text run past the preview.
  if (Label1.IsVisible()) {
    Label1.Hide();
    const RECT label = ToRECT(Label1.Bounds());
    UnionRect(&bounds, &bounds, &label);
  }
  RedrawWindow(Handle(), &bounds, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TForm1::ScreenDecoded(const ScreenBytes& screen, const Picture& /*picture*/) {
  DrawScreen(screen);
}

void TForm1::FileWritten(const std::string& /*fileName*/) {
  // The window lists no files: the preview and the final count are what the user sees.
}

}  // namespace orlaspin::app
