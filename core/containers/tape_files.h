// The files on a tape, whatever the tape's format: its data blocks as the ROM loader reads them
// (a flag byte, the payload, an XOR checksum), a standard header block naming the data block
// after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// One block of loaded bytes: flag, payload, checksum.
struct TapeBlock {
  int number = 0;                       // the block's place on the tape, from 1
  std::span<const std::uint8_t> bytes;  // the bytes present, flag first
  std::uint64_t offset = 0;             // where bytes begin, in the bytes files point into
  std::size_t size = 0;                 // the block's own size; more than bytes when cut short
  bool wholeBytes = true;               // false when the last byte carries fewer than 8 bits
  bool checksummed = false;             // saved by the ROM routine, so its checksum must hold
};

// True when the XOR of a block's bytes, flag and checksum included, is zero.
bool ChecksumHolds(std::span<const std::uint8_t> block);

// Where a block lies on its tape: "block <number>".
std::string BlockName(int number);

// The tape ends inside the block.
Warning TapeCutShort(int number);

// The name of a block without a header: the tape's file name, then "-block" and its number.
std::string TapeBlockName(std::string_view stem, int number);

// Lists a tape's files into a collection, block by block in tape order. A header and the data
// block after it make one file, named by the header (its 10 bytes, trailing spaces trimmed),
// typed "Program", "Number array", "Character array" or "Bytes", with the start for Bytes; any
// other block with a payload is a "Headerless" file. A file's length is the payload present and
// its offset where the payload begins. A screen is a payload of 6912 bytes after a Bytes header
// of length 6912 or behind the flag 0xFF.
class TapeFileLister {
 public:
  TapeFileLister(std::string_view stem, Collection& collection)
      : stem_(stem), collection_(collection) {}

  // A wrong checksum is a warning; the file is listed all the same.
  void Add(const TapeBlock& block);
  // The tape ended: a header still waiting for its data lists nothing and is warned about.
  void Finish();

 private:
  struct Header {
    int number;
    std::string name;
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t param1;
  };

  void AddFile(const TapeBlock& data, const std::optional<Header>& header);

  std::string stem_;
  Collection& collection_;
  std::optional<Header> waiting_;
};

}  // namespace orlaspin
