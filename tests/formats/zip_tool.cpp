// The ZIP reader seen from outside, for check_zip_with_python.py, which compares it with Python's
// zipfile:
//   zip_tool build FOLDER    writes archives made by the test builder into FOLDER
//   zip_tool list FILE...    prints what the reader finds in each file, one line per fact:
//     archive HEXPATH | warning TEXT | failure TEXT |
//     member HEXNAME SIZE CRC ENCRYPTED (ok HEXDATA | refused PROBLEM)
// fields separated by tabs, names and data in hexadecimal.
#include <iostream>
#include <string>
#include <vector>

#include "containers/collection.h"
#include "containers/zip_archive.h"
#include "screens.h"
#include "test_files.h"
#include "zip_builder.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;
using Bytes = std::vector<std::uint8_t>;

std::string Hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const std::uint8_t byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

std::string Hex(const std::string& text) {
  return Hex(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Bytes Screen(std::uint32_t seed) {
  const ScreenBytes screen = ColourfulScreen(seed);
  return {screen.begin(), screen.end()};
}

// Names whose bytes are all of code page 437's upper half, 16 to a name.
std::vector<ZipEntry> HighByteNames() {
  std::vector<ZipEntry> entries;
  for (int first = 0x80; first < 0x100; first += 16) {
    std::string name;
    for (int byte = first; byte < first + 16; ++byte) name += static_cast<char>(byte);
    entries.push_back({.name = name + ".scr", .data = SampleBytes(50, first)});
  }
  entries.push_back(
      {.name = "\xD0\x98\xD0\x93\xD0\xA0\xD0\x90.scr", .data = Screen(1), .utf8Name = true});
  return entries;
}

std::vector<ZipEntry> Faults() {
  const Bytes screen = Screen(2);
  const Bytes deflated = RawDeflate(screen);
  return {
      {.name = "good.scr", .data = screen},
      {.name = "encrypted.scr", .data = screen, .encrypted = true},
      {.name = "bad-crc.scr", .data = screen, .crc = 12345},
      {.name = "method-99.scr", .data = screen, .method = 99},
      {.name = "broken.scr", .data = screen, .storedBytes = Bytes{0xFF, 0xFF, 0xFF}},
      {.name = "claims-less.scr", .data = screen, .size = 6000},
      {.name = "claims-more.scr", .data = screen, .size = 7000},
      {.name = "stored-sizes.scr", .data = screen, .deflate = false, .size = 6000},
      {.name = "cut.scr",
       .data = screen,
       .storedBytes = Bytes(deflated.begin(), deflated.end() - 9)},
      {.name = "last-good.trd", .data = SampleBytes(3000, 9), .deflate = false},
  };
}

void WriteBuilderArchives(const std::string& folder) {
  const auto write = [&](const std::string& name, const std::vector<ZipEntry>& entries,
                         const ZipLayout& layout = {}) {
    WriteFileBytes(folder + "/" + name, BuildZip(entries, layout));
  };
  const std::vector<ZipEntry> plain = {
      {.name = "GAMES/", .deflate = false},
      {.name = "GAMES/A.trd", .data = SampleBytes(20000, 1)},
      {.name = "PIC.scr", .data = Screen(3), .deflate = false},
      {.name = "EMPTY", .deflate = false},
      {.name = "EMPTY.def"},
  };
  const std::vector<ZipEntry> descriptors = {
      {.name = "A.scr", .data = Screen(4), .descriptor = true},
      {.name = "B.scr", .data = Screen(5), .descriptor = true, .descriptorSignature = false},
      {.name = "C.trd", .data = SampleBytes(9000, 6), .deflate = false, .descriptor = true},
  };
  Bytes stub = {'M', 'Z'};
  stub.resize(4000, 0x90);
  write("builder-plain.zip", plain);
  write("builder-descriptors.zip", descriptors);
  write("builder-zip64.zip", plain, {.zip64 = true});
  write("builder-zip64-descriptors.zip", descriptors, {.zip64 = true});
  write("builder-prefixed.zip", plain, {.prefix = stub});
  write("builder-prefixed-zip64.zip", descriptors, {.zip64 = true, .prefix = stub});
  write("builder-names.zip", HighByteNames());
  write("builder-faults.zip", Faults());
  write("builder-comment.zip", plain, {.comment = "see PK\x05\x06 inside"});
  write("builder-local-extra.zip",
        {{.name = "A.scr", .data = Screen(7), .localExtra = {0x55, 0x54, 1, 0, 1}},
         {.name = "B.scr", .data = Screen(8), .deflate = false, .localExtra = {9, 9, 0, 0}}});
  write("builder-nested.zip",
        {{.name = "inner.zip", .data = BuildZip(plain)}, {.name = "after.scr", .data = Screen(9)}});
}

void List(const std::string& path) {
  std::cout << "archive\t" << Hex(path) << '\n';
  const Bytes archive = ReadFileBytes(path);
  ZipListing listing;
  try {
    listing = ListZipMembers(archive);
  } catch (const ImageFormatError& error) {
    std::cout << "failure\t" << error.Message() << '\n';
    return;
  }
  for (const Warning& warning : listing.warnings) {
    std::cout << "warning\t" << WarningText(warning) << '\n';
  }
  for (const ZipMember& member : listing.members) {
    const ZipMemberData data = ExtractZipMember(archive, member);
    std::cout << "member\t" << Hex(member.name) << '\t' << member.size << '\t' << member.crc << '\t'
              << (member.IsEncrypted() ? 1 : 0) << '\t';
    if (!data.problem) {
      std::cout << "ok\t" << Hex(data.bytes) << '\n';
    } else {
      std::cout << "refused\t" << WarningText(*data.problem) << '\n';
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "build") {
    WriteBuilderArchives(args[1]);
    return 0;
  }
  if (args.size() >= 2 && args[0] == "list") {
    for (std::size_t i = 1; i < args.size(); ++i) List(args[i]);
    return 0;
  }
  std::cerr << "usage: zip_tool build FOLDER | zip_tool list FILE...\n";
  return 2;
}
