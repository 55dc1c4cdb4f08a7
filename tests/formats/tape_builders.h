// Builds TAP, TZX and PZX tapes in memory for tests, written from the formats' layouts.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "screens/screen.h"

namespace orlaspin::testing {

using Bytes = std::vector<std::uint8_t>;

// Little-endian numbers of 1 to 4 bytes.
void PutNumber(Bytes& out, std::uint64_t value, int size);

Bytes ScreenPayload(const ScreenBytes& screen);

// A block as the ROM saves it: the flag, the payload and the XOR of both.
Bytes LoadedBlock(std::uint8_t flag, std::span<const std::uint8_t> payload);

// A standard header block: type (0 Program, 1 Number array, 2 Character array, 3 Bytes), the name
// filled out with spaces to 10 bytes, the data's length and the two parameters.
Bytes HeaderBlock(std::uint8_t type, const std::string& name, std::uint16_t length,
                  std::uint16_t param1, std::uint16_t param2 = 32768);

// A Bytes header for the screen's 6912 bytes at 16384, then the screen's data block.
std::vector<Bytes> SavedScreen(const std::string& name, const ScreenBytes& screen);

// Each block behind its 16-bit length.
Bytes BuildTap(std::span<const Bytes> blocks);

struct TzxBlock {
  std::uint8_t id;
  Bytes body;
};

// One block of every TZX 1.20 ID that carries no loaded bytes, and two IDs of later versions,
// each with a body full of data block IDs and 6912-byte lengths, so that a body measured wrong
// shows. The C64 turbo block (0x17) counts its length the other way some writers do: with itself.
std::vector<TzxBlock> SkippedTzxBlocks();

// TZX 1.20 blocks in the order added.
class TzxBuilder {
 public:
  TzxBuilder& StandardSpeed(const Bytes& block);
  TzxBuilder& TurboSpeed(const Bytes& block, std::uint8_t usedBits = 8);
  TzxBuilder& PureData(const Bytes& block, std::uint8_t usedBits = 8);
  // Two data symbols with the ROM's pulses (855 for a 0 bit, 1710 for a 1), after a pilot and
  // sync of their own symbols. zeroIsLonger swaps the symbols' pulses and stores every bit
  // inverted, so that the loaded bytes stay the same.
  TzxBuilder& GeneralizedData(const Bytes& block, bool zeroIsLonger = false);
  // Four data symbols, two bits each: bytes no loader of the ROM's kind reads.
  TzxBuilder& FourSymbolData(const Bytes& bits);
  // The "Spectrum Screen " custom info block.
  TzxBuilder& ScreenInfo(const std::string& description, std::uint8_t border,
                         const ScreenBytes& screen);
  // An embedded snapshot: type 0 Z80, 1 SNA.
  TzxBuilder& Snapshot(std::uint8_t type, const Bytes& snapshot);
  // Any block: its ID and body as given.
  TzxBuilder& Block(std::uint8_t id, const Bytes& body);
  TzxBuilder& Blocks(std::span<const TzxBlock> blocks);

  Bytes Build() const;

 private:
  Bytes blocks_;
};

// PZX blocks after the PZXT header block.
class PzxBuilder {
 public:
  PzxBuilder();
  // A DATA block of the block's bits with the ROM's pulses; bits defaults to all of them.
  PzxBuilder& Data(const Bytes& block, std::uint32_t bits = 0);
  PzxBuilder& Block(const std::string& tag, const Bytes& body);
  Bytes Build() const { return bytes_; }

 private:
  Bytes bytes_;
};

}  // namespace orlaspin::testing
