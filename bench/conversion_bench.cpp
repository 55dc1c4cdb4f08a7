// How fast one screen is decoded and saved, and a full disk exported.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

#include "bench_disk.h"
#include "containers/hidden_screens.h"
#include "containers/image_reader.h"
#include "encoders/bitmap_file.h"
#include "containers/catalogue.h"
#include "export/collection_export.h"
#include "io/disk_file.h"
#include "listed_image.h"
#include "packers.h"
#include "screens/screen.h"
#include "test_files.h"

namespace orlaspin {
namespace {

void DecodeOneScreen(benchmark::State& state) {
  const ScreenBytes screen = testing::ColourfulScreen(1);
  Picture picture = ScreenPicture(screen, kZxPaletteColours);
  for (auto _ : state) {
    DecodeScreen(screen, kZxPaletteColours, picture.pixels);
    benchmark::DoNotOptimize(picture.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(DecodeOneScreen);

void EncodeOneBitmap(benchmark::State& state) {
  const Picture picture = ScreenPicture(testing::ColourfulScreen(2), kZxPaletteColours);
  for (auto _ : state) {
    benchmark::DoNotOptimize(EncodeBitmap(picture.pixels, picture.width, picture.height));
  }
}
BENCHMARK(EncodeOneBitmap);

class NoView final : public ExportView {
 public:
  void FileWritten(const std::string&) override {}
};

// The batch from the image on disk to the bitmap files on disk, into an empty folder each time.
void ExportFullDisk(benchmark::State& state) {
  testing::TempFolder folder;
  testing::ListedImage program;
  const std::string image = folder.File("full.trd");
  bench::ScreenDisk(bench::kScreensOnFullDisk).WriteTo(image);
  testing::OpenImage(program, SystemFileSystem(), image);
  NoView view;
  const std::string output = folder.File("out");
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string into = output + std::to_string(round++);
    std::filesystem::create_directory(testing::PathFromUtf8(into));
    state.ResumeTiming();
    benchmark::DoNotOptimize(testing::ExportListed(program, SystemFileSystem(), view, into));
    state.PauseTiming();
    std::filesystem::remove_all(testing::PathFromUtf8(into));
    state.ResumeTiming();
  }
  state.counters["screens"] = bench::kScreensOnFullDisk;
}
BENCHMARK(ExportFullDisk)->Unit(benchmark::kMillisecond);

// export --unpack's trial on a full 640 KB disk of 128 files: 16 packed screens (ZX0) and 112
// files of other bytes, each tried with every unpacker.
void UnpackTrialFullDisk(benchmark::State& state) {
  testing::TrdBuilder disk;
  for (int i = 0; i < 128; ++i) {
    const auto seed = static_cast<std::uint32_t>(i);
    std::vector<std::uint8_t> data = testing::PseudoRandomBytes(seed, 4864);
    if (i % 8 == 0) {
      const ScreenBytes screen = testing::ColourfulScreen(seed);
      data.assign(kScreenBytes, 0);
      std::copy_n(screen.begin(), 1024, data.begin());
      data = testing::TestPackers().front().pack(data);
    }
    disk.AddFile(std::to_string(1000 + i), 'C', data, 32768);  // names 1000 to 1127
  }
  const std::vector<std::uint8_t> image = disk.AddDiskInfo("TRIAL").Build();
  int found = 0;
  for (auto _ : state) {
    Collection collection = ReadCollection("trial.trd", image);
    RevealHiddenScreens(collection, image, {true, false});
    found = static_cast<int>(collection.revealed.size() / kScreenBytes);
  }
  state.counters["found"] = found;
}
BENCHMARK(UnpackTrialFullDisk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orlaspin
