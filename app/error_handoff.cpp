#include "error_handoff.h"

#include <utility>

namespace orlaspin::app {

void ErrorHandoff::Hand(std::exception_ptr error) noexcept {
  if (!pending_) pending_ = std::move(error);
}

std::exception_ptr ErrorHandoff::Take() noexcept { return std::exchange(pending_, nullptr); }

}  // namespace orlaspin::app
