// Writes the seed corpus of the ZIP fuzz target into FOLDER: archives of the test builder, whole,
// cut short, with damaged records and inside one another.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "zip_builder.h"

namespace {

using namespace orlaspin::testing;
using Bytes = std::vector<std::uint8_t>;

Bytes Cut(Bytes bytes, std::size_t size) {
  bytes.resize(std::min(bytes.size(), size));
  return bytes;
}

std::vector<ZipEntry> Members() {
  return {
      {.name = "DIR/", .deflate = false},
      {.name = "DIR/A.trd", .data = SampleBytes(3000, 1)},
      {.name = "PIC.scr", .data = SampleBytes(6912, 2), .deflate = false},
      {.name = "B.scr", .data = SampleBytes(700, 3), .descriptor = true},
      {.name = "C.scr",
       .data = SampleBytes(500, 4),
       .descriptor = true,
       .descriptorSignature = false},
      {.name = "\x80\xFF.scr", .data = SampleBytes(100, 5), .localExtra = {0x55, 0x54, 1, 0, 7}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const auto write = [&](const std::string& name, const Bytes& bytes) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "cannot write seed " << name << '\n';
      std::exit(1);
    }
  };

  const std::vector<ZipEntry> members = Members();
  const Bytes plain = BuildZip(members);
  const Bytes zip64 = BuildZip(members, {.zip64 = true});
  write("empty", BuildZip({}));
  write("plain", plain);
  write("zip64", zip64);
  write("prefixed", BuildZip(members, {.zip64 = true, .prefix = Bytes(300, 'M')}));
  write("comment", BuildZip(members, {.comment = "PK\x05\x06 in a comment"}));
  write("cut-directory", Cut(plain, plain.size() - 30));
  write("cut-data", Cut(plain, plain.size() / 2));
  write("cut-zip64", Cut(zip64, zip64.size() - 60));

  const Bytes screen = SampleBytes(6912, 9);
  write("faults", BuildZip(std::vector<ZipEntry>{
                      {.name = "enc", .data = screen, .encrypted = true},
                      {.name = "crc", .data = screen, .crc = 1},
                      {.name = "method", .data = screen, .method = 14},
                      {.name = "broken", .data = screen, .storedBytes = Bytes{0xFF, 0xFF}},
                      {.name = "less", .data = screen, .size = 100},
                      {.name = "more", .data = screen, .size = 0xFFFFFFF0},
                  }));
  const std::vector<ZipEntry> inner = {{.name = "inner.zip", .data = plain},
                                       {.name = "stored.zip", .data = zip64, .deflate = false}};
  write("nested", BuildZip(std::vector<ZipEntry>{{.name = "mid.zip", .data = BuildZip(inner)}}));
  return 0;
}
