// Tapes and snapshots through the image reader and through orlaspin-cli.
#include <gtest/gtest.h>

#include <sstream>

#include "archive_builders.h"
#include "cli.h"
#include "cli_run.h"
#include "containers/image_reader.h"
#include "oracle.h"
#include "screens.h"
#include "snapshot_builders.h"
#include "tape_builders.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

Bytes SampleTap() { return BuildTap(SavedScreen("pic", ColourfulScreen(1))); }
Bytes SampleZ80() { return BuildZ80Version1(Ram48(ColourfulScreen(1)), 0, true); }

TEST(ReadTapesAndSnapshots, TheExtensionDecidesAndContentOnlyWhatItCanProve) {
  // A snapshot is named after its file, without the folder and the extension.
  EXPECT_EQ(ReadCollection("dir/Game One.z80", SampleZ80()).files[0].name, "Game One");
  EXPECT_THROW(ReadCollection("a.tzx", SampleTap()), ImageFormatError);
  EXPECT_EQ(ReadCollection("REDPLANET", ReadFileBytes(TestdataPath("tap/REDPLANET_EN.TAP"))).kind,
            ImageKind::Tap);
  // A tape of a snapshot's size is still a tape.
  const Bytes block = LoadedBlock(0xFF, Bytes(49179 - 4, 0x5A));
  EXPECT_EQ(ReadCollection("a.bin", BuildTap(std::span(&block, 1))).kind, ImageKind::Tap);
  Bytes brokenTap = SampleTap();
  brokenTap.pop_back();
  EXPECT_THROW(ReadCollection("a.bin", brokenTap), ImageFormatError);
}

TEST(TapesAndSnapshotsCli, ARealTapeListsItsFilesAndExportsItsScreen) {
  const std::string tape = TestdataPath("tap/REDPLANET_EN.TAP");
  const CliRun list = Cli({"list", tape});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out,
            "REDPLANET\tProgram\t\t66\t24\n"
            "screen\tBytes\t16384\t6912\t115\n"
            "main\tBytes\t24200\t35925\t7052\n");
  TempFolder output;
  const CliRun run = Cli({"export", tape, "--output-dir", output.Path()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "screen.bmp\n1 screen exported\n");
  EXPECT_EQ(
      FirstDifference(ReadFileBytes(output.File("screen.bmp")),
                      OracleBitmapFile(RealScreen("salvakantero_RedPlanet_ZX__gfx_loading.scr"))),
      "");
}

TEST(TapesAndSnapshotsCli, SnapshotsExportUnderTheirFileNamesAndWarningsShow) {
  TempFolder input, output;
  const ScreenBytes screen = RunsScreen(7);
  const std::string z80 = input.File("jet pac.z80");
  WriteFileBytes(z80, BuildZ80Version1(Ram48(screen), 2, true));
  const std::string tzx = input.File("cut.tzx");
  const Bytes tape = TzxBuilder().Snapshot(1, BuildSna48(Ram48(ColourfulScreen(8)), 0)).Build();
  WriteFileBytes(tzx, Bytes(tape.begin(), tape.end() - 40000));

  const CliRun run = Cli({"export", z80, tzx, "--output-dir", output.Path()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "jet pac.bmp\n"  // a snapshot is one picture, with no folder of its own
            "cut/cut-block1.bmp\n"
            "2 screens exported from 2 images\n");
  EXPECT_EQ(run.err, "orlaspin-cli: warning: " + tzx +
                         ": block 1: an SNA snapshot of 9179 bytes, not 49179, 131103 or 147487\n"
                         "orlaspin-cli: warning: " +
                         tzx + ": tape cut short in block 1\n");
  EXPECT_EQ(FirstDifference(ReadFileBytes(output.File("jet pac.bmp")), OracleBitmapFile(screen)),
            "");
  EXPECT_EQ(FirstDifference(ReadFileBytes(output.File("cut/cut-block1.bmp")),
                            OracleBitmapFile(ColourfulScreen(8))),
            "");
}

}  // namespace
}  // namespace orlaspin::testing
