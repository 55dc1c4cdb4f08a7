// The error box and the simple message box as the user sees them: each shown by the shell's own
// function on a thread of its own, then read, captured from the screen and closed from the test's
// thread. The same checks run again at 120 pixels per inch.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "io/errors.h"
#include "io/win/wide_text.h"
#include "gui_driver.h"
#include "message_boxes.h"
#include "screen_capture.h"
#include "text_ink.h"

namespace orlaspin::gui_test {
namespace {

using app::BoxOwner;

constexpr wchar_t kTitle[] = L"Screens";
const std::wstring kCompletion = L"Конвертирование завершено. Количество файлов: ";

constexpr wchar_t kResolutionVariable[] = L"ORLASPIN_PIXELS_PER_INCH";

// A run at another resolution names its screenshots after it.
void SaveScreenshot(const RECT& area, const std::wstring& name) {
  const std::wstring resolution = Environment(kResolutionVariable);
  CaptureScreen(area).SaveBitmap(ScreenshotFolder() + L"\\" + name +
                                 (resolution.empty() ? L"" : L"-" + resolution) + L".bmp");
}

HWND TextControlOf(HWND box) {
  for (const HWND child : ChildrenOf(box)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    if (ClassOf(child) == L"Static" && (style & SS_TYPEMASK) != SS_ICON && !TextOf(child).empty()) {
      return child;
    }
  }
  return nullptr;
}

// The system's box draws its text with DrawText, wrapped to the width of its text control.
std::string ErrorBoxInkDifference(HWND box, const std::wstring& text) {
  const HWND label = TextControlOf(box);
  if (!label) return "no text control";
  RECT size;
  GetClientRect(label, &size);
  const TestFont font(MessageFontDescription());
  return ShownTextDifference(
      box, label,
      DrawWithDrawText(text, font.Handle(), DT_LEFT | DT_WORDBREAK | DT_NOPREFIX,
                       {size.right, size.bottom}));
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && ClassOf(window) == L"#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// show() runs on a thread of its own; the box it opens is found among that thread's windows.
class BoxOnThread {
 public:
  explicit BoxOnThread(std::function<void()> show)
      : thread_([this, show = std::move(show)] {
          threadId_ = GetCurrentThreadId();
          show();
          returned_ = true;
        }) {
    // The first box of a new Wine prefix can take long to come up on a loaded machine.
    WaitUntil(
        [this] {
          box_ = BoxOfThread();
          return box_ != nullptr;
        },
        std::chrono::seconds(30));
  }
  ~BoxOnThread() {
    // Whatever a failed check left open is closed, so that the thread always ends.
    while (!returned_) {
      if (const HWND box = ShownBox()) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    thread_.join();
  }
  HWND Box() const { return box_; }
  // Closes the box as its OK button's command does, without waiting for the call to return:
  // with no window manager on the display Wine holds a closing window for two seconds.
  void Dismiss() const { PostMessageW(box_, WM_COMMAND, IDOK, 0); }
  // Presses OK and waits until the call has returned; a click that came before the box took
  // input is repeated. False when OK did not close the box.
  bool PressOk() {
    for (int tries = 0; tries < 10 && !returned_; ++tries) {
      // The box may be going already: a button gone is no error.
      if (const HWND ok = GetDlgItem(box_, IDOK)) PostMessageW(ok, BM_CLICK, 0, 0);
      WaitUntil([this] { return returned_.load(); }, std::chrono::seconds(1));
    }
    return returned_;
  }

 private:
  // The box once it is filled in: Wine shows a message box before its caption and buttons are
  // set, and on a new prefix that can take seconds.
  HWND BoxOfThread() const {
    const HWND found = ShownBox();
    if (!found || TextOf(found).empty()) return nullptr;
    const HWND ok = GetDlgItem(found, IDOK);
    return ok && !TextOf(ok).empty() ? found : nullptr;
  }
  HWND ShownBox() const {
    HWND found = nullptr;
    if (threadId_ != 0) EnumThreadWindows(threadId_, &FindBox, reinterpret_cast<LPARAM>(&found));
    return found;
  }

  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> returned_{false};
  HWND box_ = nullptr;
  std::thread thread_;
};

// Shows the error, checks that the box shows its whole text, and reads the box.
DialogContents ErrorBoxFor(std::exception_ptr error, const wchar_t* screenshot = nullptr) {
  BoxOnThread shown([error] { app::ShowErrorBox(BoxOwner{nullptr, kTitle}, error); });
  if (!shown.Box()) throw std::runtime_error("no error box");
  const DialogContents contents = ReadDialog(shown.Box());
  for (const std::wstring& text : contents.texts) {
    EXPECT_EQ(ErrorBoxInkDifference(shown.Box(), text), "") << Narrow(text);
  }
  if (screenshot) SaveScreenshot(WindowRect(shown.Box()), screenshot);
  EXPECT_TRUE(shown.PressOk()) << "OK did not close the error box";
  return contents;
}

TEST(ErrorBox, ShowsTheMessageWithTheFullStopRuleUnderTheTitle) {
  const DialogContents denied =
      ErrorBoxFor(std::make_exception_ptr(IoError(kAccessDenied)), L"error-box");
  EXPECT_EQ(denied.caption, kTitle);
  EXPECT_EQ(denied.texts, std::vector<std::wstring>{L"File access denied."});
  EXPECT_EQ(denied.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_TRUE(denied.hasIcon);

  EXPECT_EQ(ErrorBoxFor(std::make_exception_ptr(Error(0, "Stopped."))).texts,
            std::vector<std::wstring>{L"Stopped."});
  EXPECT_EQ(ErrorBoxFor(std::make_exception_ptr(Error(0, "Why?"))).texts,
            std::vector<std::wstring>{L"Why?."});
  EXPECT_TRUE(ErrorBoxFor(std::make_exception_ptr(Error(0, ""))).texts.empty())
      << "an empty message";

  // A message long enough to wrap is shown whole on every line.
  std::string path = "C:";
  for (int i = 0; i < 14; ++i) path += "\\Folder of screens " + std::to_string(i);
  const std::string message = "Cannot create file \"" + path + "\\SCREEN.bmp\"";
  EXPECT_EQ(ErrorBoxFor(std::make_exception_ptr(Error(0, message)), L"error-box-long").texts,
            std::vector<std::wstring>{Widen(message)})
      << "a closing quote takes no full stop";
}

TEST(Notice, WrapsALongTextAtHalfTheScreenWidthAndShowsItUnchanged) {
  std::wstring text;
  for (int i = 0; i < 60; ++i) text += L"заставка ";
  text += L"конец";
  BoxOnThread shown([&text] { app::ShowNotice(BoxOwner{nullptr, kTitle}, text); });
  ASSERT_NE(shown.Box(), nullptr);
  const DialogContents notice = ReadDialog(shown.Box());
  EXPECT_EQ(notice.caption, kTitle);
  EXPECT_EQ(notice.texts, std::vector<std::wstring>{text}) << "the text was changed";
  EXPECT_EQ(notice.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_FALSE(notice.hasIcon);

  const HWND label = ChildOfClass(shown.Box(), L"Static");
  RECT area;
  GetClientRect(label, &area);
  EXPECT_LE(area.right, GetSystemMetrics(SM_CXSCREEN) / 2 + 8) << "wider than half the screen";
  EXPECT_GT(area.bottom, 3 * 13) << "a long text on one line";
  const RECT frame = WindowRect(shown.Box());
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
  EXPECT_EQ(NoticeTextDifference(shown.Box(), text, MessageFontDescription()), "");
  SaveScreenshot(frame, L"long-notice");
  EXPECT_TRUE(shown.PressOk()) << "OK did not close the notice";
}

TEST(Notice, ShowsTheCompletionTextWholeForEveryCount) {
  std::vector<std::unique_ptr<BoxOnThread>> closing;  // each ends in its own time
  for (int count = 0; count <= 128; ++count) {
    const std::wstring text = kCompletion + std::to_wstring(count);
    auto shown = std::make_unique<BoxOnThread>([text] {
      app::ShowNotice(BoxOwner{nullptr, kTitle}, text);
    });
    ASSERT_NE(shown->Box(), nullptr) << "count " << count;
    EXPECT_EQ(NoticeTextDifference(shown->Box(), text, MessageFontDescription()), "")
        << "count " << count;
    if (count == 1 || count == 90) {
      SaveScreenshot(WindowRect(shown->Box()), L"notice-" + std::to_wstring(count));
    }
    shown->Dismiss();
    closing.push_back(std::move(shown));
  }
}

TEST(Notice, EnterAndEscBothCloseIt) {
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    std::atomic<bool> returned{false};
    BoxOnThread shown([&returned] {
      app::ShowNotice(BoxOwner{nullptr, kTitle}, kCompletion + L"7");
      returned = true;
    });
    ASSERT_NE(shown.Box(), nullptr);
    PressKey(GetDlgItem(shown.Box(), IDOK), key);
    EXPECT_TRUE(WaitUntil([&] { return returned.load(); }))
        << "key " << key << " did not close the notice";
  }
}

// In a run started for another resolution, the display has that resolution.
TEST(Resolution, IsTheOneThisRunWasStartedFor) {
  const std::wstring wanted = Environment(kResolutionVariable);
  if (wanted.empty()) GTEST_SKIP() << "a run at the display's own resolution";
  const HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), std::stoi(wanted));
  ReleaseDC(nullptr, screen);
}

// This test program again, with the boxes' tests only, at another resolution; its exit code.
DWORD RunBoxTestsAt(DWORD pixelsPerInch) {
  const DisplayResolution resolution(pixelsPerInch);
  SetEnvironmentVariableW(kResolutionVariable, std::to_wstring(pixelsPerInch).c_str());
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring commandLine = std::wstring(L"\"") + self +
                             L"\" --gtest_brief=1 --gtest_filter=Resolution.*:ErrorBox.*:Notice.*";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process);
  SetEnvironmentVariableW(kResolutionVariable, nullptr);
  if (!started) throw std::runtime_error("cannot run the tests again");
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 420000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(AtAnotherResolution, TheBoxesShowTheirWholeTextsAt120PixelsPerInch) {
  if (!Environment(kResolutionVariable).empty()) GTEST_SKIP() << "already the run at 120";
  EXPECT_EQ(RunBoxTestsAt(120), 0u) << "the boxes' tests failed at 120 pixels per inch (above)";
}

}  // namespace
}  // namespace orlaspin::gui_test
