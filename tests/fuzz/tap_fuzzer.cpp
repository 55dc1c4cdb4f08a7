// Any bytes read as a TAP tape.
#include <cstddef>
#include <cstdint>

#include "containers/tap_file.h"
#include "reader_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckReader(ReadTapFile, ImageKind::Tap, data, size, 0);
  return 0;
}
