// Writes the seeds of container_fuzzer's tape and snapshot rows into <folder>/container_fuzzer/:
// tapes and snapshots made by the tests' builders, whole, cut short and damaged.
#include <filesystem>
#include <iostream>
#include <string>

#include "container_fuzz_rows.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "tape_builders.h"
#include "test_files.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

Bytes Cut(Bytes bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

Bytes Tap() {
  std::vector<Bytes> blocks = SavedScreen("pic", ColourfulScreen(1));
  blocks.push_back(HeaderBlock(0, "loader", 20, 10, 20));
  blocks.push_back(LoadedBlock(0xFF, Bytes(20, 0x31)));
  blocks.push_back(LoadedBlock(0xFF, ScreenPayload(ColourfulScreen(2))));
  blocks.push_back(HeaderBlock(3, "alone", 6912, 16384));
  return BuildTap(blocks);
}

Bytes Tzx() {
  const Bytes screen = LoadedBlock(0xFF, ScreenPayload(ColourfulScreen(3)));
  TzxBuilder tzx;
  for (const Bytes& block : SavedScreen("pic", ColourfulScreen(4))) tzx.StandardSpeed(block);
  return tzx.Blocks(SkippedTzxBlocks())
      .TurboSpeed(screen)
      .PureData(screen, 7)
      .GeneralizedData(screen, true)
      .FourSymbolData(Bytes(8, 0x1B))
      .ScreenInfo("title", 2, ColourfulScreen(5))
      .Build();
}

Bytes TzxWithSnapshots() {
  return TzxBuilder()
      .Snapshot(0, BuildZ80Version1(Ram48(RunsScreen(6)), 1, true))
      .Snapshot(1, Cut(BuildSna48(Ram48(ColourfulScreen(7)), 2), 8000))
      .Build();
}

Bytes Pzx() {
  PzxBuilder pzx;
  for (const Bytes& block : SavedScreen("pic", ColourfulScreen(8))) pzx.Data(block);
  return pzx.Block("PULS", {0x10, 0x00, 0x1B, 0x00})
      .Data(LoadedBlock(0xFF, Bytes(100, 5)), 799)
      .Block("STOP", {0, 0})
      .Build();
}

std::vector<Z80Page> Pages128(bool compressed) {
  const auto banks = DistinctBanks();
  std::vector<Z80Page> pages;
  for (std::uint8_t bank = 0; bank < 8; ++bank) {
    pages.push_back({static_cast<std::uint8_t>(bank + 3), banks[bank], compressed});
  }
  return pages;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  const auto write = [&](const std::string& row, const std::string& name, const Bytes& image) {
    std::filesystem::create_directories(PathFromUtf8(folder + "/container_fuzzer"));
    WriteFileBytes(folder + "/container_fuzzer/" + row + "-" + name, ContainerFuzzSeed(row, image));
  };

  const Bytes tap = Tap();
  write("tap", "files", tap);
  write("tap", "cut", Cut(tap, tap.size() / 2));
  Bytes damaged = tap;
  damaged[3000] ^= 0x55;
  write("tap", "checksum", damaged);

  const Bytes tzx = Tzx();
  write("tzx", "blocks", tzx);
  write("tzx", "snapshots", TzxWithSnapshots());
  write("tzx", "cut", Cut(tzx, 7000));

  const Bytes pzx = Pzx();
  write("pzx", "blocks", pzx);
  write("pzx", "cut", Cut(pzx, pzx.size() - 3000));

  const auto banks = DistinctBanks();
  write("sna", "48k", BuildSna48(Ram48(ColourfulScreen(9)), 3));
  write("sna", "128k-shadow", BuildSna128(banks, 0x0F, 4));
  write("sna", "128k-paged-twice", BuildSna128(banks, 0x0A, 5));

  write("z80", "v1-compressed", BuildZ80Version1(Ram48(RunsScreen(10)), 6, true));
  write("z80", "v1-stored", Cut(BuildZ80Version1(Ram48(RunsScreen(11)), 7, false), 9000));
  write("z80", "v2-128k", BuildZ80Version2Or3(23, 3, 0x08, 1, Pages128(true)));
  const Z80Page stored[] = {{4, Bytes(kPageSize, 0xED)},
                            {8, PageWithScreen(RunsScreen(12)), false}};
  write("z80", "v3-stored", BuildZ80Version2Or3(54, 0, 0, 2, stored));

  const SzxPage raw[] = {{5, banks[5]}, {7, banks[7]}};
  const SzxPage packed[] = {{7, banks[7], true}, {5, banks[5], true}};
  write("szx", "raw", BuildSzx(1, SzxSpecRegs{3, 0}, raw));
  write("szx", "zlib-shadow", BuildSzx(2, SzxSpecRegs{4, 0x08}, packed));

  // Every screen with the palette and the 640 x 256 one; then the ULA screen alone, cut.
  const ScreenBytes ula = ColourfulScreen(13);
  const Bytes screen(ula.begin(), ula.end()), timex(12288, 0x5A);
  const std::vector<Bytes> all = {
      Bytes(512, 0x4D), Bytes(49152, 0x2A), screen, timex, timex, timex, Bytes(81920, 0x96)};
  write("nex", "all-screens", BuildNex({"V1.3", 0x5F, 2, 0x13, 2}, all));
  write("nex", "cut", Cut(BuildNex({"V1.1", 0x82, 1}, std::vector<Bytes>{screen}), 5000));
  return 0;
}
