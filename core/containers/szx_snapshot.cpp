#include "containers/szx_snapshot.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "containers/snapshot_screen.h"

namespace orlaspin {

namespace {

constexpr std::string_view kSignature = "ZXST";
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kMachineAt = 6;
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::string_view kSpecRegsChunk = "SPCR";
constexpr std::string_view kRamPageChunk = "RAMP";
constexpr std::string_view kTimexChunk = "SCLD";           // HSR, DEC (the screen mode)
constexpr std::string_view kUlaPlusPaletteChunk = "PLTT";  // flags, register, 64 colours
constexpr std::size_t kTimexModeAt = 1;
constexpr std::size_t kPaletteAt = 2;
constexpr std::uint8_t kPaletteEnabledFlag = 0x01;
constexpr std::size_t kRamPageHeaderSize = 3;  // flags, page number
constexpr std::uint16_t kCompressedFlag = 0x0001;
constexpr std::uint8_t kShadowScreenBit = 0x08;
constexpr std::uint8_t kScreenPage = 5;
constexpr std::uint8_t kShadowScreenPage = 7;

// The machines that page their memory through port 0x7FFD.
bool Is128KMachine(std::uint8_t machine) {
  switch (machine) {
    case 2:   // 128K
    case 3:   // +2
    case 4:   // +2A
    case 5:   // +3
    case 6:   // +3e
    case 7:   // Pentagon 128
    case 10:  // Scorpion
    case 11:  // SE
    case 13:  // Pentagon 512
    case 14:  // Pentagon 1024
    case 16:  // 128Ke
      return true;
    default: return false;
  }
}

bool NamedAs(std::span<const std::uint8_t> name, std::string_view expected) {
  return std::equal(expected.begin(), expected.end(), name.begin());
}

struct RamPage {
  std::span<const std::uint8_t> body;
  std::size_t offset;  // of the body in the image
};

// The chunks the screen needs; the others are skipped.
struct Chunks {
  std::optional<std::span<const std::uint8_t>> specRegs;
  std::optional<RamPage> screenPage;
  std::optional<RamPage> shadowScreenPage;
  SnapshotDisplay display;
};

// The display the SCLD and PLTT chunks record; a chunk too short for its fields is ignored.
void ReadDisplayChunk(std::span<const std::uint8_t> name, std::span<const std::uint8_t> body,
                      SnapshotDisplay& display) {
  if (NamedAs(name, kTimexChunk) && body.size() > kTimexModeAt) {
    display.timexMode = body[kTimexModeAt];
  }
  if (NamedAs(name, kUlaPlusPaletteChunk) && body.size() >= kPaletteAt + 64 &&
      (body[0] & kPaletteEnabledFlag)) {
    std::array<std::uint8_t, 64> palette;
    std::copy_n(body.begin() + kPaletteAt, palette.size(), palette.begin());
    display.ulaPlusPalette = palette;
  }
}

Chunks FindChunks(std::span<const std::uint8_t> image, std::vector<Warning>& warnings) {
  Chunks chunks;
  std::size_t at = kHeaderSize;
  for (int number = 1; at < image.size(); ++number) {
    if (image.size() - at < kChunkHeaderSize) {
      warnings.push_back(
          {Problem::SnapshotCutShort, "the header of chunk " + std::to_string(number)});
      break;
    }
    const auto name = image.subspan(at, 4);
    const std::size_t size = U32At(image, at + 4);
    at += kChunkHeaderSize;
    const auto body = image.subspan(at, std::min(size, image.size() - at));
    if (NamedAs(name, kSpecRegsChunk) && body.size() >= 2 && !chunks.specRegs) {
      chunks.specRegs = body;
    }
    if (NamedAs(name, kRamPageChunk) && body.size() >= kRamPageHeaderSize) {
      const std::uint8_t page = body[2];
      if (page == kScreenPage && !chunks.screenPage) chunks.screenPage = RamPage{body, at};
      if (page == kShadowScreenPage && !chunks.shadowScreenPage) {
        chunks.shadowScreenPage = RamPage{body, at};
      }
    }
    ReadDisplayChunk(name, body, chunks.display);
    if (body.size() < size) {
      warnings.push_back({Problem::SnapshotCutShort, "chunk " + std::to_string(number)});
      break;
    }
    at += size;
  }
  return chunks;
}

struct Inflated {
  std::vector<std::uint8_t> bytes;
  bool complete = false;  // the stream ended, at exactly one page
};

// At most one page and one byte more, so that a longer stream shows.
Inflated InflatePage(std::span<const std::uint8_t> packed) {
  std::vector<std::uint8_t> page(kMemoryPageSize + 1);
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  stream.next_in = const_cast<Bytef*>(packed.data());
  stream.avail_in = static_cast<uInt>(std::min<std::size_t>(packed.size(), UINT_MAX));
  stream.next_out = page.data();
  stream.avail_out = static_cast<uInt>(page.size());
  const int status = inflate(&stream, Z_FINISH);
  page.resize(stream.total_out);
  inflateEnd(&stream);
  const bool complete = status == Z_STREAM_END && page.size() == kMemoryPageSize;
  return {std::move(page), complete};
}

// A RAM page's bytes, inflated when compressed.
std::vector<std::uint8_t> PageBytes(const RamPage& page) {
  const auto data = page.body.subspan(kRamPageHeaderSize);
  if (U16At(page.body, 0) & kCompressedFlag) return InflatePage(data).bytes;
  return {data.begin(), data.end()};
}

}  // namespace

bool HasSzxSignature(std::span<const std::uint8_t> image) {
  return image.size() >= kSignature.size() &&
         std::equal(kSignature.begin(), kSignature.end(), image.begin());
}

Collection ReadSzxSnapshot(std::span<const std::uint8_t> image, std::string_view stem) {
  if (!HasSzxSignature(image)) {
    throw ImageFormatError("not an SZX snapshot: it does not begin with \"ZXST\"");
  }
  if (image.size() < kHeaderSize) {
    throw ImageFormatError("not a complete SZX snapshot: its 8-byte header is cut short");
  }
  Collection collection{ImageKind::Szx, {}, {}, {}};
  const Chunks chunks = FindChunks(image, collection.warnings);
  const bool paged = Is128KMachine(image[kMachineAt]);
  const bool shadow = paged && chunks.specRegs && ((*chunks.specRegs)[1] & kShadowScreenBit);
  if (paged && !shadow && chunks.shadowScreenPage) {
    KeepBank7Screen(collection, stem, PageBytes(*chunks.shadowScreenPage),
                    chunks.shadowScreenPage->offset + kRamPageHeaderSize);
  }
  const std::uint8_t screenPage = shadow ? kShadowScreenPage : kScreenPage;
  const std::optional<RamPage>& page = shadow ? chunks.shadowScreenPage : chunks.screenPage;
  if (!page) {
    collection.warnings.push_back({Problem::SzxScreenPageMissing, {}, Details(screenPage)});
    return collection;
  }
  std::optional<std::uint8_t> border;
  if (chunks.specRegs) border = (*chunks.specRegs)[0] & 7;
  const auto data = page->body.subspan(kRamPageHeaderSize);
  if (!(U16At(page->body, 0) & kCompressedFlag)) {
    ListStoredScreen(collection, stem, data, page->offset + kRamPageHeaderSize, border,
                     chunks.display);
    return collection;
  }
  Inflated memory = InflatePage(data);
  if (!memory.complete) {
    collection.warnings.push_back({Problem::SzxScreenPageShort, {}, Details(screenPage)});
  }
  ListUnpackedScreen(collection, stem, std::move(memory.bytes), border, chunks.display);
  return collection;
}

}  // namespace orlaspin
