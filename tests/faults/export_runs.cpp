#include "export_runs.h"

#include "io/errors.h"
#include "oracle.h"
#include "test_files.h"

namespace orlaspin::testing {

ExportOutcome Export(const ListedImage& state, FileSystem& files, const std::string& outputDir) {
  ExportOutcome outcome;
  try {
    outcome.count = ExportListed(state, files, outcome.view, outputDir);
  } catch (const Error& error) {
    outcome.error = error.Message();
  }
  return outcome;
}

ListedImage LoadedState(const std::string& imagePath) {
  ListedImage state;
  OpenImage(state, SystemFileSystem(), imagePath);
  return state;
}

ImageExport ExportImageFile(std::span<const std::uint8_t> image, const std::string& imagePath,
                            const std::string& folder) {
  WriteFileBytes(imagePath, image);
  ImageExport exported{LoadedState(imagePath), ReadFolder(folder), {}};
  exported.run = Export(exported.state, SystemFileSystem(), folder);
  return exported;
}

::testing::AssertionResult FolderHoldsExport(const FolderContents& before,
                                             const std::string& folder, const ExportOutcome& run,
                                             std::span<const std::uint8_t> image) {
  const FolderContents after = ReadFolder(folder);
  for (const auto& [name, contents] : before) {
    const auto found = after.find(name);
    if (found == after.end()) return ::testing::AssertionFailure() << name << " is gone";
    if (found->second != contents) return ::testing::AssertionFailure() << name << " was changed";
  }
  if (after.size() != before.size() + run.view.written.size()) {
    return ::testing::AssertionFailure()
           << after.size() - before.size() << " new entries in " << folder << ", "
           << run.view.written.size() << " reported";
  }
  const std::vector<TakenEntry> taken = ExpectedTakenEntries(image);
  ExpectedBitmaps expected(image);
  if (run.view.written.size() > taken.size()) {
    return ::testing::AssertionFailure() << "more files than entries taken";
  }
  for (std::size_t i = 0; i < run.view.written.size(); ++i) {
    const std::string& name = run.view.written[i];
    const auto found = after.find(name);
    if (before.contains(name) || found == after.end() || !found->second) {
      return ::testing::AssertionFailure() << name << " is not a new file";
    }
    const std::string difference = FirstDifference(*found->second, expected.At(taken[i].offset));
    if (!difference.empty()) return ::testing::AssertionFailure() << name << ": " << difference;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Completed(const ExportOutcome& run, std::size_t entriesTaken) {
  const int count = static_cast<int>(entriesTaken);
  if (run.error) return ::testing::AssertionFailure() << "ended with " << *run.error;
  if (run.count != count || run.view.written.size() != entriesTaken) {
    return ::testing::AssertionFailure() << "count " << run.count << ", " << run.view.written.size()
                                         << " files, " << entriesTaken << " entries taken";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult CompletedInto(const ImageExport& exported, const std::string& folder,
                                         std::span<const std::uint8_t> image) {
  const auto completed = Completed(exported.run, ExpectedTakenEntries(image).size());
  if (!completed) return completed;
  return FolderHoldsExport(exported.before, folder, exported.run, image);
}

::testing::AssertionResult EndedWith(const ExportOutcome& run, const std::string& message) {
  if (!run.error) return ::testing::AssertionFailure() << "completed with count " << run.count;
  if (*run.error != message) return ::testing::AssertionFailure() << "ended with " << *run.error;
  return ::testing::AssertionSuccess();
}

}  // namespace orlaspin::testing
