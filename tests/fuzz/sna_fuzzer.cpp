// Any bytes read as an SNA snapshot.
#include <cstddef>
#include <cstdint>

#include "containers/sna_snapshot.h"
#include "reader_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckReader(ReadSnaSnapshot, ImageKind::Sna, data, size, kScreenBytes);
  return 0;
}
