// OpenDialog1: the system's open-file dialog for one TR-DOS image. It keeps its last accepted
// path, which the dialog starts from the next time, and leaves the current directory at the
// folder of the accepted file.
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace orlaspin::app {

class OpenDialog {
 public:
  static constexpr std::size_t kFileNameCapacity = 260;  // a path of at most 259 characters

  // Shows the dialog owned by owner and waits. True when the user accepted a file; Cancel, the
  // close box, a path too long for the buffer and a failure of the dialog all give false.
  bool Execute(HWND owner);
  // The full path of the last accepted file; empty before the first.
  std::wstring FileName() const { return fileName_.data(); }

 private:
  std::array<wchar_t, kFileNameCapacity> fileName_{};
};

}  // namespace orlaspin::app
