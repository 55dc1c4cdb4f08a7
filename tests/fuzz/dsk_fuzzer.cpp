// The DSK reader over any bytes (see disk_fuzz_check.h).
#include "containers/dsk_image.h"
#include "containers/plus3dos_disk.h"
#include "disk_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckDiskReader(data, size, ReadDskImage, ImageKind::Dsk, kLargestPlus3Files);
  return 0;
}
