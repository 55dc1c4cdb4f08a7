// orlaspin.exe as a user meets it: the real executable under Wine, its window found on the
// display, clicks posted at the controls' places, the system's own open dialog and boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "grid_messages.h"
#include "gui_driver.h"
#include "oracle.h"
#include "screen_capture.h"
#include "text_ink.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"
#include "io/win/wide_text.h"
#include "orlaspinU.h"

namespace orlaspin::gui_test {
namespace {

namespace fs = std::filesystem;
using testing::EntrySpec;
using testing::TrdBuilder;
using namespace orlaspin::app;

// The window's layout at 96 pixels per inch, as the program's description gives it.
constexpr int kClientWidth = 726;
constexpr int kClientHeight = 208;
constexpr RECT kImage1{360, 8, 616, 200};
constexpr RECT kSpeedButton1{624, 56, 721, 81};
constexpr RECT kStringGrid1{8, 8, 353, 201};
constexpr POINT kLabel1{376, 24};
constexpr int kRowPitch = 17;     // 16 pixels and a line
constexpr int kColumnPitch = 65;  // 64 pixels and a line

const std::wstring kCompletion = L"Конвертирование завершено. Количество файлов: ";

std::wstring Wide(const std::string& utf8) { return Widen(utf8); }

// Catalogue bytes as the system's ANSI code page reads them.
std::wstring Ansi(const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                         text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void SaveScreenshot(const Picture& picture, const std::wstring& name) {
  picture.SaveBitmap(ScreenshotFolder() + L"\\" + name + L".bmp");
}

Picture CaptureClient(const RunningProgram& program) {
  program.Settle();
  return CaptureScreen(ClientRectOnScreen(program.MainWindow()));
}

int RowCount(const RunningProgram& program) {
  return static_cast<int>(SendMessageW(program.Grid(), kGridGetRowCount, 0, 0));
}

std::pair<int, int> CellOf(LRESULT packed) { return {LOWORD(packed), HIWORD(packed)}; }

bool HasVerticalScrollBar(HWND window) {
  return (GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL) != 0;
}

// The grid's rows as the catalogue gives them: name, extension, start, length, file offset.
std::wstring GridRow(const EntrySpec& e) {
  std::string name = e.name;
  name.resize(8, ' ');
  const unsigned offset = (e.firstTrack * 16u + e.firstSector) * 256u;
  return Ansi(name + '\t' + static_cast<char>(e.extension) + '\t' + std::to_string(e.start) + '\t' +
              std::to_string(e.length) + '\t' + std::to_string(offset) + "\r\n");
}

// A catalogue entry of a screen placed at track 1 + 2 × index, so tests know where it lies.
EntrySpec ScreenEntry(const std::string& name, int index) {
  return {.name = name,
          .extension = 'C',
          .start = 16384,
          .length = 6912,
          .sectorCount = 27,
          .firstSector = 0,
          .firstTrack = static_cast<std::uint8_t>(1 + 2 * index)};
}

struct Disk {
  std::vector<EntrySpec> entries;
  std::map<int, ScreenBytes> screens;  // by entry index

  void AddScreen(const std::string& name, std::uint32_t seed) {
    screens[static_cast<int>(entries.size())] = testing::ColourfulScreen(seed);
    entries.push_back(ScreenEntry(name, static_cast<int>(entries.size())));
  }
  void AddOther(const std::string& name, std::uint16_t length) {
    EntrySpec entry = ScreenEntry(name, static_cast<int>(entries.size()));
    entry.extension = 'B';
    entry.length = length;
    entries.push_back(entry);
  }
  void WriteTo(const std::string& path) const {
    TrdBuilder builder;
    for (const EntrySpec& entry : entries) builder.AddEntry(entry);
    for (const auto& [index, screen] : screens) {
      builder.PutBytes((entries[index].firstTrack * 16u) * 256u, screen);
    }
    builder.WriteTo(path);
  }
  std::wstring GridText() const {
    std::wstring text;
    for (const EntrySpec& entry : entries) text += GridRow(entry);
    return text;
  }
};

// "" when Image1's area of the client picture shows screen pixel for pixel.
std::string PreviewDifference(const Picture& client, const ScreenBytes& screen) {
  for (int y = 0; y < 192; ++y) {
    for (int x = 0; x < 256; ++x) {
      const testing::Rgb want = testing::OraclePixel(screen, x, y);
      const testing::Rgb got = client.At(kImage1.left + x, kImage1.top + y);
      if (!(got == want)) {
        auto rgb = [](testing::Rgb c) {
          return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
        };
        return "preview pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
               rgb(got) + " instead of " + rgb(want);
      }
    }
  }
  return "";
}

testing::Rgb ButtonFace() {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  return {GetRValue(face), GetGValue(face), GetBValue(face)};
}

// value × numerator / denominator rounded to the nearest, halves up (all values are positive).
int Rounded(int value, int numerator, int denominator) {
  return (2 * value * numerator + denominator) / (2 * denominator);
}

// The window font at a resolution: MS Sans Serif of 11 pixels at 96 pixels per inch, its height
// scaled with the resolution. The layout gives its texts the room of MS Sans Serif, 5 pixels a
// character on average at 96; a substitute for a missing face is held to that width.
LOGFONTW WindowFontAt(int pixelsPerInch, bool underlined = false) {
  LOGFONTW description{};
  description.lfHeight = -Rounded(11, pixelsPerInch, 96);
  description.lfWeight = FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfUnderline = underlined;
  lstrcpyW(description.lfFaceName, L"MS Sans Serif");
  if (lstrcmpiW(TestFont(description).Face().c_str(), L"MS Sans Serif") != 0) {
    description.lfWidth = Rounded(5, pixelsPerInch, 96);
  }
  return description;
}

// Design positions grow with the window font's text height over 13, unless the display has 96
// pixels per inch or the height is 13.
struct Layout {
  int pixelsPerInch;
  int textHeight;
  int Scale(int value) const {
    return pixelsPerInch == 96 || textHeight == 13 ? value : Rounded(value, textHeight, 13);
  }
  RECT Scale(const RECT& r) const {
    return {Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)};
  }
};

Layout LayoutAt(int pixelsPerInch) {
  return {pixelsPerInch,
          static_cast<int>(TestFont(WindowFontAt(pixelsPerInch)).Metrics().tmHeight)};
}

// The window's texts where the design puts them: each label from its top left, each caption
// centred in its button, and the room where it may show with nothing painted over it.
struct WindowText {
  const char* name;
  std::wstring text;
  RECT box;   // a label's top left (right and bottom unused), or a button's bounds
  RECT room;  // a label's room; a button's is the inside of its raised frame
  enum Kind { kLabel, kLink, kUnderlinedLink, kButton } kind;
};

const std::vector<WindowText>& WindowTexts() {
  static const std::vector<WindowText> texts{
      {"Label1",
       L"Тем, кто не знает, что такое ZX Spectrum,\r"
       L"рекомендуется закрыть программу\r"
       L"за ненадобностью.\r"
       L"\r"
       L"Данная версия работает с образами\r"
       L"дисков .TRD и предназначена для\r"
       L"конвертирования спектрумовских\r"
       L"заставок в BMP\r",
       {376, 24, 376, 24},
       kImage1,
       WindowText::kLabel},
      {"Label2",
       L"Эта кнопка ищет\r"
       L"все НЕсжатые\r"
       L"заставки (файлы\r"
       L"длиной 6912) и\r"
       L"сохраняет в BMP",
       {624, 88, 624, 88},
       {624, 88, 726, 168},
       WindowText::kLabel},
      {"Label4", kCreditLine, {632, 168, 632, 168}, {632, 168, 726, 184}, WindowText::kLink},
      {"Label3",
       kHomePageAddress,
       {624, 184, 624, 184},
       {624, 184, 726, 208},
       WindowText::kUnderlinedLink},
      {"SpeedButtonOpen", L"Open .TRD...", {624, 8, 721, 33}, {}, WindowText::kButton},
      {"SpeedButton1", L"Get All Screen$", kSpeedButton1, {}, WindowText::kButton},
  };
  return texts;
}

// "" when every text of the window shows whole in its room; otherwise which does not, and how.
std::string WindowTextsDifference(const RunningProgram& program, int pixelsPerInch) {
  const Layout layout = LayoutAt(pixelsPerInch);
  const RECT client = ClientRectOnScreen(program.MainWindow());
  std::string difference;
  WaitUntil(
      [&] {
        const Picture shown = CaptureScreen(client);
        difference.clear();
        for (const WindowText& item : WindowTexts()) {
          const TestFont font(
              WindowFontAt(pixelsPerInch, item.kind == WindowText::kUnderlinedLink));
          const RECT box = layout.Scale(item.box);
          RECT room = item.kind == WindowText::kButton ? box : layout.Scale(item.room);
          if (item.kind == WindowText::kButton) InflateRect(&room, -2, -2);  // the raised frame
          const ExpectedText expected =
              item.kind == WindowText::kButton
                  ? DrawWithDrawText(item.text, font.Handle(),
                                     DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                                     {box.right - box.left, box.bottom - box.top})
                  : DrawWithDrawText(item.text, font.Handle(),
                                     DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS,
                                     DrawTextSize(item.text, font.Handle(), DT_LEFT | DT_NOPREFIX));
          const std::string itemDifference =
              InkDifference(shown, room, {box.left, box.top}, expected);
          if (!itemDifference.empty())
            difference += std::string(item.name) + ": " + itemDifference + "\n";
        }
        return difference.empty();
      },
      std::chrono::seconds(5));
  return difference;
}

// Pixels of Image1's area that are not the window background, and whether all of them lie at
// or beyond Label1's top-left corner (so they are Label1's text).
struct PreviewAreaInk {
  int pixels = 0;
  bool allInLabel1 = true;
};
PreviewAreaInk InkInPreviewArea(const Picture& client) {
  PreviewAreaInk ink;
  const testing::Rgb face = ButtonFace();
  for (int y = kImage1.top; y < kImage1.bottom; ++y) {
    for (int x = kImage1.left; x < kImage1.right; ++x) {
      if (client.At(x, y) == face) continue;
      ++ink.pixels;
      if (x < kLabel1.x || y < kLabel1.y) ink.allInLabel1 = false;
    }
  }
  return ink;
}

class EndToEnd : public ::testing::Test {
 protected:
  // Image folders have a Cyrillic name: paths travel as wide strings end to end.
  std::string Folder(const std::string& name) {
    const fs::path folder = testing::PathFromUtf8(temp_.Path()) / testing::PathFromUtf8(name);
    fs::create_directories(folder);
    return testing::Utf8FromPath(folder);
  }
  std::string ImageIn(const std::string& folder, const Disk& disk,
                      const std::string& name = "диск.trd") {
    const std::string path =
        testing::Utf8FromPath(testing::PathFromUtf8(folder) / testing::PathFromUtf8(name));
    disk.WriteTo(path);
    return path;
  }
  static std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(testing::PathFromUtf8(folder))) {
      names.push_back(testing::Utf8FromPath(item.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Clicks "Get All Screen$" and waits for the completion box; null when an error box or
  // nothing came instead.
  static HWND RunBatch(const RunningProgram& program, const std::wstring& title = L"orlaspin") {
    program.ClickCentreOf(kSpeedButton1);
    return program.WaitForTopLevel(L"#32770", title.c_str(), std::chrono::seconds(60));
  }
  static void CloseBox(const RunningProgram& program, HWND box, WPARAM key) {
    PressKey(GetDlgItem(box, IDOK) ? GetDlgItem(box, IDOK) : box, key);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
        << "the box stayed open";
    program.Settle();
  }

  testing::TempFolder temp_;
};

TEST_F(EndToEnd, StartsCentredWithItsLayoutTheGridFocusedAndLabel1Showing) {
  RunningProgram program;
  const HWND main = program.MainWindow();
  EXPECT_EQ(TextOf(main), L"Orlaspin$");
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongW(main, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  RECT client;
  GetClientRect(main, &client);
  EXPECT_EQ(client.right, kClientWidth);
  EXPECT_EQ(client.bottom, kClientHeight);
  const RECT frame = WindowRect(main);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  EXPECT_EQ(frame.left, std::max(0, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - width) / 2));
  EXPECT_EQ(frame.top, std::max(0, (GetSystemMetrics(SM_CYVIRTUALSCREEN) - height) / 2));

  // The grid: where the layout puts it, 128 empty rows that need the scroll bar, and the focus.
  RECT grid = WindowRect(program.Grid());
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&grid), 2);
  EXPECT_EQ(grid.left, kStringGrid1.left);
  EXPECT_EQ(grid.top, kStringGrid1.top);
  EXPECT_EQ(grid.right, kStringGrid1.right);
  EXPECT_EQ(grid.bottom, kStringGrid1.bottom);
  EXPECT_TRUE(GetWindowLongW(program.Grid(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(RowCount(program), 128);
  EXPECT_TRUE(HasVerticalScrollBar(program.Grid()));
  GUITHREADINFO focus{};
  focus.cbSize = sizeof focus;
  ASSERT_TRUE(GetGUIThreadInfo(program.ThreadId(), &focus));
  EXPECT_EQ(focus.hwndActive, main);
  EXPECT_EQ(focus.hwndFocus, program.Grid());

  // The application window carries the title, owns the main window, is shown with it and has
  // no size.
  const HWND application = GetWindow(main, GW_OWNER);
  ASSERT_EQ(application, program.ApplicationWindow());
  EXPECT_EQ(TextOf(application), L"orlaspin");
  EXPECT_TRUE(IsWindowVisible(application));
  EXPECT_FALSE(GetWindowLongW(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
      << "it has the taskbar entry";
  const RECT applicationFrame = WindowRect(application);
  EXPECT_LE(applicationFrame.right - applicationFrame.left, 1);

  // Before the first decode the preview area shows Label1's text and nothing else.
  const Picture start = CaptureClient(program);
  SaveScreenshot(start, L"start");
  const PreviewAreaInk ink = InkInPreviewArea(start);
  EXPECT_GT(ink.pixels, 500) << "Label1's text is not visible in the preview area";
  EXPECT_TRUE(ink.allInLabel1);
  EXPECT_EQ(WindowTextsDifference(program, 96), "");

  EXPECT_EQ(program.Close(), 0u);
}

TEST_F(EndToEnd, OpensAnImageListsItAndExportsEveryScreenIntoItsFolder) {
  Disk disk;
  disk.AddScreen("SCREEN", 11);
  disk.AddOther("CODE", 6911);
  disk.AddScreen("SCREEN", 12);
  disk.AddScreen("A:B*C?", 13);
  disk.AddOther("DATA", 6913);
  disk.AddScreen("con", 14);
  disk.AddScreen("PIC\xC9", 15);  // a byte of the ANSI code page's upper half
  const std::string folder = Folder("Образы дисков");
  const std::string image = ImageIn(folder, disk);
  const std::string elsewhere = Folder("elsewhere");

  RunningProgram program(ProgramPath(), Wide(elsewhere));
  const HWND dialog = ShowOpenDialog(program);
  // The dialog sits at the horizontal centre of the monitor, a third of the way down.
  const RECT placed = WindowRect(dialog);
  const int width = placed.right - placed.left;
  const int height = placed.bottom - placed.top;
  EXPECT_EQ(placed.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(placed.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 3);
  AcceptInDialog(program, dialog, Wide(image));

  EXPECT_EQ(RowCount(program), 7);
  EXPECT_EQ(TextOf(program.Grid()), disk.GridText());
  EXPECT_FALSE(HasVerticalScrollBar(program.Grid())) << "seven rows fit: no scroll bar";
  SaveScreenshot(CaptureClient(program), L"opened");

  const HWND box = RunBatch(program);
  ASSERT_NE(box, nullptr) << "no completion box";
  const DialogContents completion = ReadDialog(box);
  EXPECT_EQ(completion.caption, L"orlaspin");
  EXPECT_EQ(completion.texts, std::vector<std::wstring>{kCompletion + L"5"});
  EXPECT_EQ(completion.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(completion.hasIcon);
  const RECT notice = WindowRect(box);
  EXPECT_EQ(notice.left, (GetSystemMetrics(SM_CXSCREEN) - (notice.right - notice.left)) / 2)
      << "not centred";
  EXPECT_EQ(notice.top, (GetSystemMetrics(SM_CYSCREEN) - (notice.bottom - notice.top)) / 2)
      << "not centred";
  SaveScreenshot(CaptureScreen(notice), L"completion");
  CloseBox(program, box, VK_RETURN);

  // The preview shows the last screen exported, covering Label1 completely.
  const Picture after = CaptureClient(program);
  SaveScreenshot(after, L"after-batch");
  EXPECT_EQ(PreviewDifference(after, disk.screens.at(6)), "");

  // The files land in the image's folder, the one the dialog left current.
  const std::string accented = Narrow(Ansi("PIC\xC9")) + ".bmp";
  std::vector<std::string> expected{"A_B_C_.bmp", "SCREEN.bmp", "SCREEN1.bmp",
                                    "con_.bmp",   accented,     "диск.trd"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(NamesIn(folder), expected);
  EXPECT_TRUE(NamesIn(elsewhere).empty());
  const std::map<std::string, int> written{
      {"SCREEN.bmp", 0}, {"SCREEN1.bmp", 2}, {"A_B_C_.bmp", 3}, {"con_.bmp", 5}, {accented, 6}};
  for (const auto& [name, index] : written) {
    const auto bytes = testing::ReadFileBytes(folder + "/" + name);
    EXPECT_EQ(testing::FirstDifference(bytes, testing::OracleBitmapFile(disk.screens.at(index))),
              "")
        << name;
  }
  EXPECT_EQ(program.Close(), 0u);
}

TEST_F(EndToEnd, AnImageNamedOnTheCommandLineOpensAsIfChosenInTheDialog) {
  Disk disk;
  disk.AddScreen("NAMED", 31);
  disk.AddOther("CODE", 100);
  const std::string folder = Folder("named");
  const std::string image = ImageIn(folder, disk);
  const std::string elsewhere = Folder("elsewhere");

  RunningProgram program(ProgramPath(), Wide(elsewhere), SW_SHOWDEFAULT, Wide(image));
  EXPECT_EQ(RowCount(program), 2);
  EXPECT_EQ(TextOf(program.Grid()), disk.GridText());
  SaveScreenshot(CaptureClient(program), L"named-on-command-line");

  // The export writes beside the image, as after the dialog.
  const HWND box = RunBatch(program);
  ASSERT_NE(box, nullptr) << "no completion box";
  EXPECT_EQ(ReadDialog(box).texts, std::vector<std::wstring>{kCompletion + L"1"});
  CloseBox(program, box, VK_RETURN);
  EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"NAMED.bmp", "диск.trd"}));
  EXPECT_TRUE(NamesIn(elsewhere).empty());
  EXPECT_EQ(program.Close(), 0u);
}

TEST_F(EndToEnd, CancelKeepsTheImageTheGridAndTheFolderAndTheDialogStartsFromTheLastFile) {
  Disk first;
  first.AddScreen("FIRST", 21);
  const std::string firstFolder = Folder("первая");
  const std::string firstImage = ImageIn(firstFolder, first, "один.trd");
  Disk second;
  second.AddScreen("SECOND", 22);
  second.AddScreen("THIRD", 23);
  const std::string secondFolder = Folder("вторая");
  const std::string secondImage = ImageIn(secondFolder, second, "два.trd");

  RunningProgram program(ProgramPath(), Wide(Folder("start")));
  OpenThroughDialog(program, Wide(firstImage));
  ASSERT_EQ(TextOf(program.Grid()), first.GridText());
  OpenThroughDialog(program, Wide(secondImage));
  ASSERT_EQ(TextOf(program.Grid()), second.GridText());

  // Cancel after typing another image's path changes nothing.
  HWND dialog = ShowOpenDialog(program);
  SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(Wide(firstImage).c_str()));
  CancelDialog(program, dialog);
  EXPECT_EQ(TextOf(program.Grid()), second.GridText());
  EXPECT_EQ(RowCount(program), 2);

  // The batch writes into the folder of the last accepted image.
  const HWND box = RunBatch(program);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ReadDialog(box).texts, std::vector<std::wstring>{kCompletion + L"2"});
  CloseBox(program, box, VK_ESCAPE);
  EXPECT_EQ(NamesIn(secondFolder),
            (std::vector<std::string>{"SECOND.bmp", "THIRD.bmp", "два.trd"}));
  EXPECT_EQ(NamesIn(firstFolder), std::vector<std::string>{"один.trd"});

  // The dialog starts from the last accepted file: OK as it stands reads that image again.
  second.AddScreen("FOURTH", 24);
  second.WriteTo(secondImage);
  dialog = ShowOpenDialog(program);
  const std::wstring shown = TextOf(FileNameBox(dialog));
  EXPECT_NE(shown.find(L"два.trd"), std::wstring::npos) << Narrow(shown);
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return RowCount(program) == 3; })) << "the image was not read again";
  EXPECT_EQ(TextOf(program.Grid()), second.GridText());
}

TEST_F(EndToEnd, AnOverlongPathCountsAsCancelAndAMissingFileKeepsTheListing) {
  Disk disk;
  disk.AddScreen("ONLY", 51);
  const std::string folder = Folder("typed");
  const std::string image = ImageIn(folder, disk);
  RunningProgram program;
  OpenThroughDialog(program, Wide(image));

  // 260 characters or more do not fit the dialog's buffer: as if cancelled, the image stays.
  const std::wstring overlong = Wide(folder) + L"\\" + std::wstring(280, L'x') + L".trd";
  OpenThroughDialog(program, overlong);
  EXPECT_EQ(program.FindTopLevel(L"#32770"), nullptr) << "something was shown for an overlong path";
  HWND box = RunBatch(program);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ReadDialog(box).texts, std::vector<std::wstring>{kCompletion + L"1"});
  CloseBox(program, box, VK_RETURN);

  // A typed name of a missing file is accepted: the listing stays, and the batch says the image
  // is gone instead of saving the last picture under the entries' names.
  OpenThroughDialog(program, Wide(folder) + L"\\missing.trd");
  EXPECT_EQ(TextOf(program.Grid()), disk.GridText());
  box = RunBatch(program);
  ASSERT_NE(box, nullptr);
  const DialogContents error = ReadDialog(box);
  EXPECT_EQ(error.texts, std::vector<std::wstring>{L"File not found."});
  EXPECT_TRUE(error.hasIcon);
  CloseBox(program, box, VK_RETURN);
  EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"ONLY.bmp", "диск.trd"}));
}

TEST_F(EndToEnd, AnImageHeldOpenWithoutSharingGivesIoError32AndTheWindowGoesOn) {
  Disk disk;
  disk.AddScreen("LOCKED", 31);
  const std::string image = ImageIn(Folder("locked"), disk);
  RunningProgram program;

  const HANDLE holder =
      CreateFileW(Wide(image).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  OpenThroughDialog(program, Wide(image));
  const HWND box = program.WaitForTopLevel(L"#32770", L"orlaspin");
  ASSERT_NE(box, nullptr) << "no error box";
  const DialogContents error = ReadDialog(box);
  EXPECT_EQ(error.texts, std::vector<std::wstring>{L"I/O error 32."});
  EXPECT_EQ(error.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_TRUE(error.hasIcon);
  EXPECT_EQ(GetWindow(box, GW_OWNER), GetWindow(program.MainWindow(), GW_OWNER))
      << "not owned by the application";
  EXPECT_FALSE(IsWindowEnabled(program.MainWindow())) << "the box is not modal to the main window";
  SaveScreenshot(CaptureScreen(WindowRect(box)), L"error-32");
  CloseBox(program, box, VK_RETURN);
  CloseHandle(holder);

  // Nothing changed, the focus is back in the grid, and the same action works once the file is
  // free.
  EXPECT_TRUE(IsWindowEnabled(program.MainWindow()));
  GUITHREADINFO focus{};
  focus.cbSize = sizeof focus;
  ASSERT_TRUE(GetGUIThreadInfo(program.ThreadId(), &focus));
  EXPECT_EQ(focus.hwndFocus, program.Grid());
  EXPECT_EQ(RowCount(program), 128);
  OpenThroughDialog(program, Wide(image));
  EXPECT_EQ(TextOf(program.Grid()), disk.GridText());
}

TEST_F(EndToEnd, AnErrorInTheMiddleOfABatchShowsTheErrorBoxAndNoCompletion) {
  Disk disk;
  disk.AddScreen("FIRST", 41);
  disk.AddScreen("SECOND", 42);
  disk.AddScreen("THIRD", 43);
  const std::string folder = Folder("blocked");
  const std::string image = ImageIn(folder, disk);
  fs::create_directory(testing::PathFromUtf8(folder) / "SECOND.bmp");

  RunningProgram program;
  OpenThroughDialog(program, Wide(image));
  const HWND box = RunBatch(program);
  ASSERT_NE(box, nullptr);
  const DialogContents error = ReadDialog(box);
  ASSERT_EQ(error.texts.size(), 1u);
  EXPECT_EQ(error.texts[0].rfind(L"Cannot create file \"", 0), 0u) << Narrow(error.texts[0]);
  EXPECT_NE(error.texts[0].find(L"SECOND.bmp\""), std::wstring::npos) << Narrow(error.texts[0]);
  EXPECT_TRUE(error.hasIcon);
  CloseBox(program, box, VK_RETURN);
  EXPECT_EQ(program.FindTopLevel(L"#32770"), nullptr) << "a completion box followed the error";
  EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"FIRST.bmp", "SECOND.bmp", "диск.trd"}));
  EXPECT_EQ(PreviewDifference(CaptureClient(program), disk.screens.at(1)), "");
}

TEST_F(EndToEnd, TheTitleComesFromTheProgramFileName) {
  const std::string folder = Folder("renamed");
  const std::wstring copy = Wide(folder) + L"\\SCREENS.V2.EXE";
  ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), copy.c_str(), TRUE));
  RunningProgram program(copy, Wide(folder));
  EXPECT_EQ(TextOf(GetWindow(program.MainWindow(), GW_OWNER)), L"Screens");

  // With no image opened the batch finds nothing and says so.
  const HWND box = RunBatch(program, L"Screens");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ReadDialog(box).texts, std::vector<std::wstring>{kCompletion + L"0"});
  // The close box closes it too.
  PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }))
      << "the close box did not close the notice";
  EXPECT_EQ(InkInPreviewArea(CaptureClient(program)).allInLabel1, true)
      << "a preview appeared without a screen";
  EXPECT_EQ(program.Close(), 0u);
}

TEST_F(EndToEnd, HonoursTheRequestsToStartMaximisedOrMinimised) {
  {
    RunningProgram maximised(ProgramPath(), L"", SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(maximised.MainWindow()));
  }
  RunningProgram program(ProgramPath(), L"", SW_SHOWMINNOACTIVE);
  const HWND application = program.ApplicationWindow();
  EXPECT_TRUE(IsIconic(application));
  EXPECT_FALSE(IsWindowVisible(program.MainWindow()));

  // Restoring the application shows the window; minimising it hides the window again.
  PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.MainWindow()); }))
      << "restore showed nothing";
  EXPECT_FALSE(IsIconic(application));
  PostMessageW(application, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] {
    return !IsWindowVisible(program.MainWindow()) && IsIconic(application);
  })) << "minimising the application kept the window";
  PostMessageW(application, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(program.MainWindow()); }));
  EXPECT_EQ(program.Close(), 0u);
}

TEST_F(EndToEnd, TheGridMovesItsCurrentCellAndSelectsBlocks) {
  RunningProgram program;
  const HWND grid = program.Grid();
  auto current = [&] { return CellOf(SendMessageW(grid, kGridGetCurrentCell, 0, 0)); };
  auto anchor = [&] { return CellOf(SendMessageW(grid, kGridGetAnchorCell, 0, 0)); };
  auto topRow = [&] { return static_cast<int>(SendMessageW(grid, kGridGetTopRow, 0, 0)); };

  PressKey(grid, VK_DOWN);
  PressKey(grid, VK_RIGHT);
  program.Settle();
  EXPECT_EQ(current(), std::make_pair(1, 1));
  EXPECT_EQ(anchor(), current());

  // A page is the rows wholly visible; the grid scrolls to keep the current row in view.
  RECT client;
  GetClientRect(grid, &client);
  const int page = (client.bottom + 1) / kRowPitch;
  PressKey(grid, VK_NEXT);
  PressKey(grid, VK_NEXT);
  program.Settle();
  EXPECT_EQ(current(), std::make_pair(1, 1 + 2 * page));
  EXPECT_EQ(topRow(), 1 + 2 * page - page + 1);
  PressKey(grid, VK_END);
  PressKey(grid, VK_PRIOR);
  program.Settle();
  EXPECT_EQ(current(), std::make_pair(4, 1 + page));

  // Dragging selects a block: the anchor stays where the button went down.
  const int top = topRow();
  auto at = [&](int column, int row) {
    return MAKELPARAM(column * kColumnPitch + 10, (row - top) * kRowPitch + 5);
  };
  PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at(1, top + 2));
  PostMessageW(grid, WM_MOUSEMOVE, MK_LBUTTON, at(3, top + 4));
  PostMessageW(grid, WM_LBUTTONUP, 0, at(3, top + 4));
  program.Settle();
  EXPECT_EQ(anchor(), std::make_pair(1, top + 2));
  EXPECT_EQ(current(), std::make_pair(3, top + 4));
  SaveScreenshot(CaptureClient(program), L"grid-selection");

  // Dragging the scroll box moves the rows only when it is released.
  PostMessageW(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 60), 0);
  program.Settle();
  EXPECT_EQ(topRow(), top);
  PostMessageW(grid, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 60), 0);
  program.Settle();
  EXPECT_EQ(topRow(), 60);
}

TEST_F(EndToEnd, At120PixelsPerInchTheWindowAndTheCompletionBoxShowTheirWholeTexts) {
  const auto program = [] {
    const DisplayResolution resolution(120);  // read by the program as it starts
    return std::make_unique<RunningProgram>();
  }();
  const Layout layout = LayoutAt(120);
  RECT client;
  GetClientRect(program->MainWindow(), &client);
  EXPECT_EQ(client.right, layout.Scale(kClientWidth));
  EXPECT_EQ(client.bottom, layout.Scale(kClientHeight));
  EXPECT_EQ(WindowTextsDifference(*program, 120), "");
  SaveScreenshot(CaptureClient(*program), L"start-120");

  // With no image the batch reports 0, in the message font of that resolution.
  program->ClickCentreOf(layout.Scale(kSpeedButton1));
  const HWND box = program->WaitForTopLevel(L"#32770", L"orlaspin", std::chrono::seconds(60));
  ASSERT_NE(box, nullptr) << "no completion box";
  LOGFONTW messageFont = MessageFontDescription();
  messageFont.lfHeight = -Rounded(-messageFont.lfHeight, 120, 96);
  EXPECT_EQ(NoticeTextDifference(box, kCompletion + L"0", messageFont), "");
  SaveScreenshot(CaptureScreen(WindowRect(box)), L"completion-120");
  CloseBox(*program, box, VK_RETURN);
}

// Not a pass/fail timing: the figure is printed for the record.
TEST_F(EndToEnd, ExportsANinetyScreenDiskAndReportsHowLongItTook) {
  Disk disk;
  for (int i = 0; i < 90; ++i) {
    disk.screens[i] = testing::ColourfulScreen(100 + i);
    EntrySpec entry = ScreenEntry("SCR" + std::to_string(10 + i), 0);
    const int sector = 16 + 27 * i;
    entry.firstTrack = static_cast<std::uint8_t>(sector / 16);
    entry.firstSector = static_cast<std::uint8_t>(sector % 16);
    disk.entries.push_back(entry);
  }
  const std::string folder = Folder("ninety");
  TrdBuilder builder;
  for (int i = 0; i < 90; ++i) builder.AddScreen(disk.entries[i].name, disk.screens[i]);
  const std::string image = testing::Utf8FromPath(testing::PathFromUtf8(folder) / "ninety.trd");
  builder.WriteTo(image);

  RunningProgram program;
  OpenThroughDialog(program, Wide(image));
  ASSERT_EQ(TextOf(program.Grid()), disk.GridText());
  const auto start = std::chrono::steady_clock::now();
  const HWND box = RunBatch(program);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ReadDialog(box).texts, std::vector<std::wstring>{kCompletion + L"90"});
  EXPECT_EQ(NoticeTextDifference(box, kCompletion + L"90", MessageFontDescription()), "");
  SaveScreenshot(CaptureScreen(WindowRect(box)), L"completion-90");
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
  std::printf("batch of 90 screens, click to completion box: %lld ms\n",
              static_cast<long long>(ms));
  RecordProperty("batch_90_ms", static_cast<int>(ms));
  CloseBox(program, box, VK_RETURN);
  EXPECT_EQ(NamesIn(folder).size(), 91u);
  EXPECT_EQ(PreviewDifference(CaptureClient(program), disk.screens.at(89)), "");
}

}  // namespace
}  // namespace orlaspin::gui_test
