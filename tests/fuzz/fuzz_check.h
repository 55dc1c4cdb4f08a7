// How a fuzz target reports a broken promise: the reason on standard error, then abort, so that
// libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace orlaspin::testing {

inline void FuzzRequire(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", promise);
  std::abort();
}

}  // namespace orlaspin::testing
