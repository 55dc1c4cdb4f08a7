// The blocks ZX0 and ZX1 share: literals first, then after literals a copy from the last offset
// or from a new one, after a copy literals or a new offset, each choice one bit. The formats
// differ in how lengths and new offsets are coded.
#pragma once

#include <cstddef>
#include <optional>

#include "unpack/unpackers.h"

namespace orlaspin {

struct NewCopy {
  std::size_t offset;
  std::size_t length;
};

// length() reads a length; newCopy() a new offset and its copy's length, nothing at the end mark.
template <typename Length, typename ReadNewCopy>
Unpacked UnpackOffsetBlocks(PackedInput& input, Length length, ReadNewCopy newCopy) {
  UnpackedOutput output(input);
  std::size_t lastOffset = 1;
  enum class Block { Literals, RepeatOffset, NewOffset } block = Block::Literals;
  for (;;) {
    switch (block) {
      case Block::Literals:
        output.Literals(length());
        block = input.Bit() ? Block::NewOffset : Block::RepeatOffset;
        break;
      case Block::RepeatOffset:
        output.Copy(lastOffset, length());
        block = input.Bit() ? Block::NewOffset : Block::Literals;
        break;
      case Block::NewOffset: {
        const std::optional<NewCopy> copy = newCopy();
        if (!copy) return {output.Take(), input.Offset()};
        lastOffset = copy->offset;
        output.Copy(copy->offset, copy->length);
        block = input.Bit() ? Block::NewOffset : Block::Literals;
        break;
      }
    }
  }
}

}  // namespace orlaspin
