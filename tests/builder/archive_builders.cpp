#include "archive_builders.h"

#include <algorithm>
#include <stdexcept>

#include "test_files.h"

namespace orlaspin::testing {

namespace {

void Append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// The data followed by zeros up to its whole sectors.
void AppendSectors(std::vector<std::uint8_t>& out, const ArchivedFile& file) {
  const std::size_t size = file.SectorCount() * std::size_t{256};
  std::vector<std::uint8_t> sectors(size, 0);
  std::copy_n(file.data.begin(), std::min(size, file.data.size()), sectors.begin());
  Append(out, sectors);
}

}  // namespace

std::uint16_t ArchivedFile::Length() const {
  return length.value_or(static_cast<std::uint16_t>(data.size()));
}

std::uint8_t ArchivedFile::SectorCount() const {
  return sectorCount.value_or(static_cast<std::uint8_t>((data.size() + 255) / 256));
}

ArchivedFile ScreenFile(const std::string& name, const ScreenBytes& screen) {
  return {name, 'C', 16384, std::vector<std::uint8_t>(screen.begin(), screen.end()), {}, {}};
}

std::array<std::uint8_t, 14> HeaderBytes(const ArchivedFile& file) {
  if (file.name.size() > 8) throw std::length_error("name longer than 8 bytes: " + file.name);
  std::array<std::uint8_t, 14> header{};
  std::fill_n(header.begin(), 8, std::uint8_t{' '});
  std::copy(file.name.begin(), file.name.end(), header.begin());
  header[8] = file.extension;
  header[9] = static_cast<std::uint8_t>(file.start & 0xFF);
  header[10] = static_cast<std::uint8_t>(file.start >> 8);
  header[11] = static_cast<std::uint8_t>(file.Length() & 0xFF);
  header[12] = static_cast<std::uint8_t>(file.Length() >> 8);
  header[13] = file.SectorCount();
  return header;
}

std::vector<std::uint8_t> BuildScl(std::span<const ArchivedFile> files) {
  std::vector<std::uint8_t> scl = {
      'S', 'I', 'N', 'C', 'L', 'A', 'I', 'R', static_cast<std::uint8_t>(files.size())};
  for (const ArchivedFile& file : files) Append(scl, HeaderBytes(file));
  for (const ArchivedFile& file : files) AppendSectors(scl, file);
  std::uint32_t sum = 0;
  for (const std::uint8_t byte : scl) sum += byte;
  for (int shift = 0; shift < 32; shift += 8)
    scl.push_back(static_cast<std::uint8_t>(sum >> shift));
  return scl;
}

std::uint16_t ExpectedHobetaChecksum(std::span<const std::uint8_t> header) {
  std::uint32_t value = 105;
  for (std::size_t i = 0; i < 15; ++i) value += 257u * header[i];
  return static_cast<std::uint16_t>(value % 65536);
}

std::vector<std::uint8_t> BuildHobeta(const ArchivedFile& file) {
  const auto entry = HeaderBytes(file);
  std::vector<std::uint8_t> hobeta(entry.begin(), entry.begin() + 13);
  hobeta.push_back(0);
  hobeta.push_back(file.SectorCount());
  const std::uint16_t checksum = ExpectedHobetaChecksum(hobeta);
  hobeta.push_back(static_cast<std::uint8_t>(checksum & 0xFF));
  hobeta.push_back(static_cast<std::uint8_t>(checksum >> 8));
  AppendSectors(hobeta, file);
  return hobeta;
}

std::string TestdataPath(const std::string& relative) {
  return std::string(ORLASPIN_TESTDATA) + "/" + relative;
}

ScreenBytes RealScreen(const std::string& scrName) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(TestdataPath("scr/" + scrName));
  if (bytes.size() != kScreenBytes) throw std::runtime_error(scrName + " is no 6912-byte screen");
  ScreenBytes screen;
  std::copy(bytes.begin(), bytes.end(), screen.begin());
  return screen;
}

}  // namespace orlaspin::testing
