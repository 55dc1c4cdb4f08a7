// Writes the seeds of container_fuzzer's disk image rows into <folder>/container_fuzzer/: small
// disks made by the disk builders, whole, damaged and cut short.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "container_fuzz_rows.h"
#include "disk_builders.h"
#include "screens.h"
#include "trd_builder.h"

namespace {

using namespace orlaspin::testing;
using Bytes = std::vector<std::uint8_t>;

// An image for container_fuzzer's row of its kind.
void Write(const std::filesystem::path& folder, const std::string& row, const std::string& name,
           std::span<const std::uint8_t> image) {
  const Bytes bytes = ContainerFuzzSeed(row, image);
  std::filesystem::create_directories(folder / "container_fuzzer");
  std::ofstream out(folder / "container_fuzzer" / (row + "-" + name),
                    std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write seed " + name);
}

Bytes Half(Bytes bytes) {
  bytes.resize(bytes.size() / 2);
  return bytes;
}

// Two cylinders of two sides: the catalogue, a screen and a short file.
DiskRecord SmallTrDosDisk() {
  const std::uint8_t basic[] = {0, 10, 5, 0, 0xEF, 0x22, 0x22, 0xAF, 0x0D};
  const Bytes linear = TrdBuilder(4 * kSectorsPerTrack * kSectorSize)
                           .AddScreen("SCREEN", ColourfulScreen(1))
                           .AddFile("boot", 'B', basic, 10)
                           .AddDiskInfo("SEED")
                           .Build();
  return TrDosDisk(linear, 2, 2);
}

// Sectors lost, recorded with errors and made up, as damaged disks have them.
DiskRecord DamagedTrDosDisk() {
  DiskRecord disk = SmallTrDosDisk();
  disk.Sector(0, 1, 3).crcError = true;
  disk.Sector(1, 0, 4).data.clear();
  disk.Track(1, 1).push_back({9, 9, 247, 247, {}, false});
  disk.Track(1, 1).push_back({1, 1, 5, 1, Bytes(256, 0x5A), false});
  return disk;
}

std::vector<Plus3File> Plus3Files() {
  return {Plus3Screen("PIC", ColourfulScreen(2)),
          {"BOOT", "", std::uint8_t{0}, 10, Bytes(200, 1), 0},
          {"RAW", "BIN", std::nullopt, 0, Bytes(300, 2), 3}};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FOLDER\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const DiskRecord disk = SmallTrDosDisk();
  const DiskRecord damaged = DamagedTrDosDisk();

  Write(folder, "fdi", "small", BuildFdi(disk));
  Write(folder, "fdi", "damaged", BuildFdi(damaged));
  Write(folder, "fdi", "cut", Half(BuildFdi(disk)));

  Write(folder, "udi", "raw-tracks", BuildUdi(disk, {{1, 2, 3}, false}));
  Write(folder, "udi", "compressed", BuildUdi(damaged, {{}, true}));
  Write(folder, "udi", "cut", Half(BuildUdi(disk, {{}, true})));

  Write(folder, "td0", "small", BuildTd0(disk, {"seed", false}));
  Write(folder, "td0", "damaged", BuildTd0(damaged));
  Write(folder, "td0", "cut", Half(BuildTd0(disk)));

  const auto files = Plus3Files();
  const Plus3Format small{.tracksPerSide = 4};
  Write(folder, "dsk", "plus3-standard", BuildDsk(Plus3Disk(files, small), false));
  Write(folder, "dsk", "plus3-extended", BuildDsk(Plus3Disk(files, small), true));
  Write(
      folder, "dsk", "plus3-double-sided",
      BuildDsk(Plus3Disk(files,
                         {.sides = 2, .tracksPerSide = 3, .blockSize = 2048, .directoryBlocks = 1}),
               true));
  Write(folder, "dsk", "trdos", BuildDsk(damaged, true));
  Write(folder, "dsk", "cut", Half(BuildDsk(Plus3Disk(files, small), false)));
  return 0;
}
