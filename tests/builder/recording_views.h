// Export views that remember what the core told them: the screens decoded, the files written,
// the warnings and failures.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "export/collection_export.h"
#include "export/images_export.h"

namespace orlaspin::testing {

class RecordingExportView final : public ExportView {
 public:
  std::vector<ScreenBytes> decoded;
  std::vector<std::string> written;
  std::vector<std::pair<std::string, Problem>> warnings;  // (image path, problem)
  // Runs after each file is recorded, so a test can change the world in the middle of a batch.
  std::function<void()> afterFileWritten;

  void Warn(const std::string& imagePath, const Warning& warning) override {
    warnings.emplace_back(imagePath, warning.problem);
  }
  void ScreenDecoded(const ScreenBytes& screen, const Picture& /*picture*/) override {
    decoded.push_back(screen);
  }
  void FileWritten(const std::string& fileName) override {
    written.push_back(fileName);
    if (afterFileWritten) afterFileWritten();
  }
};

// What the reports of a run over many images told, in order.
class RecordingImagesView final : public ReportListener {
 public:
  std::vector<std::string> written;
  std::vector<std::string> skipped;
  std::vector<std::pair<std::string, Problem>> warnings;      // (image path, problem)
  std::vector<std::pair<std::string, std::string>> failures;  // (image path, message)
  int finished = 0;

  void Reported(const ImageReport& report) override {
    for (const Warning& warning : report.warnings) {
      warnings.emplace_back(report.path, warning.problem);
    }
    for (const SavedPicture& picture : report.pictures) {
      (picture.alreadyPresent ? skipped : written).push_back(picture.name);
    }
    if (report.failure) failures.emplace_back(report.path, report.failure->Message());
    if (report.isImage) ++finished;
  }
};

}  // namespace orlaspin::testing
