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
  std::vector<std::pair<std::string, std::string>> warnings;  // (image path, text)
  // Runs after each file is recorded, so a test can change the world in the middle of a batch.
  std::function<void()> afterFileWritten;

  void Warning(const std::string& imagePath, const std::string& text) override {
    warnings.emplace_back(imagePath, text);
  }
  void ScreenDecoded(const ScreenBytes& screen, const Picture& /*picture*/) override {
    decoded.push_back(screen);
  }
  void FileWritten(const std::string& fileName) override {
    written.push_back(fileName);
    if (afterFileWritten) afterFileWritten();
  }
};

// What a run over many images told its view, in order.
class RecordingImagesView final : public ImagesExportView {
 public:
  std::vector<std::string> written;
  std::vector<std::string> skipped;
  std::vector<std::pair<std::string, std::string>> warnings;  // (image path, text)
  std::vector<std::pair<std::string, std::string>> failures;  // (image path, message)
  int finished = 0;

  void Warning(const std::string& imagePath, const std::string& text) override {
    warnings.emplace_back(imagePath, text);
  }
  void FileWritten(const std::string& name) override { written.push_back(name); }
  void FileSkipped(const std::string& name) override { skipped.push_back(name); }
  void ImageFailed(const std::string& imagePath, const Error& error) override {
    failures.emplace_back(imagePath, error.Message());
  }
  void ImageFinished() override { ++finished; }
};

}  // namespace orlaspin::testing
