#include "encoders/png_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
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

// The filtered scanlines of the frame enlarged scale times, into lines: each row a filter byte,
// then the rowBytes that packRow(row, out) writes of it. A row equal to the one above is stored
// with the Up filter as zeros, which deflate packs at once: every enlarged row but the first of
// its block is one.
template <typename PackRow>
void PutScanlines(const Picture& frame, int scale, std::size_t rowBytes, PackRow packRow,
                  Bytes& lines) {
  lines.resize((rowBytes + 1) * static_cast<std::size_t>(frame.height) * scale);
  std::uint8_t* out = lines.data();
  const std::size_t width = static_cast<std::size_t>(frame.width);
  for (int y = 0; y < frame.height; ++y) {
    const std::span<const Colour> row(frame.pixels.data() + y * width, width);
    const bool likeAbove = y > 0 && std::equal(row.begin(), row.end(), row.begin() - width);
    for (int copy = 0; copy < scale; ++copy, out += rowBytes) {
      if (likeAbove || copy > 0) {
        *out++ = kFilterUp;
        std::fill_n(out, rowBytes, 0);
      } else {
        *out++ = kFilterNone;
        packRow(row, out);
      }
    }
  }
}

// Two pixels to a byte, the left one high.
void PutPaletteScanlines(const Picture& frame, int scale, const std::vector<Colour>& palette,
                         Bytes& lines) {
  PaletteIndex index(palette);
  const std::size_t pixels = static_cast<std::size_t>(frame.width) * scale;
  // One index more, 0, for the right half of the last byte of an odd row.
  std::vector<std::uint8_t> indexes(pixels + 1);
  const std::size_t rowBytes = (pixels + 1) / 2;
  PutScanlines(
      frame, scale, rowBytes,
      [&](std::span<const Colour> row, std::uint8_t* out) {
        ScaleRow(row, scale, indexes.data(), index);
        for (std::size_t i = 0; i < rowBytes; ++i) {
          out[i] = static_cast<std::uint8_t>((indexes[2 * i] << 4) | indexes[2 * i + 1]);
        }
      },
      lines);
}

void PutRgbScanlines(const Picture& frame, int scale, Bytes& lines) {
  using Rgb = std::array<std::uint8_t, 3>;
  std::vector<Rgb> rgb(static_cast<std::size_t>(frame.width) * scale);
  PutScanlines(
      frame, scale, rgb.size() * sizeof(Rgb),
      [&](std::span<const Colour> row, std::uint8_t* out) {
        ScaleRow(row, scale, rgb.data(), [](Colour colour) {
          return Rgb{RedOf(colour), GreenOf(colour), BlueOf(colour)};
        });
        std::memcpy(out, rgb.data(), rgb.size() * sizeof(Rgb));
      },
      lines);
}

// A chunk of type whose data is prefix then the deflated lines, deflated straight into png.
void PutDeflatedChunk(Bytes& png, std::string_view type, std::span<const std::uint8_t> prefix,
                      const Bytes& lines) {
  const std::size_t lengthAt = png.size();
  const std::size_t packedAt = lengthAt + 4 + type.size() + prefix.size();
  uLongf packedSize = compressBound(static_cast<uLong>(lines.size()));
  png.resize(packedAt + packedSize);
  std::copy(type.begin(), type.end(), png.begin() + static_cast<std::ptrdiff_t>(lengthAt + 4));
  std::copy(prefix.begin(), prefix.end(),
            png.begin() + static_cast<std::ptrdiff_t>(lengthAt + 4 + type.size()));
  if (compress2(png.data() + packedAt, &packedSize, lines.data(), static_cast<uLong>(lines.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw std::bad_alloc();  // the only failure left once the buffer is large enough
  }
  png.resize(packedAt + packedSize);
  const std::size_t dataSize = prefix.size() + packedSize;
  for (int shift = 24, at = 0; shift >= 0; shift -= 8, ++at) {
    png[lengthAt + at] = static_cast<std::uint8_t>(dataSize >> shift);
  }
  const uLong crc = crc32(0, png.data() + lengthAt + 4, static_cast<uInt>(type.size() + dataSize));
  PutU32BE(png, static_cast<std::uint32_t>(crc));
}

Bytes HeaderChunk(const Picture& first, int scale, bool withPalette) {
  Bytes header;
  PutU32BE(header, static_cast<std::uint32_t>(first.width * scale));
  PutU32BE(header, static_cast<std::uint32_t>(first.height * scale));
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

Bytes FrameControlChunk(std::uint32_t sequence, const Picture& frame, int scale,
                        std::uint16_t frameMilliseconds) {
  Bytes control;
  PutU32BE(control, sequence);
  PutU32BE(control, static_cast<std::uint32_t>(frame.width * scale));
  PutU32BE(control, static_cast<std::uint32_t>(frame.height * scale));
  PutU32BE(control, 0);  // x offset
  PutU32BE(control, 0);  // y offset
  PutU16BE(control, frameMilliseconds);
  PutU16BE(control, 1000);                // the delay is in thousandths of a second
  control.insert(control.end(), {0, 0});  // dispose: none; blend: replace
  return control;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(std::span<const Picture> frames,
                                    std::uint16_t frameMilliseconds, int scale) {
  std::vector<std::uint8_t> png;
  EncodePng(frames, std::vector<std::uint16_t>(frames.size(), frameMilliseconds), scale, png);
  return png;
}

void EncodePng(std::span<const Picture> frames, std::span<const std::uint16_t> delays, int scale,
               std::vector<std::uint8_t>& png) {
  const std::optional<std::vector<Colour>> palette = SmallPalette(frames);
  const bool animated = frames.size() > 1;

  png.assign(kSignature.begin(), kSignature.end());
  PutChunk(png, "IHDR", HeaderChunk(frames.front(), scale, palette.has_value()));
  if (animated) PutChunk(png, "acTL", AnimationControlChunk(frames.size()));
  if (palette) PutChunk(png, "PLTE", PaletteChunk(*palette));

  // Kept for the next file, as the lines of a picture are as long as those of the one before.
  thread_local Bytes lines;
  std::uint32_t sequence = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (animated) PutChunk(png, "fcTL", FrameControlChunk(sequence++, frames[i], scale, delays[i]));
    if (palette) {
      PutPaletteScanlines(frames[i], scale, *palette, lines);
    } else {
      PutRgbScanlines(frames[i], scale, lines);
    }
    if (i == 0) {
      PutDeflatedChunk(png, "IDAT", {}, lines);
    } else {
      Bytes number;
      PutU32BE(number, sequence++);
      PutDeflatedChunk(png, "fdAT", number, lines);
    }
  }
  PutChunk(png, "IEND", {});
}

}  // namespace orlaspin
