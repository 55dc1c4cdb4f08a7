// Builds SNA, Z80 and SZX snapshots and NEX programs in memory for tests, written from the
// formats' layouts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "screens/screen.h"
#include "tape_builders.h"

namespace orlaspin::testing {

inline constexpr std::size_t kPageSize = 16384;

// A 16 KB page that begins with the screen; its other bytes hold runs of all lengths, lone and
// paired 0xED bytes and a run after a lone 0xED, the cases Z80 compression treats apart.
Bytes PageWithScreen(const ScreenBytes& screen);

// The 48K RAM from 0x4000: PageWithScreen, then two more pages of other bytes.
Bytes Ram48(const ScreenBytes& screen);

// A screen whose bytes hold those runs too.
ScreenBytes RunsScreen(std::uint32_t seed);

// The eight 128K banks, bank n beginning with ColourfulScreen(100 + n).
std::array<Bytes, 8> DistinctBanks();

// 48K: the 27-byte header (border colour at 26) and the RAM from 0x4000 (pages 5, 2, 0).
Bytes BuildSna48(std::span<const std::uint8_t> ram, std::uint8_t border);

// 128K: the header, banks 5, 2 and the paged one (port & 7), PC, the port, the TR-DOS flag, then
// the other banks in ascending order (banks 2 and 5 left out, and the paged one).
Bytes BuildSna128(const std::array<Bytes, 8>& banks, std::uint8_t port, std::uint8_t border);

// Runs of five or more equal bytes, and of two or more 0xED bytes, as ED ED count byte; the byte
// after a lone 0xED is never part of a run.
Bytes CompressZ80(std::span<const std::uint8_t> bytes);

// Version 1: the 30-byte header (PC not 0, the border in bits 1-3 of byte 12, bit 5 for
// compression) and the 48K RAM, compressed with the end marker 00 ED ED 00 or stored.
Bytes BuildZ80Version1(std::span<const std::uint8_t> ram, std::uint8_t border, bool compressed);

struct Z80Page {
  std::uint8_t number;
  Bytes bytes;
  bool compressed = true;
};

// Versions 2 (extra header 23) and 3 (54 or 55): the header with PC 0, the extra header with the
// hardware mode, the port 0x7FFD byte and byte 36 (a Timex machine's port 0xFF), then the pages,
// each with its length (0xFFFF stored).
Bytes BuildZ80Version2Or3(std::uint16_t extraLength, std::uint8_t hardware, std::uint8_t port,
                          std::uint8_t border, std::span<const Z80Page> pages,
                          std::uint8_t byte36 = 0);

struct SzxPage {
  std::uint8_t number;
  Bytes bytes;
  bool compressed = false;
};

struct SzxSpecRegs {
  std::uint8_t border;
  std::uint8_t port7ffd;
};

// A chunk of any kind: its four-letter name and its body.
struct SzxChunk {
  std::array<char, 4> name;
  Bytes body;
};

// "ZXST" 1.4, the machine, then Z80R, SPCR (when given), the other chunks given, the RAMP chunks
// and a chunk of another kind whose body holds "RAMP".
Bytes BuildSzx(std::uint8_t machine, std::optional<SzxSpecRegs> specRegs,
               std::span<const SzxPage> pages, std::span<const SzxChunk> chunks = {});

// A NEX header's screen fields: bytes 10 (screens), 11, 138 and 152; the others are zero.
struct NexHeader {
  std::string_view version = "V1.3";
  std::uint8_t screens = 0, border = 0, colour = 0, wide = 0;
};

Bytes BuildNex(const NexHeader& header, std::span<const Bytes> blocks);

}  // namespace orlaspin::testing
