// Any bytes as an SCL archive: refused only without the signature or with headers cut off;
// otherwise every header listed in order, each file at the sum of the sectors before it, and a
// warning exactly when the archive is cut short or its checksum is wrong.
#include <cstddef>
#include <cstdint>
#include <span>

#include "collection_model.h"
#include "containers/scl_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  const std::span<const std::uint8_t> bytes(data, size);
  testing::CheckReader([&] { return ReadSclArchive(bytes); }, bytes, testing::SclModel(bytes));
  return 0;
}
