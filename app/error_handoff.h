// Errors caught at a window procedure's boundary wait here until the message loop shows them,
// so that no C++ exception unwinds through the system's frames.
#pragma once

#include <exception>

namespace orlaspin::app {

class ErrorHandoff {
 public:
  // Keeps the first error until it is taken; a later one raised by the same dispatch is a
  // consequence of the first and is dropped.
  void Hand(std::exception_ptr error) noexcept;
  // The waiting error, or null; the handoff is empty afterwards.
  std::exception_ptr Take() noexcept;

 private:
  std::exception_ptr pending_;
};

}  // namespace orlaspin::app
