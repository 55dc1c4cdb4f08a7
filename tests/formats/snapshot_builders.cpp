#include "snapshot_builders.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "screens.h"

namespace orlaspin::testing {

namespace {

void Append(Bytes& out, std::span<const std::uint8_t> bytes) {
  out.reserve(out.size() + bytes.size());
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// The Z80 registers of the 30-byte header, with PC and byte 12 as given.
Bytes Z80Header(std::uint16_t pc, std::uint8_t flags) {
  Bytes header(30, 0x11);
  header[6] = static_cast<std::uint8_t>(pc);
  header[7] = static_cast<std::uint8_t>(pc >> 8);
  header[12] = flags;
  return header;
}

Bytes ZlibCompress(std::span<const std::uint8_t> bytes) {
  uLongf size = compressBound(static_cast<uLong>(bytes.size()));
  Bytes packed(size);
  if (compress2(packed.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), 9) != Z_OK) {
    throw std::runtime_error("zlib compress failed");
  }
  packed.resize(size);
  return packed;
}

void PutChunk(Bytes& out, const char (&id)[5], std::span<const std::uint8_t> body) {
  out.insert(out.end(), id, id + 4);
  PutNumber(out, body.size(), 4);
  Append(out, body);
}

void PutRuns(std::span<std::uint8_t> bytes, std::size_t at) {
  const Bytes runs = {0xED, 0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0xED, 0xED, 0x01, 0xED,
                      0x02, 0x03, 0x03, 0x03, 0x03, 0xED, 0xED, 0xED, 0x00, 0xED, 0xED};
  std::copy(runs.begin(), runs.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at + runs.size()), 300, 0x42);
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at + runs.size() + 300), 600, 0xED);
}

}  // namespace

ScreenBytes RunsScreen(std::uint32_t seed) {
  ScreenBytes screen = ColourfulScreen(seed);
  PutRuns(screen, 100);
  std::fill_n(screen.begin() + 3000, 1000, 0x00);  // the stream's end marker begins with 00 ED
  screen[4000] = 0xED;
  screen[4001] = 0xED;
  return screen;
}

Bytes PageWithScreen(const ScreenBytes& screen) {
  Bytes page(kPageSize, 0);
  std::copy(screen.begin(), screen.end(), page.begin());
  PutRuns(page, kScreenBytes + 10);
  for (std::size_t i = kScreenBytes + 2000; i < kPageSize; ++i) {
    page[i] = static_cast<std::uint8_t>(i * 7 / 13);
  }
  return page;
}

Bytes Ram48(const ScreenBytes& screen) {
  Bytes ram = PageWithScreen(screen);
  for (std::size_t i = 0; i < 2 * kPageSize; ++i) ram.push_back(static_cast<std::uint8_t>(i % 251));
  return ram;
}

std::array<Bytes, 8> DistinctBanks() {
  std::array<Bytes, 8> banks;
  for (std::uint32_t bank = 0; bank < 8; ++bank)
    banks[bank] = PageWithScreen(ColourfulScreen(100 + bank));
  return banks;
}

Bytes BuildSna48(std::span<const std::uint8_t> ram, std::uint8_t border) {
  Bytes sna(27, 0x22);
  sna[26] = border;
  Append(sna, ram);
  return sna;
}

Bytes BuildSna128(const std::array<Bytes, 8>& banks, std::uint8_t port, std::uint8_t border) {
  const unsigned paged = port & 7;
  Bytes sna(27, 0x22);
  sna[26] = border;
  Append(sna, banks[5]);
  Append(sna, banks[2]);
  Append(sna, banks[paged]);
  PutNumber(sna, 0x8000, 2);  // PC
  sna.push_back(port);
  sna.push_back(0);  // TR-DOS not paged
  for (unsigned bank = 0; bank < 8; ++bank) {
    if (bank != 2 && bank != 5 && bank != paged) Append(sna, banks[bank]);
  }
  return sna;
}

Bytes CompressZ80(std::span<const std::uint8_t> bytes) {
  Bytes packed;
  std::size_t at = 0;
  while (at < bytes.size()) {
    const std::uint8_t byte = bytes[at];
    std::size_t run = 1;
    while (at + run < bytes.size() && bytes[at + run] == byte && run < 255) ++run;
    if (run >= 5 || (byte == 0xED && run >= 2)) {
      packed.insert(packed.end(), {0xED, 0xED, static_cast<std::uint8_t>(run), byte});
      at += run;
      continue;
    }
    packed.push_back(byte);
    ++at;
    if (byte == 0xED && at < bytes.size()) packed.push_back(bytes[at++]);
  }
  return packed;
}

Bytes BuildZ80Version1(std::span<const std::uint8_t> ram, std::uint8_t border, bool compressed) {
  Bytes z80 = Z80Header(0x8000, static_cast<std::uint8_t>(border << 1 | (compressed ? 0x20 : 0)));
  if (!compressed) {
    Append(z80, ram);
    return z80;
  }
  Append(z80, CompressZ80(ram));
  Append(z80, Bytes{0x00, 0xED, 0xED, 0x00});
  return z80;
}

Bytes BuildZ80Version2Or3(std::uint16_t extraLength, std::uint8_t hardware, std::uint8_t port,
                          std::uint8_t border, std::span<const Z80Page> pages,
                          std::uint8_t byte36) {
  Bytes z80 = Z80Header(0, static_cast<std::uint8_t>(border << 1));
  PutNumber(z80, extraLength, 2);
  Bytes extra(extraLength, 0);
  extra[0] = 0x00;  // PC
  extra[1] = 0x80;
  extra[2] = hardware;
  extra[3] = port;
  extra[4] = byte36;
  Append(z80, extra);
  for (const Z80Page& page : pages) {
    if (page.compressed) {
      const Bytes packed = CompressZ80(page.bytes);
      PutNumber(z80, packed.size(), 2);
      z80.push_back(page.number);
      Append(z80, packed);
    } else {
      PutNumber(z80, 0xFFFF, 2);
      z80.push_back(page.number);
      Append(z80, page.bytes);
    }
  }
  return z80;
}

Bytes BuildSzx(std::uint8_t machine, std::optional<SzxSpecRegs> specRegs,
               std::span<const SzxPage> pages, std::span<const SzxChunk> chunks) {
  Bytes szx = {'Z', 'X', 'S', 'T', 1, 4, machine, 0};
  PutChunk(szx, "Z80R", Bytes(37, 0));
  if (specRegs) {
    PutChunk(szx, "SPCR", Bytes{specRegs->border, specRegs->port7ffd, 0, 0, 0, 0, 0, 0});
  }
  for (const SzxChunk& chunk : chunks) {
    szx.insert(szx.end(), chunk.name.begin(), chunk.name.end());
    PutNumber(szx, chunk.body.size(), 4);
    Append(szx, chunk.body);
  }
  for (const SzxPage& page : pages) {
    Bytes body;
    PutNumber(body, page.compressed ? 1 : 0, 2);
    body.push_back(page.number);
    Append(body, page.compressed ? ZlibCompress(page.bytes) : page.bytes);
    PutChunk(szx, "RAMP", body);
  }
  PutChunk(szx, "KEYB", Bytes{'R', 'A', 'M', 'P', 5});
  return szx;
}

Bytes BuildNex(const NexHeader& header, std::span<const Bytes> blocks) {
  Bytes nex(512, 0);
  std::copy_n("Next", 4, nex.begin());
  std::copy_n(header.version.begin(), 4, nex.begin() + 4);
  nex[10] = header.screens;
  nex[11] = header.border;
  nex[138] = header.colour;
  nex[152] = header.wide;
  for (const Bytes& block : blocks) Append(nex, block);
  return nex;
}

}  // namespace orlaspin::testing
