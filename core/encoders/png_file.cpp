#include "encoders/png_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <new>
#include <optional>

namespace orlaspin {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kLargestPalette = 16;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kColourTypePalette = 3;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterUp = 2;

using Bytes = std::vector<std::uint8_t>;

void PutU16BE(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void PutU32BE(Bytes& out, std::uint32_t value) {
  PutU16BE(out, static_cast<std::uint16_t>(value >> 16));
  PutU16BE(out, static_cast<std::uint16_t>(value));
}

void PutChunk(Bytes& png, std::string_view type, std::span<const std::uint8_t> data) {
  PutU32BE(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), data.begin(), data.end());
  const uLong crc = crc32(0, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt));
  PutU32BE(png, static_cast<std::uint32_t>(crc));
}

// The colours of all frames in order of first appearance, when there are few enough for the
// 4-bit palette.
std::optional<std::vector<Colour>> SmallPalette(std::span<const Picture> frames) {
  std::vector<Colour> palette;
  for (const Picture& frame : frames) {
    Colour last = frame.pixels.empty() ? 0 : ~frame.pixels.front();
    for (const Colour colour : frame.pixels) {
      if (colour == last) continue;
      last = colour;
      if (std::find(palette.begin(), palette.end(), colour) != palette.end()) continue;
      if (palette.size() == kLargestPalette) return std::nullopt;
      palette.push_back(colour);
    }
  }
  return palette;
}

// Finds palette indices, remembering the last colour: neighbouring pixels mostly agree.
class PaletteIndex {
 public:
  explicit PaletteIndex(const std::vector<Colour>& palette)
      : palette_(palette), lastColour_(palette.empty() ? 0 : palette.front()) {}
  std::uint8_t operator()(Colour colour) {
    if (colour != lastColour_) {
      lastColour_ = colour;
      lastIndex_ = static_cast<std::uint8_t>(std::find(palette_.begin(), palette_.end(), colour) -
                                             palette_.begin());
    }
    return lastIndex_;
  }

 private:
  const std::vector<Colour>& palette_;
  Colour lastColour_;
  std::uint8_t lastIndex_ = 0;
};

// The filtered scanlines: each row a filter byte, then its bytes. A row equal to the one above
// is stored with the Up filter as zeros, which deflate packs at once: a scaled picture repeats
// every row.
template <typename PackRow>
Bytes Scanlines(const Picture& frame, std::size_t rowBytes, PackRow packRow) {
  Bytes lines;
  lines.reserve((rowBytes + 1) * frame.height);
  const std::size_t width = static_cast<std::size_t>(frame.width);
  for (int y = 0; y < frame.height; ++y) {
    const Colour* row = frame.pixels.data() + y * width;
    if (y > 0 && std::equal(row, row + width, row - width)) {
      lines.push_back(kFilterUp);
      lines.insert(lines.end(), rowBytes, 0);
    } else {
      lines.push_back(kFilterNone);
      packRow(row, lines);
    }
  }
  return lines;
}

// Two pixels to a byte, the left one high.
Bytes PaletteScanlines(const Picture& frame, const std::vector<Colour>& palette) {
  PaletteIndex index(palette);
  const int width = frame.width;
  return Scanlines(frame, (static_cast<std::size_t>(width) + 1) / 2,
                   [&](const Colour* row, Bytes& lines) {
                     for (int x = 0; x < width; x += 2) {
                       const std::uint8_t right = x + 1 < width ? index(row[x + 1]) : 0;
                       lines.push_back(static_cast<std::uint8_t>((index(row[x]) << 4) | right));
                     }
                   });
}

Bytes RgbScanlines(const Picture& frame) {
  const int width = frame.width;
  return Scanlines(frame, static_cast<std::size_t>(width) * 3,
                   [&](const Colour* row, Bytes& lines) {
                     for (int x = 0; x < width; ++x) {
                       lines.insert(lines.end(), {RedOf(row[x]), GreenOf(row[x]), BlueOf(row[x])});
                     }
                   });
}

Bytes Deflated(const Bytes& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(size);
  if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw std::bad_alloc();  // the only failure left once the buffer is large enough
  }
  packed.resize(size);
  return packed;
}

Bytes HeaderChunk(const Picture& first, bool withPalette) {
  Bytes header;
  PutU32BE(header, static_cast<std::uint32_t>(first.width));
  PutU32BE(header, static_cast<std::uint32_t>(first.height));
  header.push_back(withPalette ? 4 : 8);  // bit depth
  header.push_back(withPalette ? kColourTypePalette : kColourTypeRgb);
  header.insert(header.end(), {0, 0, 0});  // deflate, adaptive filters, no interlace
  return header;
}

Bytes PaletteChunk(const std::vector<Colour>& palette) {
  Bytes entries;
  for (const Colour colour : palette) {
    entries.insert(entries.end(), {RedOf(colour), GreenOf(colour), BlueOf(colour)});
  }
  return entries;
}

Bytes AnimationControlChunk(std::size_t frameCount) {
  Bytes control;
  PutU32BE(control, static_cast<std::uint32_t>(frameCount));
  PutU32BE(control, 0);  // plays: 0 loops for ever
  return control;
}

Bytes FrameControlChunk(std::uint32_t sequence, const Picture& frame,
                        std::uint16_t frameMilliseconds) {
  Bytes control;
  PutU32BE(control, sequence);
  PutU32BE(control, static_cast<std::uint32_t>(frame.width));
  PutU32BE(control, static_cast<std::uint32_t>(frame.height));
  PutU32BE(control, 0);  // x offset
  PutU32BE(control, 0);  // y offset
  PutU16BE(control, frameMilliseconds);
  PutU16BE(control, 1000);                // the delay is in thousandths of a second
  control.insert(control.end(), {0, 0});  // dispose: none; blend: replace
  return control;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(std::span<const Picture> frames,
                                    std::uint16_t frameMilliseconds) {
  return EncodePng(frames, std::vector<std::uint16_t>(frames.size(), frameMilliseconds));
}

std::vector<std::uint8_t> EncodePng(std::span<const Picture> frames,
                                    std::span<const std::uint16_t> delays) {
  const std::optional<std::vector<Colour>> palette = SmallPalette(frames);
  const bool animated = frames.size() > 1;

  Bytes png(kSignature.begin(), kSignature.end());
  PutChunk(png, "IHDR", HeaderChunk(frames.front(), palette.has_value()));
  if (animated) PutChunk(png, "acTL", AnimationControlChunk(frames.size()));
  if (palette) PutChunk(png, "PLTE", PaletteChunk(*palette));

  std::uint32_t sequence = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (animated) PutChunk(png, "fcTL", FrameControlChunk(sequence++, frames[i], delays[i]));
    const Bytes data =
        Deflated(palette ? PaletteScanlines(frames[i], *palette) : RgbScanlines(frames[i]));
    if (i == 0) {
      PutChunk(png, "IDAT", data);
    } else {
      Bytes frameData;
      PutU32BE(frameData, sequence++);
      frameData.insert(frameData.end(), data.begin(), data.end());
      PutChunk(png, "fdAT", frameData);
    }
  }
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace orlaspin
