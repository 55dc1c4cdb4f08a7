// The UDI reader over any bytes (see disk_fuzz_check.h).
#include "containers/trdos_sectors.h"
#include "containers/udi_image.h"
#include "disk_fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  testing::CheckDiskReader(data, size, ReadUdiImage, ImageKind::Udi,
                           kTrDosTrackLimit * kTrDosSectorsPerTrack * kTrDosSectorSize);
  return 0;
}
