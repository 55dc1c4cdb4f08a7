// Any bytes read as a PZX tape.
#include <cstddef>
#include <cstdint>

#include "containers/pzx_file.h"
#include "reader_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckReader(ReadPzxFile, ImageKind::Pzx, data, size, 0);
  return 0;
}
