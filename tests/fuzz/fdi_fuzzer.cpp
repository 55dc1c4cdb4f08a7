// The FDI reader over any bytes (see disk_fuzz_check.h).
#include "containers/fdi_image.h"
#include "containers/trdos_sectors.h"
#include "disk_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckDiskReader(data, size, ReadFdiImage, ImageKind::Fdi,
                           kTrDosTrackLimit * kTrDosSectorsPerTrack * kTrDosSectorSize);
  return 0;
}
