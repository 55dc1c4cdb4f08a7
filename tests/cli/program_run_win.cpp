#include <windows.h>

#include "io/win/wide_text.h"
#include "program_run.h"
#include "test_files.h"

namespace orlaspin::testing {

namespace {

// One argument as CommandLineToArgvW reads it back: quoted, with the backslashes before a quote
// doubled and the quote escaped.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// What the program printed, its lines ended by "\n": the C runtime writes text as "\r\n".
std::string Text(const std::string& path) {
  const auto bytes = ReadFileBytes(path);
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += static_cast<char>(bytes[i]);
  }
  return text;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  const TempFolder captured;
  const std::string out = captured.File("out"), err = captured.File("err");
  std::wstring commandLine = Quoted(Widen(program));
  for (const std::string& arg : args) commandLine += L" " + Quoted(Widen(arg));

  ProgramRun run;
  const HANDLE outFile = InheritableFile(out), errFile = InheritableFile(err);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outFile;
  startup.hStdError = errFile;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  if (outFile != INVALID_HANDLE_VALUE && errFile != INVALID_HANDLE_VALUE &&
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) run.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(outFile);
  CloseHandle(errFile);
  run.out = Text(out);
  run.err = Text(err);
  return run;
}

}  // namespace orlaspin::testing
