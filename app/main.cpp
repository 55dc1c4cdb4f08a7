// Program entry: the application, the main window, the message loop. An image named on the
// command line (a .trd opened from Explorer or dropped on the program) is opened as the loop
// starts.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "application.h"
#include "application_title.h"
#include "message_boxes.h"
#include "orlaspinU.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    orlaspin::app::Application application;
    orlaspin::app::TForm1 Form1(application);
    Form1.Create();
    application.ShowMainWindow(Form1.Handle());
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring named = argv && argc > 1 ? argv[1] : L"";
    LocalFree(argv);
    if (!named.empty()) Form1.OpenImageLater(named);
    return application.Run();
  } catch (...) {
    // Only a failure to set up the windows lands here; there is no window to own the box.
    orlaspin::app::ShowErrorBox({nullptr, orlaspin::app::TitleFromProgramPath(L"Orlaspin")},
                                std::current_exception());
    return 1;
  }
}
