// Running the batch export in the tests and judging what it left on disk.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>

#include "io/disk_file.h"
#include "export_check.h"
#include "listed_image.h"
#include "recording_views.h"

namespace orlaspin::testing {

struct ExportOutcome {
  RecordingExportView view;
  std::optional<std::string> error;  // the message of the error that ended the run
  int count = -1;                    // the count returned, when the run completed
};

// Runs the batch of a listed image; an orlaspin::Error ends up in outcome.error.
ExportOutcome Export(const ListedImage& state, FileSystem& files, const std::string& outputDir);

// The image at path, listed through the real file system.
ListedImage LoadedState(const std::string& imagePath);

// An image written to a file, listed from it through the real file system and exported into a
// folder, with what the folder held before.
struct ImageExport {
  ListedImage state;
  FolderContents before;
  ExportOutcome run;
};
ImageExport ExportImageFile(std::span<const std::uint8_t> image, const std::string& imagePath,
                            const std::string& folder);

// The folder holds what it held before, untouched, and exactly the files the run reported: the
// i-th the complete bitmap of the i-th entry that image gives the batch.
::testing::AssertionResult FolderHoldsExport(const FolderContents& before,
                                             const std::string& folder, const ExportOutcome& run,
                                             std::span<const std::uint8_t> image);

// A run that completed: every entry taken written and counted.
::testing::AssertionResult Completed(const ExportOutcome& run, std::size_t entriesTaken);

// The export completed and the folder holds what it held and the complete files of every entry.
::testing::AssertionResult CompletedInto(const ImageExport& exported, const std::string& folder,
                                         std::span<const std::uint8_t> image);

// A run that ended with the given message.
::testing::AssertionResult EndedWith(const ExportOutcome& run, const std::string& message);

}  // namespace orlaspin::testing
