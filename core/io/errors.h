// The one error type of the program: a platform code and the text the user sees.
#pragma once

#include <exception>
#include <string>

namespace orlaspin {

class Error : public std::exception {
 public:
  Error(int code, std::string message) : code_(code), message_(std::move(message)) {}

  // The platform's error code (a Windows system error code, or its POSIX equivalent); 0 when none.
  int Code() const noexcept { return code_; }
  // The message exactly as the error box shows it, before the full-stop rule.
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int code_;
  std::string message_;
};

// Windows system error codes that the I/O error table names.
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;

// The I/O error of a failed operation on the disk image, its message chosen by the code:
// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied",
// anything else "I/O error <code>".
Error IoError(int code);

// An I/O error whose code has no entry of its own in the table: always "I/O error <code>".
Error UnlistedIoError(int code);

// The bitmap file could not be created: "Cannot create file "<fullPath>". <reason>", the reason
// trimmed to at most 256 characters without trailing spaces, control characters and full stops.
Error CreateFileError(const std::string& fullPath, const std::string& reason, int code);

// A folder for the output could not be created: "Cannot create folder "<fullPath>". <reason>",
// the reason trimmed as for a file.
Error CreateFolderError(const std::string& fullPath, const std::string& reason, int code);

// Something that is not a folder has the name of a folder to be made: "Cannot create folder
// "<fullPath>". Something that is not a folder has that name".
Error FolderNameTakenError(const std::string& fullPath);

// A write to a new file stored fewer bytes than asked, or its close failed.
Error StreamWriteError();

// A write to a new file that the system refused for a reason it names, such as a full disk.
class WriteError : public Error {
 public:
  using Error::Error;
};

// "Cannot write file "<fullPath>". <reason>", the reason trimmed as for a file's creation.
WriteError WriteFileError(const std::string& fullPath, const std::string& reason, int code);

// A path given as a file to read names a folder: "Is a folder".
Error IsAFolderError();

// A path given as a file to read names something that is neither a file nor a folder, such as a
// FIFO or a device: "Not a regular file".
Error NotARegularFileError();

// The error box's rule: a full stop is appended unless the text is empty or its last character
// is "." or below it in code (so "!", ")", ",", " " stay as they are).
std::string WithFullStop(const std::string& message);

}  // namespace orlaspin
