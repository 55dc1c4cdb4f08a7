// Disk images as the program meets them: chosen by extension or content, listed and exported by
// orlaspin-cli.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "archive_builders.h"
#include "cli.h"
#include "containers/image_reader.h"
#include "disk_builders.h"
#include "disk_samples.h"
#include "oracle.h"
#include "screens.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

DiskRecord SampleDisk() { return TrDosDisk(SampleTrDosImage(), kSampleCylinders, kSampleHeads); }

std::vector<Plus3File> Plus3Files() {
  return {Plus3Screen("TITLE", ColourfulScreen(5)),
          {"BOOT", "", std::uint8_t{0}, 10, Bytes(100, 7), 0},
          Plus3Screen("LEVEL1", RealScreen("nzeemin_desolate__loading.scr"))};
}

TEST(ReadingDisks, ANamedKindIsReadAsThatKindWhateverTheContent) {
  const Bytes trd = SampleTrDosImage();
  EXPECT_EQ(FormatErrorOf([&] { ReadCollection("a.fdi", trd); }).substr(0, 20),
            "not an FDI disk imag");
  EXPECT_EQ(FormatErrorOf([&] { ReadCollection("a.dsk", BuildFdi(SampleDisk())); }).substr(0, 18),
            "not a DSK disk ima");
  // The TR-DOS identifier of the linear image still tells a disk of unknown extension.
  EXPECT_EQ(ReadCollection("a.img", trd).kind, ImageKind::TrdImage);
}

TEST(ReadingDisks, ATd0IsKnownByContentOnlyWithItsHeadersCrc) {
  Bytes td0 = BuildTd0(SampleDisk());
  td0[8] ^= 1;
  EXPECT_EQ(ReadCollection("a.td0", td0).kind, ImageKind::Td0);
  EXPECT_NE(FormatErrorOf([&] { ReadCollection("a.img", td0); }), "");
}

class DiskCliTest : public ::testing::Test {
 protected:
  struct Run {
    int status;
    std::string out, err;
  };

  static Run Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCli(args, out, err, false);
    return {status, out.str(), err.str()};
  }

  std::string Put(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = input.File(name);
    WriteFileBytes(path, bytes);
    return path;
  }

  TempFolder input;
  TempFolder output;
};

TEST_F(DiskCliTest, ListsAndExportsTheScreensOfTheRealTd0Disk) {
  const std::string path = TestdataPath("td0/40.TD0");
  const Run list = Cli({"list", path});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.err, "");
  EXPECT_NE(list.out.find("\nTIGER   \tC\t16384\t6912\t574976\n"), std::string::npos) << list.out;
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 21);

  const Run exported = Cli({"export", path, "--output-dir", output.Path()});
  EXPECT_EQ(exported.status, 0);
  EXPECT_EQ(exported.out, "TIGER.bmp\nCHAOS+.bmp\nCHAOS.bmp\n3 screens exported\n");
  EXPECT_EQ(output.Names(), (std::vector<std::string>{"CHAOS+.bmp", "CHAOS.bmp", "TIGER.bmp"}));
}

TEST_F(DiskCliTest, ExportsTheScreensOfA3DosDiskByTheirDirectoryNames) {
  const auto files = Plus3Files();
  const std::string path = Put("game.dsk", BuildDsk(Plus3Disk(files), false));
  const Run list = Cli({"list", path});
  // The screens' data follow their 128-byte headers; BOOT is two records after the first.
  const std::string boot = std::to_string(7040 + 128);
  const std::string level1 = std::to_string(7040 + 256 + 128);
  EXPECT_EQ(list.out, "TITLE.SCR\tBytes\t16384\t6912\t128\nBOOT\tProgram\t10\t100\t" + boot +
                          "\nLEVEL1.SCR\tBytes\t16384\t6912\t" + level1 + "\n");

  const Run exported = Cli({"export", path, "--output-dir", output.Path()});
  EXPECT_EQ(exported.status, 0);
  EXPECT_EQ(exported.out, "TITLE.SCR.bmp\nLEVEL1.SCR.bmp\n2 screens exported\n");
  EXPECT_EQ(FirstDifference(ReadFileBytes(output.File("TITLE.SCR.bmp")),
                            OracleBitmapFile(ColourfulScreen(5))),
            "");
  EXPECT_EQ(FirstDifference(ReadFileBytes(output.File("LEVEL1.SCR.bmp")),
                            OracleBitmapFile(RealScreen("nzeemin_desolate__loading.scr"))),
            "");
}

TEST_F(DiskCliTest, DamageIsWarnedOfAndAnotherSystemsDiskIsAnError) {
  DiskRecord disk = SampleDisk();
  disk.Sector(1, 0, 1).crcError = true;
  const std::string damaged = Put("damaged.fdi", BuildFdi(disk));
  const std::string isdos = TestdataPath("fdi/BASE.FDI");
  const Run run = Cli({"export", damaged, isdos, "--output-dir", output.Path()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "damaged/FIRST.bmp\ndamaged/REAL.bmp\n2 screens exported from 1 image, 1 failed\n");
  const std::string warning =
      "file \"FIRST   \": 1 of 27 sectors damaged (CRC error or cut short), read as recorded";
  const std::string error =
      "not a TR-DOS disk: track 0 has no 256-byte sector 9, where TR-DOS keeps its disk "
      "information.";
  EXPECT_EQ(run.err, "orlaspin-cli: warning: " + damaged + ": " + warning +
                         "\norlaspin-cli: " + isdos + ": " + error + "\n");
  EXPECT_EQ(FirstDifference(ReadFileBytes(output.Path() + "/damaged/FIRST.bmp"),
                            OracleBitmapFile(ColourfulScreen(1))),
            "");
}

}  // namespace
}  // namespace orlaspin::testing
