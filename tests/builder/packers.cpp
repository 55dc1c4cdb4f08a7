#include "packers.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace orlaspin::testing {

namespace {

// Bits MSb first into bit bytes placed where their first bit is written, among whole bytes.
struct BitWriter {
  std::vector<std::uint8_t> out;
  std::size_t bitByte = 0;
  std::uint8_t mask = 0;

  void Byte(unsigned value) { out.push_back(static_cast<std::uint8_t>(value)); }
  void Bit(unsigned bit) {
    if (mask == 0) {
      bitByte = out.size();
      out.push_back(0);
      mask = 0x80;
    }
    if (bit & 1) out[bitByte] |= mask;
    mask >>= 1;
  }
  void Bits(unsigned value, int count) {
    while (count-- > 0) Bit(value >> count);
  }
};

// A literal (length 0) or a copy of length bytes from offset bytes back.
struct Step {
  std::size_t offset = 0, length = 0;
};

struct Limits {
  std::size_t minLength, maxLength, maxOffset;
  bool (*fits)(std::size_t offset, std::size_t length);
  std::size_t literalTail = 0;  // the last bytes that must be literals
};

bool AnyFits(std::size_t, std::size_t) { return true; }

// Greedy: the longest earlier copy that fits, else a literal; the first byte is a literal.
std::vector<Step> Parse(std::span<const std::uint8_t> data, const Limits& limits) {
  std::vector<Step> steps{{}};
  const std::size_t copyEnd = data.size() - std::min(data.size(), limits.literalTail);
  for (std::size_t at = 1; at < data.size();) {
    Step best;
    const std::size_t longest = std::min(limits.maxLength, copyEnd > at ? copyEnd - at : 0);
    for (std::size_t offset = 1; offset <= std::min(at, limits.maxOffset) && best.length < longest;
         ++offset) {
      std::size_t length = 0;
      while (at + length < copyEnd && length < limits.maxLength &&
             data[at + length] == data[at + length - offset]) {
        ++length;
      }
      while (length >= limits.minLength && !limits.fits(offset, length)) --length;
      if (length >= limits.minLength && length > best.length) best = {offset, length};
    }
    steps.push_back(best);
    at += std::max<std::size_t>(best.length, 1);
  }
  return steps;
}

// Interlaced Elias gamma: each data bit after the leading 1 behind a flag, then the stop flag.
void InterlacedElias(BitWriter& w, std::size_t value, unsigned more, unsigned invert = 0,
                     bool skipFirstFlag = false) {
  for (int bit = std::bit_width(value) - 2; bit >= 0; --bit) {
    if (!skipFirstFlag) w.Bit(more);
    skipFirstFlag = false;
    w.Bit(static_cast<unsigned>(value >> bit) ^ invert);
  }
  if (!skipFirstFlag) w.Bit(!more);
}

// ZX0 and ZX1: literal runs, repeat-offset copies after literals, new-offset copies.
template <typename NewOffset>
std::vector<std::uint8_t> PackZx(std::span<const std::uint8_t> data, std::size_t maxOffset,
                                 unsigned more, NewOffset newOffset) {
  const auto steps = Parse(data, {2, 65535, maxOffset, AnyFits});
  BitWriter w;
  std::size_t at = 0, lastOffset = 1;
  bool afterLiterals = false;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].length == 0) {
      std::size_t run = 1;
      while (i + run < steps.size() && steps[i + run].length == 0) ++run;
      if (at > 0) w.Bit(0);
      InterlacedElias(w, run, more);
      for (std::size_t k = 0; k < run; ++k) w.Byte(data[at + k]);
      at += run, i += run - 1, afterLiterals = true;
      continue;
    }
    const bool repeat = afterLiterals && steps[i].offset == lastOffset;
    w.Bit(repeat ? 0 : 1);
    if (repeat) {
      InterlacedElias(w, steps[i].length, more);
    } else {
      newOffset(w, steps[i].offset, steps[i].length);
    }
    lastOffset = steps[i].offset, at += steps[i].length, afterLiterals = false;
  }
  w.Bit(1);
  newOffset(w, 0, 0);
  return w.out;
}

std::vector<std::uint8_t> PackZx0With(std::span<const std::uint8_t> data, unsigned invert) {
  return PackZx(data, 32640, 0, [invert](BitWriter& w, std::size_t offset, std::size_t length) {
    if (offset == 0) return InterlacedElias(w, 256, 0, invert);
    const std::size_t high = (offset - 1) / 128 + 1;
    InterlacedElias(w, high, 0, invert);
    w.Byte((high * 128 - offset) << 1 | (length - 1 == 1 ? 1 : 0));
    InterlacedElias(w, length - 1, 0, 0, true);
  });
}

std::vector<std::uint8_t> PackZx0(std::span<const std::uint8_t> data) {
  return PackZx0With(data, 1);
}
std::vector<std::uint8_t> PackZx0Classic(std::span<const std::uint8_t> data) {
  return PackZx0With(data, 0);
}

std::vector<std::uint8_t> PackZx1(std::span<const std::uint8_t> data) {
  return PackZx(data, 32512, 1, [](BitWriter& w, std::size_t offset, std::size_t length) {
    if (offset == 0) return w.Byte(0xFF), w.Byte(0xFF);
    if (offset <= 128) {
      w.Byte((128 - offset) * 2);
    } else {
      const std::size_t rest = 32512 - offset;
      w.Byte((rest & 0xFE) | 1);
      w.Byte((rest >> 8) << 1 | (rest & 1));
    }
    InterlacedElias(w, length - 1, 1);
  });
}

void PlainElias(BitWriter& w, std::size_t value) {
  const int zeros = std::bit_width(value) - 1;
  w.Bits(1, zeros + 1);
  w.Bits(static_cast<unsigned>(value), zeros);
}

std::vector<std::uint8_t> PackZx7(std::span<const std::uint8_t> data) {
  BitWriter w;
  std::size_t at = 0;
  for (const Step& step : Parse(data, {2, 65536, 2176, AnyFits})) {
    if (at > 0) w.Bit(step.length > 0);
    if (step.length == 0) {
      w.Byte(data[at++]);
      continue;
    }
    PlainElias(w, step.length - 1);
    if (step.offset <= 128) {
      w.Byte(step.offset - 1);
    } else {
      w.Byte(128 | ((step.offset - 129) & 127));
      w.Bits(static_cast<unsigned>(step.offset - 129) >> 7, 4);
    }
    at += step.length;
  }
  w.Bit(1);
  w.Bits(1, 17);
  return w.out;
}

void Lz4Count(BitWriter& w, std::size_t count) {
  for (count -= 15; count >= 255; count -= 255) w.Byte(255);
  w.Byte(count);
}

std::vector<std::uint8_t> PackLz4(std::span<const std::uint8_t> data) {
  BitWriter w;
  std::size_t at = 0, literalsFrom = 0;
  const auto sequence = [&](std::size_t length, std::size_t offset) {
    const std::size_t literals = at - literalsFrom;
    const std::size_t match = length > 0 ? length - 4 : 0;
    w.Byte(std::min<std::size_t>(literals, 15) << 4 | std::min<std::size_t>(match, 15));
    if (literals >= 15) Lz4Count(w, literals);
    for (std::size_t k = literalsFrom; k < at; ++k) w.Byte(data[k]);
    if (length == 0) return;
    w.Byte(offset & 255), w.Byte(offset >> 8);
    if (match >= 15) Lz4Count(w, match);
    at += length, literalsFrom = at;
  };
  const std::size_t lastMatch = data.size() < 12 ? 0 : data.size() - 12;
  for (const Step& step : Parse(data, {4, 65535, 65535, AnyFits, 5})) {
    if (step.length > 0 && at <= lastMatch) {
      sequence(step.length, step.offset);
    } else {
      at += std::max<std::size_t>(step.length, 1);
    }
  }
  sequence(0, 0);
  return w.out;
}

bool MegaLzFits(std::size_t offset, std::size_t length) {
  return offset <= (length == 1 ? 8 : length == 2 ? 256 : 4352);
}

void MegaLzFar(BitWriter& w, std::size_t offset) {
  const std::size_t value = 65536 - offset;
  w.Bits(static_cast<unsigned>((value >> 8) + 1) & 15, 4);
  w.Byte(value & 255);
}

std::vector<std::uint8_t> PackMegaLz(std::span<const std::uint8_t> data) {
  BitWriter w;
  std::size_t at = 0;
  for (const Step& step : Parse(data, {1, 255, 4352, MegaLzFits})) {
    const std::size_t offset = step.offset, length = step.length;
    if (at == 0) {
      w.Byte(data[0]);
    } else if (length == 0) {
      w.Bit(1), w.Byte(data[at]);
    } else if (length == 1) {
      w.Bits(0, 3), w.Bits(static_cast<unsigned>(8 - offset), 3);
    } else if (length == 2) {
      w.Bits(1, 3), w.Byte(256 - offset);
    } else {
      if (length == 3) {
        w.Bits(offset <= 256 ? 0b0100 : 0b0101, 4);
      } else {
        const int zeros = std::bit_width(length - 2) - 2;
        w.Bits(0b011, 3), w.Bits(1, zeros + 1);
        w.Bits(static_cast<unsigned>(length - ((std::size_t{1} << (zeros + 1)) + 2)), zeros + 1);
        w.Bit(offset > 256);
      }
      if (offset <= 256) {
        w.Byte(256 - offset);
      } else {
        MegaLzFar(w, offset);
      }
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
