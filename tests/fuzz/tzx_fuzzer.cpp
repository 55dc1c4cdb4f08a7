// Any bytes read as a TZX tape.
#include <cstddef>
#include <cstdint>

#include "containers/tzx_file.h"
#include "reader_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  // The unpacked bytes: the tape, a screen of zeros, then what its blocks unpacked.
  testing::CheckReader(ReadTzxFile, ImageKind::Tzx, data, size,
                       size + kScreenBytes + kTzxMadeBytesLimit);
  return 0;
}
