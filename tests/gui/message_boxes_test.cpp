// The error box and the simple message box as the user sees them: each shown by the shell's own
// function on a thread of its own, then read and closed from the test's thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "io/errors.h"
#include "gui_driver.h"
#include "message_boxes.h"
#include "screen_capture.h"

namespace orlaspin::gui_test {
namespace {

using app::BoxOwner;

constexpr wchar_t kTitle[] = L"Screens";

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
  // Presses OK and waits until the call has returned; a click that came before the box took
  // input is repeated. False when OK did not close the box.
  bool PressOk() {
    for (int tries = 0; tries < 10 && !returned_; ++tries) {
      if (IsWindow(box_)) PressButton(box_, IDOK);
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

DialogContents ErrorBoxFor(std::exception_ptr error) {
  BoxOnThread shown([error] { app::ShowErrorBox(BoxOwner{nullptr, kTitle}, error); });
  if (!shown.Box()) throw std::runtime_error("no error box");
  const DialogContents contents = ReadDialog(shown.Box());
  EXPECT_TRUE(shown.PressOk()) << "OK did not close the error box";
  return contents;
}

TEST(ErrorBox, ShowsTheMessageWithTheFullStopRuleUnderTheTitle) {
  const DialogContents denied = ErrorBoxFor(std::make_exception_ptr(IoError(kAccessDenied)));
  EXPECT_EQ(denied.caption, kTitle);
  EXPECT_EQ(denied.texts, std::vector<std::wstring>{L"File access denied."});
  EXPECT_EQ(denied.buttons, std::vector<std::wstring>{L"OK"});
  EXPECT_TRUE(denied.hasIcon);

  EXPECT_EQ(ErrorBoxFor(std::make_exception_ptr(Error(0, "Stopped."))).texts,
            std::vector<std::wstring>{L"Stopped."});
  EXPECT_EQ(ErrorBoxFor(std::make_exception_ptr(Error(0, "Why?"))).texts, std::vector<std::wstring>{L"Why?."});
  EXPECT_TRUE(ErrorBoxFor(std::make_exception_ptr(Error(0, ""))).texts.empty()) << "an empty message";
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
  CaptureScreen(frame).SaveBitmap(ScreenshotFolder() + L"\\long-notice.bmp");
  EXPECT_TRUE(shown.PressOk()) << "OK did not close the notice";
}

TEST(Notice, EnterAndEscBothCloseIt) {
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    std::atomic<bool> returned{false};
    BoxOnThread shown([&returned] {
      app::ShowNotice(BoxOwner{nullptr, kTitle}, L"Конвертирование завершено. Количество файлов: 7");
      returned = true;
    });
    ASSERT_NE(shown.Box(), nullptr);
    PressKey(GetDlgItem(shown.Box(), IDOK), key);
    EXPECT_TRUE(WaitUntil([&] { return returned.load(); })) << "key " << key << " did not close the notice";
  }
}

}  // namespace
}  // namespace orlaspin::gui_test
