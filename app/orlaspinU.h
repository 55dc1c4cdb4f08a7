// The window unit: TForm1, the program's one window, with the catalogue grid, the preview, the
// two command buttons and their labels. It owns the program-wide state.
#pragma once

#include <array>
#include <string>

#include "export/batch_export.h"
#include "containers/catalogue.h"
#include "display_scale.h"
#include "gdi_helpers.h"
#include "open_dialog.h"
#include "painted_controls.h"
#include "program_state.h"
#include "string_grid.h"
#include "window_base.h"

namespace orlaspin::app {

class Application;

inline constexpr wchar_t kFormClassName[] = L"OrlaspinForm";
inline constexpr wchar_t kFormCaption[] = L"Orlaspin$";
// Opened by both link labels; Label3 shows it.
inline constexpr wchar_t kHomePageAddress[] = L"http://orlaspin.zx/";
inline constexpr wchar_t kCreditLine[] = L"Orlaspin team";

// The window font and the two link fonts made for the display, and the layout's scale.
struct FormFonts {
  Font window;
  Font link;
  Font underlinedLink;
  DisplayScale scale = DisplayScale::Identity();
};

// Lists a catalogue in the grid: name bytes become characters of the ANSI code page.
class GridCatalogueView final : public CatalogueView {
 public:
  explicit GridCatalogueView(StringGrid& grid) : grid_(grid) {}
  void SetCell(int column, int row, std::string_view text) override;
  void SetRowCount(int rows) override;

 private:
  StringGrid& grid_;
};

class TForm1 final : public Window, private BatchView {
 public:
  explicit TForm1(Application& application);

  // Builds the window and its controls from the stored description and runs FormCreate; the
  // window is left hidden, at its centred position.
  void Create();

  void FormCreate(Window& sender);
  void SpeedButtonOpenClick(PaintedControl& sender);
  void SpeedButton1Click(PaintedControl& sender);
  void Label3Click(PaintedControl& sender);

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  void OnPaint();
  void OnLButtonDown(int x, int y);
  void OnMouseMove(int x, int y);
  void OnLButtonUp(int x, int y);
  void OnCaptureChanged();
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  void OnActivate(WORD state);
  void OnDestroy();

  // The topmost painted control under a client point, or null.
  PaintedControl* ControlAt(int x, int y) const;
  void Invalidate(const PaintedControl& control);

  // BatchView
  void RepaintPreviewNow() override;
  void FileWritten(const std::string& fileName) override;
  void ShowCompletion(const std::string& completionText, int count) override;

  Application& application_;
  ProgramState state_;
  FormFonts fonts_;

  Label Label1;
  PictureArea Image1;
  SpeedButton SpeedButton1;
  SpeedButton SpeedButtonOpen;
  Label Label2;
  LinkLabel Label3;
  LinkLabel Label4;
  StringGrid StringGrid1;
  OpenDialog OpenDialog1;

  // The painted controls in their stored order: a later one covers an earlier one.
  std::array<PaintedControl*, 7> paintOrder_;
  PaintedControl* pressed_ = nullptr;
  GridCatalogueView gridView_;
};

}  // namespace orlaspin::app
