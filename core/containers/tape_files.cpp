#include "containers/tape_files.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace orlaspin {

namespace {

constexpr std::uint8_t kHeaderFlag = 0x00;
constexpr std::uint8_t kDataFlag = 0xFF;
constexpr std::size_t kHeaderBlockSize = 19;  // flag, 17 header bytes, checksum
constexpr std::uint8_t kBytesType = 3;
constexpr std::size_t kNameSize = 10;

constexpr const char* kTypeNames[] = {"Program", "Number array", "Character array", "Bytes"};

bool IsComplete(const TapeBlock& block) { return block.bytes.size() == block.size; }

bool IsHeader(const TapeBlock& block) {
  return block.size == kHeaderBlockSize && IsComplete(block) && block.wholeBytes &&
         block.bytes[0] == kHeaderFlag && block.bytes[1] <= kBytesType;
}

// Flag and checksum aside; only the part present.
std::span<const std::uint8_t> PresentPayload(const TapeBlock& block) {
  const std::size_t end = std::min(block.bytes.size(), block.size - 1);
  return block.bytes.subspan(1, end - 1);
}

std::string TrimmedName(std::span<const std::uint8_t> name) {
  std::string text(name.begin(), name.end());
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

bool ChecksumHolds(std::span<const std::uint8_t> block) {
  return std::accumulate(block.begin(), block.end(), std::uint8_t{0},
                         std::bit_xor<std::uint8_t>()) == 0;
}

std::string BlockName(int number) { return "block " + std::to_string(number); }

Warning TapeCutShort(int number) { return {Problem::TapeCutShort, BlockName(number)}; }

std::string TapeBlockName(std::string_view stem, int number) {
  return std::string(stem) + "-block" + std::to_string(number);
}

void TapeFileLister::Add(const TapeBlock& block) {
  if (block.checksummed && IsComplete(block) && !ChecksumHolds(block.bytes)) {
    collection_.warnings.push_back({Problem::WrongBlockChecksum, BlockName(block.number)});
  }
  if (IsHeader(block)) {
    Finish();
    const auto header = block.bytes.subspan(1);
    waiting_ = Header{block.number, TrimmedName(header.subspan(1, kNameSize)), header[0],
                      U16At(header, 11), U16At(header, 13)};
    return;
  }
  // Flag and checksum alone carry no file, nor a block cut off before its flag.
  if (block.size <= 2 || block.bytes.empty()) return;
  AddFile(block, waiting_);
  waiting_.reset();
}

void TapeFileLister::Finish() {
  if (!waiting_) return;
  collection_.warnings.push_back(
      {Problem::HeaderWithoutData, BlockName(waiting_->number), Details(waiting_->name)});
  waiting_.reset();
}

void TapeFileLister::AddFile(const TapeBlock& data, const std::optional<Header>& header) {
  const std::size_t payloadSize = data.size - 2;
  CollectionFile file;
  file.length = static_cast<std::uint32_t>(PresentPayload(data).size());
  file.offset = data.offset + 1;
  const bool screenHeader = header && header->type == kBytesType && header->length == kScreenBytes;
  file.isScreen = data.wholeBytes && payloadSize == kScreenBytes &&
                  (screenHeader || data.bytes[0] == kDataFlag);
  if (header) {
    file.name = header->name;
    file.type = kTypeNames[header->type];
    if (header->type == kBytesType) file.start = header->param1;
  } else {
    file.name = TapeBlockName(stem_, data.number);
    file.nameIsFileName = true;
    file.type = "Headerless";
  }
  collection_.files.push_back(std::move(file));
}

}  // namespace orlaspin
