// Any bytes read as a Z80 snapshot.
#include <cstddef>
#include <cstdint>

#include "containers/z80_snapshot.h"
#include "reader_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckReader(ReadZ80Snapshot, ImageKind::Z80, data, size, kScreenBytes);
  return 0;
}
