#include "tape_builders.h"

#include <stdexcept>

namespace orlaspin::testing {

namespace {

void Append(Bytes& out, std::span<const std::uint8_t> bytes) {
  out.reserve(out.size() + bytes.size());
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendText(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
}

// A symbol definition: polarity flags, then its pulses.
void PutSymbol(Bytes& out, std::initializer_list<std::uint16_t> pulses) {
  out.push_back(0);
  for (const std::uint16_t pulse : pulses) PutNumber(out, pulse, 2);
}

// Bytes to fill block bodies with: IDs of data blocks and the length of a screen.
const Bytes kLookalikes = {0x10, 0x13, 0x00, 0x1B, 0x19, 0x35, 0xFF, 0x00, 0x1A, 0x10};

}  // namespace

void PutNumber(Bytes& out, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes ScreenPayload(const ScreenBytes& screen) { return {screen.begin(), screen.end()}; }

Bytes LoadedBlock(std::uint8_t flag, std::span<const std::uint8_t> payload) {
  Bytes block = {flag};
  Append(block, payload);
  std::uint8_t checksum = 0;
  for (const std::uint8_t byte : block) checksum ^= byte;
  block.push_back(checksum);
  return block;
}

Bytes HeaderBlock(std::uint8_t type, const std::string& name, std::uint16_t length,
                  std::uint16_t param1, std::uint16_t param2) {
  if (name.size() > 10) throw std::length_error("tape name longer than 10 bytes: " + name);
  Bytes payload = {type};
  AppendText(payload, name + std::string(10 - name.size(), ' '));
  PutNumber(payload, length, 2);
  PutNumber(payload, param1, 2);
  PutNumber(payload, param2, 2);
  return LoadedBlock(0x00, payload);
}

std::vector<Bytes> SavedScreen(const std::string& name, const ScreenBytes& screen) {
  return {HeaderBlock(3, name, 6912, 16384), LoadedBlock(0xFF, ScreenPayload(screen))};
}

Bytes BuildTap(std::span<const Bytes> blocks) {
  Bytes tap;
  for (const Bytes& block : blocks) {
    PutNumber(tap, block.size(), 2);
    Append(tap, block);
  }
  return tap;
}

TzxBuilder& TzxBuilder::Block(std::uint8_t id, const Bytes& body) {
  blocks_.push_back(id);
  Append(blocks_, body);
  return *this;
}

TzxBuilder& TzxBuilder::StandardSpeed(const Bytes& block) {
  Bytes body;
  PutNumber(body, 1000, 2);  // pause after it, ms
  PutNumber(body, block.size(), 2);
  Append(body, block);
  return Block(0x10, body);
}

TzxBuilder& TzxBuilder::TurboSpeed(const Bytes& block, std::uint8_t usedBits) {
  Bytes body;
  for (const std::uint16_t pulse : {2168, 667, 735, 855, 1710, 3223}) PutNumber(body, pulse, 2);
  body.push_back(usedBits);
  PutNumber(body, 1000, 2);
  PutNumber(body, block.size(), 3);
  Append(body, block);
  return Block(0x11, body);
}

TzxBuilder& TzxBuilder::PureData(const Bytes& block, std::uint8_t usedBits) {
  Bytes body;
  PutNumber(body, 855, 2);
  PutNumber(body, 1710, 2);
  body.push_back(usedBits);
  PutNumber(body, 1000, 2);
  PutNumber(body, block.size(), 3);
  Append(body, block);
  return Block(0x14, body);
}

TzxBuilder& TzxBuilder::GeneralizedData(const Bytes& block, bool zeroIsLonger) {
  Bytes rest;
  PutNumber(rest, 1000, 2);  // pause
  PutNumber(rest, 2, 4);     // pilot and sync symbols in the stream
  rest.push_back(2);         // pulses per pilot symbol
  rest.push_back(2);         // pilot alphabet
  PutNumber(rest, 8 * block.size(), 4);
  rest.push_back(2);  // pulses per data symbol
  rest.push_back(2);  // data alphabet
  PutSymbol(rest, {2168, 0});
  PutSymbol(rest, {667, 735});
  rest.push_back(0);
  PutNumber(rest, 3223, 2);
  rest.push_back(1);
  PutNumber(rest, 1, 2);
  PutSymbol(rest, zeroIsLonger ? std::initializer_list<std::uint16_t>{1710, 1710}
                               : std::initializer_list<std::uint16_t>{855, 855});
  PutSymbol(rest, zeroIsLonger ? std::initializer_list<std::uint16_t>{855, 855}
                               : std::initializer_list<std::uint16_t>{1710, 1710});
  for (const std::uint8_t byte : block) {
    rest.push_back(zeroIsLonger ? static_cast<std::uint8_t>(~byte) : byte);
  }
  Bytes body;
  PutNumber(body, rest.size(), 4);
  Append(body, rest);
  return Block(0x19, body);
}

TzxBuilder& TzxBuilder::FourSymbolData(const Bytes& bits) {
  Bytes rest;
  PutNumber(rest, 0, 2);
  PutNumber(rest, 0, 4);  // no pilot
  rest.push_back(0);
  rest.push_back(0);
  PutNumber(rest, 4 * bits.size(), 4);
  rest.push_back(1);
  rest.push_back(4);
  for (const std::uint16_t pulse : {500, 1000, 1500, 2000}) PutSymbol(rest, {pulse});
  Append(rest, bits);
  Bytes body;
  PutNumber(body, rest.size(), 4);
  Append(body, rest);
  return Block(0x19, body);
}

TzxBuilder& TzxBuilder::ScreenInfo(const std::string& description, std::uint8_t border,
                                   const ScreenBytes& screen) {
  Bytes body;
  AppendText(body, "Spectrum Screen ");
  PutNumber(body, 1 + description.size() + 1 + screen.size(), 4);
  body.push_back(static_cast<std::uint8_t>(description.size()));
  AppendText(body, description);
  body.push_back(border);
  Append(body, screen);
  return Block(0x35, body);
}

TzxBuilder& TzxBuilder::Snapshot(std::uint8_t type, const Bytes& snapshot) {
  Bytes body = {type};
  PutNumber(body, snapshot.size(), 3);
  Append(body, snapshot);
  return Block(0x40, body);
}

std::vector<TzxBlock> SkippedTzxBlocks() {
  std::vector<TzxBlock> blocks;
  const Bytes& junk = kLookalikes;
  Bytes body;
  const auto next = [&](std::uint8_t id) {
    blocks.push_back({id, body});
    body.clear();
  };
  PutNumber(body, 2168, 2);  // pure tone: pulse length and count
  PutNumber(body, 3223, 2);
  next(0x12);
  body.push_back(3);  // pulse sequence
  for (const std::uint16_t pulse : {0x0010, 0x1B00, 0x1913}) PutNumber(body, pulse, 2);
  next(0x13);
  PutNumber(body, 79, 2);  // direct recording: T-states per sample, pause, used bits, samples
  PutNumber(body, 0, 2);
  body.push_back(8);
  PutNumber(body, junk.size(), 3);
  Append(body, junk);
  next(0x15);
  PutNumber(body, junk.size(), 4);  // C64 ROM data: the length of what follows
  Append(body, junk);
  next(0x16);
  PutNumber(body, 4 + junk.size(), 4);  // C64 turbo data, its length counting itself
  Append(body, junk);
  next(0x17);
  PutNumber(body, 10 + junk.size(), 4);  // CSW: pause, sample rate, compression, pulses, data
  PutNumber(body, 0, 2);
  PutNumber(body, 44100, 3);
  body.push_back(1);
  PutNumber(body, junk.size(), 4);
  Append(body, junk);
  next(0x18);
  PutNumber(body, 1000, 2);  // pause
  next(0x20);
  body.push_back(6);  // group start
  AppendText(body, "Group\x10");
  next(0x21);
  next(0x22);
  PutNumber(body, 1, 2);  // jump to the next block
  next(0x23);
  PutNumber(body, 2, 2);  // loop start
  next(0x24);
  next(0x25);
  PutNumber(body, 2, 2);  // call sequence: two offsets
  PutNumber(body, 0x1B00, 2);
  PutNumber(body, 0x0010, 2);
  next(0x26);
  next(0x27);
  Bytes selections = {2};  // select block: count, then offset, text length, text
  PutNumber(selections, 0x0010, 2);
  selections.push_back(4);
  AppendText(selections, "Load");
  PutNumber(selections, 0x1B00, 2);
  selections.push_back(0);
  PutNumber(body, selections.size(), 2);
  Append(body, selections);
  next(0x28);
  PutNumber(body, 0, 4);  // stop the tape if in 48K mode
  next(0x2A);
  PutNumber(body, 1, 4);  // signal level
  body.push_back(1);
  next(0x2B);
  body.push_back(static_cast<std::uint8_t>(junk.size()));  // text description
  Append(body, junk);
  next(0x30);
  body.push_back(5);  // message: seconds, text
  body.push_back(static_cast<std::uint8_t>(junk.size()));
  Append(body, junk);
  next(0x31);
  Bytes strings = {2, 0x00, 4};  // archive info: count, then ID, length, text
  AppendText(strings, "Game");
  strings.push_back(0x10);
  strings.push_back(static_cast<std::uint8_t>(junk.size()));
  Append(strings, junk);
  PutNumber(body, strings.size(), 2);
  Append(body, strings);
  next(0x32);
  body = {2, 0, 0x10, 1, 0, 0x19, 0};  // hardware: count, then type, ID, information
  next(0x33);
  body = {0x10, 0x00, 0x19, 0x1B, 0x00, 0x35, 0x10, 0x00};  // emulation information
  next(0x34);
  AppendText(body, "POKEs           ");  // custom info of another kind
  PutNumber(body, junk.size(), 4);
  Append(body, junk);
  next(0x35);
  AppendText(body, "XTape!\x1A");  // glue of a joined tape
  body.push_back(1);
  body.push_back(20);
  next(0x5A);
  PutNumber(body, junk.size(), 4);  // IDs of later versions begin with their length
  Append(body, junk);
  next(0x4B);
  PutNumber(body, 0, 4);
  next(0x7E);
  return blocks;
}

TzxBuilder& TzxBuilder::Blocks(std::span<const TzxBlock> blocks) {
  for (const TzxBlock& block : blocks) Block(block.id, block.body);
  return *this;
}

Bytes TzxBuilder::Build() const {
  Bytes tzx;
  AppendText(tzx, "ZXTape!\x1A");
  tzx.push_back(1);
  tzx.push_back(20);
  Append(tzx, blocks_);
  return tzx;
}

PzxBuilder::PzxBuilder() { Block("PZXT", {1, 0}); }

PzxBuilder& PzxBuilder::Block(const std::string& tag, const Bytes& body) {
  AppendText(bytes_, tag);
  PutNumber(bytes_, body.size(), 4);
  Append(bytes_, body);
  return *this;
}

PzxBuilder& PzxBuilder::Data(const Bytes& block, std::uint32_t bits) {
  Bytes body;
  PutNumber(body, bits != 0 ? bits : 8 * block.size(), 4);
  PutNumber(body, 945, 2);  // tail pulse
  body.push_back(2);
  body.push_back(2);
  for (const std::uint16_t pulse : {855, 855, 1710, 1710}) PutNumber(body, pulse, 2);
  Append(body, block);
  return Block("DATA", body);
}

}  // namespace orlaspin::testing
