#include "encoders/png_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

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

// The palette of the frames as their pixels are met in order: each new colour gets the next
// index, up to 16. A small hash table finds a colour's index without a search; most pixels
// repeat the one before and skip even that.
class SmallPalette {
 public:
  SmallPalette() = default;
  SmallPalette(const SmallPalette&) = delete;  // one palette for all frames, never a copy
  SmallPalette& operator=(const SmallPalette&) = delete;

  // The colour's index; once a 17th colour is met, Full() and the index means nothing.
  std::uint8_t operator()(Colour colour) {
    if (colour == lastColour_ && !colours_.empty()) return lastIndex_;
    std::size_t slot = static_cast<std::uint32_t>(colour * 0x9E3779B1u) >> (32 - kSlotBits);
    while (slots_[slot].used && slots_[slot].colour != colour) slot = (slot + 1) % slots_.size();
    if (!slots_[slot].used) {
      if (colours_.size() == kLargestPalette) {
        full_ = true;
        return 0;
      }
      slots_[slot] = {colour, static_cast<std::uint8_t>(colours_.size()), true};
      colours_.push_back(colour);
    }
    lastColour_ = colour;
    lastIndex_ = slots_[slot].index;
    return lastIndex_;
  }

  bool Full() const { return full_; }
  const std::vector<Colour>& Colours() const { return colours_; }

 private:
  static constexpr int kSlotBits = 6;  // four times the palette's entries: short probes
  struct Slot {
    Colour colour = 0;
    std::uint8_t index = 0;
    bool used = false;
  };

  std::array<Slot, std::size_t{1} << kSlotBits> slots_{};
  std::vector<Colour> colours_;
  Colour lastColour_ = 0;
  std::uint8_t lastIndex_ = 0;
  bool full_ = false;
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

// Two pixels to a byte, the left one high, each the index the palette gives its colour.
void PutPaletteScanlines(const Picture& frame, int scale, SmallPalette& index, Bytes& lines) {
  const std::size_t pixels = static_cast<std::size_t>(frame.width) * scale;
  // One index more, 0, for the right half of the last byte of an odd row.
  std::vector<std::uint8_t> indexes(pixels + 1);
  const std::size_t rowBytes = (pixels + 1) / 2;
  PutScanlines(
      frame, scale, rowBytes,
      [&](std::span<const Colour> row, std::uint8_t* out) {
        ScaleRow(row, scale, indexes.data(), [&](Colour colour) { return index(colour); });
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

// A chunk of type whose data is prefix then the deflated lines; packed is room for them, kept
// from frame to frame.
void PutDeflatedChunk(Bytes& png, std::string_view type, std::span<const std::uint8_t> prefix,
                      const Bytes& lines, Bytes& packed) {
  uLongf packedSize = compressBound(static_cast<uLong>(lines.size()));
  if (packed.size() < packedSize) packed.resize(packedSize);
  if (compress2(packed.data(), &packedSize, lines.data(), static_cast<uLong>(lines.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK) {
    throw std::bad_alloc();  // the only failure left once the buffer is large enough
  }
  PutU32BE(png, static_cast<std::uint32_t>(prefix.size() + packedSize));
  const std::size_t typeAt = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), prefix.begin(), prefix.end());
  png.insert(png.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
  const uLong crc = crc32(0, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt));
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
  // Each frame's scanlines. Not kept from file to file in thread_local buffers: MinGW's threads
  // crash on exit when such a buffer has a destructor to run, and the allocator reuses the memory
  // anyway.
  std::vector<Bytes> lines(frames.size());
  Bytes packed;
  SmallPalette palette;
  for (std::size_t i = 0; i < frames.size() && !palette.Full(); ++i) {
    PutPaletteScanlines(frames[i], scale, palette, lines[i]);
  }
  const bool withPalette = !palette.Full();
  if (!withPalette) {
    for (std::size_t i = 0; i < frames.size(); ++i) PutRgbScanlines(frames[i], scale, lines[i]);
  }
  const bool animated = frames.size() > 1;

  png.assign(kSignature.begin(), kSignature.end());
  PutChunk(png, "IHDR", HeaderChunk(frames.front(), scale, withPalette));
  if (animated) PutChunk(png, "acTL", AnimationControlChunk(frames.size()));
  if (withPalette) PutChunk(png, "PLTE", PaletteChunk(palette.Colours()));

  std::uint32_t sequence = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (animated) PutChunk(png, "fcTL", FrameControlChunk(sequence++, frames[i], scale, delays[i]));
    if (i == 0) {
      PutDeflatedChunk(png, "IDAT", {}, lines[i], packed);
    } else {
      Bytes number;
      PutU32BE(number, sequence++);
      PutDeflatedChunk(png, "fdAT", number, lines[i], packed);
    }
  }
  PutChunk(png, "IEND", {});
}

}  // namespace orlaspin
