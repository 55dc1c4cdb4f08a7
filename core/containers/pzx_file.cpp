#include "containers/pzx_file.h"

#include <algorithm>
#include <string>

#include "containers/tape_files.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "PZXT";
constexpr std::string_view kDataTag = "DATA";
constexpr std::size_t kBlockHeaderSize = 8;
constexpr std::size_t kDataHeaderSize = 8;  // bit count, tail pulse, two sequence lengths
constexpr std::uint32_t kBitCountMask = 0x7FFFFFFF;
constexpr std::size_t kPulseSize = 2;

bool TaggedAs(std::span<const std::uint8_t> tag, std::string_view expected) {
  return std::equal(expected.begin(), expected.end(), tag.begin());
}

// Lists the loaded bytes of a DATA block whose body (cut short or not) lies at bodyAt. False
// when the block's header or bits run past its body.
bool AddData(std::span<const std::uint8_t> body, std::size_t bodyAt, int number,
             TapeFileLister& lister) {
  if (body.size() < kDataHeaderSize) return false;
  const std::uint32_t bits = U32At(body, 0) & kBitCountMask;
  const std::size_t dataAt = kDataHeaderSize + kPulseSize * (body[6] + body[7]);
  if (dataAt > body.size()) return false;
  const std::size_t size = (std::size_t{bits} + 7) / 8;
  const auto bytes = body.subspan(dataAt, std::min(size, body.size() - dataAt));
  lister.Add({number, bytes, bodyAt + dataAt, size, bits % 8 == 0, false});
  return bytes.size() == size;
}

}  // namespace

bool HasPzxSignature(std::span<const std::uint8_t> image) {
  return image.size() >= kSignature.size() && TaggedAs(image, kSignature);
}

Collection ReadPzxFile(std::span<const std::uint8_t> image, std::string_view stem) {
  if (!HasPzxSignature(image)) {
    throw ImageFormatError("not a PZX tape: it does not begin with \"PZXT\"");
  }
  Collection collection{ImageKind::Pzx, {}, {}, {}};
  TapeFileLister lister(stem, collection);
  std::size_t at = 0;
  for (int number = 1; at < image.size(); ++number) {
    if (image.size() - at < kBlockHeaderSize) {
      collection.warnings.push_back(TapeCutShort(number));
      break;
    }
    const auto tag = image.subspan(at, 4);
    const std::size_t size = U32At(image, at + 4);
    at += kBlockHeaderSize;
    const auto body = image.subspan(at, std::min(size, image.size() - at));
    const bool fits = !TaggedAs(tag, kDataTag) || AddData(body, at, number, lister);
    if (body.size() < size) {
      collection.warnings.push_back(TapeCutShort(number));
      break;
    }
    if (!fits) collection.warnings.push_back({Problem::DataPastBlockEnd, BlockName(number)});
    at += size;
  }
  lister.Finish();
  return collection;
}

}  // namespace orlaspin
