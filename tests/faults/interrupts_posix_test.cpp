// orlaspin-cli stopped by real signals at random moments while it writes its files: a file under
// its final name is always complete, and a signal the program handles leaves no temporary file
// either.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "export_check.h"
#include "screens.h"
#include "test_files.h"
#include "trd_builder.h"

namespace orlaspin::testing {
namespace {

constexpr int kScreens = 4;
constexpr int kScale = 2;
constexpr std::size_t kFileSize = 54 + std::size_t{256 * kScale} * (192 * kScale) * 4;

// Starts the export as a terminal would: the interrupts at their defaults, whatever the test
// runner ignores.
pid_t StartExport(const std::string& image, const std::string& out) {
  const pid_t child = ::fork();
  if (child == 0) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::signal(signal, SIG_DFL);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, STDOUT_FILENO) < 0) ::_exit(126);
    ::execl(ORLASPIN_CLI, ORLASPIN_CLI, "export", "--scale", std::to_string(kScale).c_str(), "-o",
            out.c_str(), image.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return child;
}

// How the export ended: "exit N" or "signal N".
std::string Wait(pid_t child) {
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return "lost";
  if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
  return "exit " + std::to_string(WEXITSTATUS(status));
}

// Tells when files are created in a folder: the moments a file's writing begins.
class Creations {
 public:
  explicit Creations(const std::string& folder) : watch_(::inotify_init1(IN_CLOEXEC)) {
    ::inotify_add_watch(watch_, folder.c_str(), IN_CREATE);
  }
  ~Creations() { ::close(watch_); }
  Creations(const Creations&) = delete;
  Creations& operator=(const Creations&) = delete;

  // Waits until count files in all have been created; false after a minute without one.
  bool WaitFor(int count) {
    alignas(inotify_event) char buffer[4096];
    while (seen_ < count) {
      pollfd ready{watch_, POLLIN, 0};
      if (::poll(&ready, 1, 60000) != 1) return false;
      const ssize_t got = ::read(watch_, buffer, sizeof buffer);
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        seen_ += (event->mask & IN_CREATE) != 0;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return true;
  }

 private:
  int watch_;
  int seen_ = 0;
};

bool IsTemporaryName(const std::string& name) {
  return name.starts_with(".orlaspin-") && name.ends_with(".tmp");
}

TEST(Interrupts, ASignalWhileAFileIsWrittenLeavesOnlyCompleteFilesUnderTheirNames) {
  TempFolder place;
  TrdBuilder builder;
  for (int i = 0; i < kScreens; ++i) builder.AddScreen("S" + std::to_string(i), ColourfulScreen(i));
  const std::string image = place.File("long.trd");
  builder.AddDiskInfo("LONG").WriteTo(image);

  const std::string whole = place.File("whole");
  ASSERT_EQ(Wait(StartExport(image, whole)), "exit 0");
  const FolderContents complete = ReadFolder(whole);
  ASSERT_EQ(complete.size(), static_cast<std::size_t>(kScreens));
  for (const auto& [name, bytes] : complete) ASSERT_EQ(bytes->size(), kFileSize) << name;

  std::random_device seeds;
  const unsigned seed = seeds();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> file(1, kScreens);
  // A file of this size is written in a few milliseconds.
  std::uniform_int_distribution<int> moment(0, 1500);
  int stopped = 0;
  for (int trial = 0; trial < 12; ++trial) {
    const int signal = std::array{SIGINT, SIGTERM, SIGHUP, SIGKILL}[trial % 4];
    const std::string out = place.File("trial" + std::to_string(trial));
    std::filesystem::create_directory(PathFromUtf8(out));
    Creations creations(out);
    const pid_t child = StartExport(image, out);
    const bool begun = creations.WaitFor(file(random));
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(child, signal);
    const std::string ending = Wait(child);
    SCOPED_TRACE("trial " + std::to_string(trial) + ", " + ending);
    ASSERT_TRUE(begun);
    ASSERT_TRUE(ending == "exit 0" || ending == "signal " + std::to_string(signal));
    stopped += ending != "exit 0";
    for (const auto& [name, bytes] : ReadFolder(out)) {
      if (complete.contains(name)) {
        EXPECT_TRUE(bytes == complete.at(name)) << name << " is not the complete file";
      } else {
        // Only a signal that cannot be handled leaves the file it interrupted.
        EXPECT_TRUE(signal == SIGKILL && IsTemporaryName(name)) << name << " is left";
      }
    }
  }
  EXPECT_GT(stopped, 0) << "every export ended before its signal";
}

}  // namespace
}  // namespace orlaspin::testing
