#include "io/errors.h"

#include <cstddef>

namespace orlaspin {

Error IoError(int code) {
  switch (code) {
    case kFileNotFound: return Error(code, "File not found");
    case kPathNotFound: return Error(code, "Invalid filename");
    case kTooManyOpenFiles: return Error(code, "Too many open files");
    case kAccessDenied: return Error(code, "File access denied");
    default: return UnlistedIoError(code);
  }
}

Error UnlistedIoError(int code) { return Error(code, "I/O error " + std::to_string(code)); }

namespace {

std::string TrimmedReason(std::string reason) {
  // The platform's text is cut to 256 characters first (UTF-8: continuation bytes are no
  // characters of their own), as the system's message buffer would cut it.
  std::size_t characters = 0;
  for (std::size_t i = 0; i < reason.size(); ++i) {
    if ((static_cast<unsigned char>(reason[i]) & 0xC0) == 0x80) continue;
    if (++characters > 256) {
      reason.resize(i);
      break;
    }
  }
  while (!reason.empty()) {
    const auto last = static_cast<unsigned char>(reason.back());
    if (last > ' ' && last != '.') break;
    reason.pop_back();
  }
  return reason;
}

}  // namespace

Error CreateFileError(const std::string& fullPath, const std::string& reason, int code) {
  return Error(code, "Cannot create file \"" + fullPath + "\". " + TrimmedReason(reason));
}

Error CreateFolderError(const std::string& fullPath, const std::string& reason, int code) {
  return Error(code, "Cannot create folder \"" + fullPath + "\". " + TrimmedReason(reason));
}

Error FolderNameTakenError(const std::string& fullPath) {
  return Error(
      0, "Cannot create folder \"" + fullPath + "\". Something that is not a folder has that name");
}

WriteError WriteFileError(const std::string& fullPath, const std::string& reason, int code) {
  return WriteError(code, "Cannot write file \"" + fullPath + "\". " + TrimmedReason(reason));
}

Error StreamWriteError() { return Error(0, "Stream write error"); }

Error IsAFolderError() { return Error(0, "Is a folder"); }

Error NotARegularFileError() { return Error(0, "Not a regular file"); }

std::string WithFullStop(const std::string& message) {
  if (message.empty() || static_cast<unsigned char>(message.back()) <= '.') return message;
  return message + ".";
}

}  // namespace orlaspin
