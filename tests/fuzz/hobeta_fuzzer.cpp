// Any bytes as a Hobeta file: refused only when shorter than the header; otherwise its one file
// after the header, and a warning for a wrong checksum and for data shorter than the length.
// The header is recognised by content exactly when its checksum holds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "collection_model.h"
#include "containers/hobeta_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orlaspin;
  const std::span<const std::uint8_t> bytes(data, size);
  testing::CheckReader([&] { return ReadHobetaFile(bytes); }, bytes, testing::HobetaModel(bytes));
  testing::FuzzRequire(HasHobetaHeader(bytes) == testing::HobetaHeaderHolds(bytes),
                       "a header is recognised exactly when its checksum holds");
  return 0;
}
