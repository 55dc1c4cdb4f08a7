#include "packers.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace orlaspin::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Bits MSb first into bit bytes placed where their first bit is written, among whole bytes.
struct BitWriter {
  Bytes out;
  std::size_t bitByte = 0;
  std::uint8_t mask = 0;

  void Byte(std::size_t value) { out.push_back(static_cast<std::uint8_t>(value)); }
  void Bits(std::size_t value, int count) {
    while (count-- > 0) {
      if (mask == 0) bitByte = out.size(), out.push_back(0), mask = 0x80;
      if ((value >> count) & 1) out[bitByte] |= mask;
      mask >>= 1;
    }
  }
};

struct Copy {
  std::size_t offset = 0, length = 0;  // length 0: a literal
};

// Greedy: at each byte after the first the longest earlier copy that fits, else a literal; the
// last literalTail bytes are literals.
std::vector<Copy> Parse(std::span<const std::uint8_t> data, std::size_t minLength,
                        std::size_t maxLength, std::size_t maxOffset, std::size_t literalTail = 0,
                        bool (*fits)(std::size_t, std::size_t) = nullptr) {
  std::vector<Copy> steps{{}};
  const std::size_t end = data.size() - std::min(data.size(), literalTail);
  for (std::size_t at = 1; at < data.size(); at += std::max<std::size_t>(steps.back().length, 1)) {
    Copy best;
    for (std::size_t offset = 1; offset <= std::min(at, maxOffset); ++offset) {
      std::size_t length = 0;
      while (at + length < end && length < maxLength &&
             data[at + length] == data[at + length - offset])
        ++length;
      while (length >= minLength && fits && !fits(offset, length)) --length;
      if (length >= minLength && length > best.length) best = {offset, length};
    }
    steps.push_back(best);
  }
  return steps;
}

// Interlaced Elias gamma: each bit after the leading 1 behind a flag `more`, then a stop flag;
// the first flag left out when an offset byte carries it.
void Interlaced(BitWriter& w, std::size_t value, unsigned more, unsigned invert = 0,
                bool firstFlagGiven = false) {
  for (int bit = std::bit_width(value) - 2; bit >= 0; --bit, firstFlagGiven = false) {
    if (!firstFlagGiven) w.Bits(more, 1);
    w.Bits(((value >> bit) & 1) ^ invert, 1);
  }
  if (!firstFlagGiven) w.Bits(!more, 1);
}

// ZX0 and ZX1: literal runs, a repeat-offset copy right after literals, new-offset copies;
// newOffset writes a copy's offset and length, or the end mark for offset 0.
template <typename NewOffset>
Bytes PackZx(std::span<const std::uint8_t> data, std::size_t maxOffset, unsigned more,
             NewOffset newOffset) {
  const auto steps = Parse(data, 2, 65535, maxOffset);
  BitWriter w;
  std::size_t at = 0, lastOffset = 1;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].length == 0) {
      std::size_t run = 1;
      while (i + run < steps.size() && steps[i + run].length == 0) ++run;
      if (at > 0) w.Bits(0, 1);
      Interlaced(w, run, more);
      for (std::size_t end = at + run; at < end; ++at) w.Byte(data[at]);
      i += run - 1;
      if (i + 1 < steps.size() && steps[i + 1].offset == lastOffset) {
        w.Bits(0, 1), Interlaced(w, steps[++i].length, more), at += steps[i].length;
      }
      continue;
    }
    w.Bits(1, 1), newOffset(w, steps[i].offset, steps[i].length);
    lastOffset = steps[i].offset, at += steps[i].length;
  }
  w.Bits(1, 1), newOffset(w, 0, 0);
  return w.out;
}

Bytes PackZx0With(std::span<const std::uint8_t> data, unsigned invert) {
  return PackZx(data, 32640, 0, [invert](BitWriter& w, std::size_t offset, std::size_t length) {
    const std::size_t high = offset == 0 ? 256 : (offset - 1) / 128 + 1;
    Interlaced(w, high, 0, invert);
    if (offset == 0) return;
    w.Byte((high * 128 - offset) << 1 | (length == 2 ? 1 : 0));
    Interlaced(w, length - 1, 0, 0, true);
  });
}

Bytes PackZx0(std::span<const std::uint8_t> data) { return PackZx0With(data, 1); }
Bytes PackZx0Classic(std::span<const std::uint8_t> data) { return PackZx0With(data, 0); }

Bytes PackZx1(std::span<const std::uint8_t> data) {
  return PackZx(data, 32512, 1, [](BitWriter& w, std::size_t offset, std::size_t length) {
    const std::size_t rest = 32512 - offset;
    if (offset == 0) return w.Byte(0xFF), w.Byte(0xFF);
    if (offset <= 128) w.Byte((128 - offset) * 2);
    if (offset > 128) w.Byte((rest & 0xFE) | 1), w.Byte((rest >> 8) << 1 | (rest & 1));
    Interlaced(w, length - 1, 1);
  });
}

Bytes PackZx7(std::span<const std::uint8_t> data) {
  BitWriter w;
  w.Byte(data[0]);
  std::size_t at = 1;
  const auto steps = Parse(data, 2, 65536, 2176);
  for (const Copy& step : std::span(steps).subspan(1)) {
    w.Bits(step.length > 0, 1);
    if (step.length == 0) {
      w.Byte(data[at++]);
      continue;
    }
    const int zeros = std::bit_width(step.length - 1) - 1;
    w.Bits(1, zeros + 1), w.Bits(step.length - 1, zeros);
    if (step.offset <= 128) w.Byte(step.offset - 1);
    if (step.offset > 128)
      w.Byte(128 | ((step.offset - 129) & 127)), w.Bits((step.offset - 129) >> 7, 4);
    at += step.length;
  }
  w.Bits(1, 1), w.Bits(1, 17);
  return w.out;
}

void Lz4Count(BitWriter& w, std::size_t count) {
  if (count < 15) return;
  for (count -= 15; count >= 255; count -= 255) w.Byte(255);
  w.Byte(count);
}

// Sequences of literals and a copy; no copy starts in the last 12 bytes or reaches the last 5.
Bytes PackLz4(std::span<const std::uint8_t> data) {
  BitWriter w;
  std::size_t at = 0, literals = 0;
  const auto sequence = [&](const Copy& copy) {
    const std::size_t match = copy.length > 0 ? copy.length - 4 : 0;
    w.Byte(std::min<std::size_t>(literals, 15) << 4 | std::min<std::size_t>(match, 15));
    Lz4Count(w, literals);
    for (; literals > 0; --literals) w.Byte(data[at - literals]);
    if (copy.length > 0) w.Byte(copy.offset & 255), w.Byte(copy.offset >> 8), Lz4Count(w, match);
  };
  for (const Copy& step : Parse(data, 4, 65535, 65535, 5)) {
    if (step.length > 0 && at + 12 <= data.size()) {
      sequence(step);
      at += step.length;
    } else {
      const std::size_t taken = std::max<std::size_t>(step.length, 1);
      at += taken, literals += taken;
    }
  }
  sequence({});
  return w.out;
}

bool MegaLzFits(std::size_t offset, std::size_t length) {
  return offset <= (length == 1 ? 8 : length == 2 ? 256 : 4352);
}

// A near offset's byte, or a far one's four bits and byte.
void MegaLzOffset(BitWriter& w, std::size_t offset) {
  const std::size_t value = 65536 - offset;
  if (offset <= 256) return w.Byte(256 - offset);
  w.Bits(((value >> 8) + 1) & 15, 4), w.Byte(value & 255);
}

Bytes PackMegaLz(std::span<const std::uint8_t> data) {
  BitWriter w;
  w.Byte(data[0]);
  std::size_t at = 1;
  const auto steps = Parse(data, 1, 255, 4352, 0, MegaLzFits);
  for (const Copy& step : std::span(steps).subspan(1)) {
    const std::size_t offset = step.offset, length = step.length;
    if (length == 0) w.Bits(1, 1), w.Byte(data[at]);
    if (length == 1) w.Bits(0, 3), w.Bits(8 - offset, 3);
    if (length == 2) w.Bits(1, 3), w.Byte(256 - offset);
    if (length == 3) w.Bits(offset <= 256 ? 0b0100 : 0b0101, 4), MegaLzOffset(w, offset);
    if (length >= 4) {
      const int zeros = std::bit_width(length - 2) - 2;
      w.Bits(0b011, 3), w.Bits(1, zeros + 1),
          w.Bits(length - (std::size_t{2} << zeros) - 2, zeros + 1);
      w.Bits(offset > 256, 1), MegaLzOffset(w, offset);
    }
    at += std::max<std::size_t>(length, 1);
  }
  w.Bits(0b011, 3), w.Bits(1, 9);
  return w.out;
}

constexpr TestPacker kPackers[] = {
    {"ZX0", PackZx0}, {"ZX0 classic", PackZx0Classic}, {"ZX1", PackZx1}, {"ZX7", PackZx7},
    {"LZ4", PackLz4}, {"MegaLZ", PackMegaLz},
};

}  // namespace

std::span<const TestPacker> TestPackers() { return kPackers; }

}  // namespace orlaspin::testing
