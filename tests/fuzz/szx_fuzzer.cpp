// Any bytes read as an SZX snapshot.
#include <cstddef>
#include <cstdint>

#include "containers/szx_snapshot.h"
#include "reader_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckReader(ReadSzxSnapshot, ImageKind::Szx, data, size, kScreenBytes);
  return 0;
}
