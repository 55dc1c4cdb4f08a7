#include "containers/gzip_file.h"

#include "containers/inflate.h"
#include "containers/image_reader.h"

namespace orlaspin {

namespace {

// zlib's window bits for a gzip stream with its header and trailer checked.
constexpr int kGzipWindowBits = 16 + 15;

}  // namespace

bool HasGzipExtension(std::string_view name) { return ExtensionOf(name) == "gz"; }

bool HasGzipSignature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 18 && bytes[0] == 0x1F && bytes[1] == 0x8B && bytes[2] == 8;
}

std::string_view GzipInnerName(std::string_view name) {
  const std::string_view own = FileNamePart(name);
  return HasGzipExtension(own) ? own.substr(0, own.size() - 3) : FileStem(own);
}

GzipContent Gunzip(std::span<const std::uint8_t> bytes, std::uint64_t most) {
  GzipContent content;
  std::string problem;
  switch (Inflate(bytes, kGzipWindowBits, most, content.bytes)) {
    case InflateEnd::Complete: return content;
    case InflateEnd::TooLong:
      problem = "unpacks to more than " + std::to_string(most) + " bytes";
      break;
    case InflateEnd::CutShort: problem = "the gzip data is cut short"; break;
    case InflateEnd::Broken: problem = "damaged gzip data"; break;
  }
  return {{}, std::move(problem)};
}

}  // namespace orlaspin
