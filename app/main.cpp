// Program entry: the application, the main window, the message loop. No arguments are read.
#include <windows.h>

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
    return application.Run();
  } catch (...) {
    // Only a failure to set up the windows lands here; there is no window to own the box.
    orlaspin::app::ShowErrorBox({nullptr, orlaspin::app::TitleFromProgramPath(L"Orlaspin")},
                                std::current_exception());
    return 1;
  }
}
