// The real programs: orlaspin-sample-image writes the sample disk, orlaspin-cli lists and
// exports it, each in a process of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "oracle.h"
#include "sample_disk.h"
#include "test_files.h"

namespace orlaspin {
namespace {

struct Outcome {
  int status;
  std::string output;  // standard output and standard error
};

Outcome Shell(const std::string& command) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return {-1, "cannot start " + command};
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, got);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

TEST(EndToEnd, TheSampleDiskIsListedAndExported) {
  testing::TempFolder folder;
  const std::string image = folder.File("sample.trd");
  const std::string cli = Quoted(ORLASPIN_CLI);
  ASSERT_EQ(Shell(Quoted(ORLASPIN_SAMPLE_IMAGE) + " " + Quoted(image)).status, 0);

  const Outcome list = Shell(cli + " list " + Quoted(image));
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.output,
            "TESTCARD\tC\t16384\t6912\t4096\n"
            "HELLO   \tC\t16384\t6912\t11008\n"
            "PATTERNS\tC\t16384\t6912\t17920\n"
            "README  \tB\t0\t87\t24832\n");

  const std::string out = folder.File("out");
  std::filesystem::create_directory(testing::PathFromUtf8(out));
  const Outcome exported = Shell(cli + " export " + Quoted(image) + " --output-dir " + Quoted(out));
  EXPECT_EQ(exported.status, 0);
  EXPECT_EQ(exported.output, "TESTCARD.bmp\nHELLO.bmp\nPATTERNS.bmp\n3 screens exported\n");
  for (const auto& [name, screen] : sample::SampleScreens()) {
    EXPECT_EQ(testing::FirstDifference(testing::ReadFileBytes(out + "/" + name + ".bmp"),
                                       testing::OracleBitmapFile(screen)),
              "")
        << name;
  }

  const Outcome again = Shell(cli + " export " + Quoted(image) + " --output-dir " + Quoted(out));
  EXPECT_EQ(again.output, "TESTCARD1.bmp\nHELLO1.bmp\nPATTERNS1.bmp\n3 screens exported\n");

  const Outcome missing = Shell(cli + " export " + Quoted(folder.File("none.trd")));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.output, "orlaspin-cli: " + folder.File("none.trd") + ": File not found.\n");
}

}  // namespace
}  // namespace orlaspin
