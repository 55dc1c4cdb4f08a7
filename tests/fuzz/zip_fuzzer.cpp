// Any bytes as a ZIP archive: the reader refuses them only when they hold no ZIP record; every
// member it reads back lies within the archive, is no longer than its size or the limit, and has
// the CRC-32 its directory gives. A walk over the archive ends, and every image it yields has
// output folders that are plain names above its own.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "containers/collection.h"
#include "containers/zip_archive.h"
#include "export/image_sources.h"
#include "fake_file_system.h"
#include "fuzz_check.h"
#include "zip_builder.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

// Small enough to keep each run quick, large enough for any screen or disk.
constexpr std::uint64_t kLimit = 1 << 20;

bool Contains(std::span<const std::uint8_t> bytes, std::string_view pattern) {
  return std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) != bytes.end();
}

void CheckMember(std::span<const std::uint8_t> archive, const ZipMember& member) {
  const ZipMemberData data = ExtractZipMember(archive, member, kLimit);
  if (data.problem) {
    FuzzRequire(data.bytes.empty(), "a refused member gives no bytes");
    return;
  }
  FuzzRequire(!member.IsEncrypted(), "an encrypted member is never read");
  FuzzRequire(member.size <= kLimit && data.bytes.size() <= member.size,
              "a member is no longer than its size, which is within the limit");
  FuzzRequire(Crc32Of(data.bytes) == member.crc, "a member read has its CRC-32");
  FuzzRequire(member.localHeaderAt + 30 <= archive.size(), "its local header is in the archive");
  if (member.method == 0) {
    const std::size_t header = member.localHeaderAt;
    const std::size_t dataAt =
        header + 30 + U16At(archive, header + 26) + U16At(archive, header + 28);
    FuzzRequire(dataAt + data.bytes.size() <= archive.size() &&
                    std::equal(data.bytes.begin(), data.bytes.end(), archive.begin() + dataAt),
                "a stored member is the bytes after its local header");
  }
}

void CheckWalk(std::span<const std::uint8_t> archive) {
  FakeFileSystem files;
  files.files["/in/a.zip"] = std::vector<std::uint8_t>(archive.begin(), archive.end());
  ImageSources sources(files, {"/in/a.zip"}, true);
  while (const auto item = sources.Next()) {
    const auto* image = std::get_if<SourceImage>(&*item);
    if (image == nullptr) continue;
    FuzzRequire(image->path.starts_with("/in/a.zip/"), "an image lies in the archive");
    FuzzRequire(image->bytes.size() <= kLargestZipMember, "an image is within the member limit");
    FuzzRequire(!image->folders.empty(), "an image has a folder of its own");
    for (const std::string& part : image->folders) {
      FuzzRequire(part.find_first_of("/\\") == std::string::npos, "a folder is one name");
    }
    for (std::size_t i = 0; i + 1 < image->folders.size(); ++i) {
      const std::string& part = image->folders[i];
      FuzzRequire(!part.empty() && part != "." && part != "..",
                  "a folder above the image's own is a plain name");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> archive(data, size);
  ZipListing listing;
  try {
    listing = ListZipMembers(archive);
  } catch (const ImageFormatError&) {
    FuzzRequire(!Contains(archive, "PK\x03\x04"), "bytes with a local header are an archive");
    return 0;
  }
  for (const ZipMember& member : listing.members) {
    FuzzRequire(!member.name.ends_with('/'), "folders are left out");
    CheckMember(archive, member);
  }
  CheckWalk(archive);
  return 0;
}
