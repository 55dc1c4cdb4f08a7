// The window unit: TForm1, the program's one window, with the catalogue grid, the preview, the
// two command buttons and their labels. It owns the program-wide state.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "display_scale.h"
#include "export/collection_export.h"
#include "gdi_helpers.h"
#include "image_document.h"
#include "open_dialog.h"
#include "painted_controls.h"
#include "preview_raster.h"
#include "screens/screen.h"
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

// "Conversion finished. Number of files: ", followed by the count.
inline constexpr wchar_t kCompletionText[] = L"Конвертирование завершено. Количество файлов: ";

// The program-wide state, each piece with one writer: the open action (Document.ImagePath),
// LoadCatalogue (Document.Catalogue, Document.EntryCount), FormCreate (ZxPalette) and DrawScreen
// (ScreenBuffer, Preview).
struct ProgramState {
  // The open image. The window shows no reader warnings: it reads only the catalogue and the
  // screens' bytes, and writes every picture at its own size, so there are none to show.
  ImageDocument Document;
  ScreenBytes ScreenBuffer{};
  Palette ZxPalette{};
  // Absent until the first screen is decoded, then kept for the whole run.
  std::unique_ptr<PreviewRaster> Preview;
};

class TForm1 final : public Window, private ExportView {
 public:
  explicit TForm1(Application& application);

  // Builds the window and its controls from the stored description and runs FormCreate; the
  // window is left hidden, at its centred position.
  void Create();

  void FormCreate(Window& sender);
  // Opens the image at path, named on the command line, once the message loop runs: as if it
  // had been chosen in the open dialog, errors shown the same way.
  void OpenImageLater(const std::wstring& path);
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
  void OnDropFiles(HDROP drop);

  // What the open dialog's choice does: the current folder becomes the image's, where the
  // export writes, and the image's catalogue is listed.
  void OpenImage(const std::wstring& path);

  // Reads the catalogue of the image at path into the state and lists it in the grid, one row
  // per entry and never fewer than one row. A path naming no file changes nothing.
  void LoadCatalogue(const std::string& path);
  // Shows a screen: keeps its bytes in ScreenBuffer, paints the preview raster from them and
  // repaints it now.
  void DrawScreen(const ScreenBytes& screen);
  void RepaintPreviewNow();

  // The topmost painted control under a client point, or null.
  PaintedControl* ControlAt(int x, int y) const;
  void Invalidate(const PaintedControl& control);

  // ExportView: each picture of the batch is drawn before its file is written.
  void ScreenDecoded(const ScreenBytes& screen, const Picture& picture) override;
  void FileWritten(const std::string& fileName) override;

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
  std::wstring pathToOpen_;  // named on the command line, opened when the loop runs

  // The painted controls in their stored order: a later one covers an earlier one.
  std::array<PaintedControl*, 7> paintOrder_;
  PaintedControl* pressed_ = nullptr;
};

}  // namespace orlaspin::app
