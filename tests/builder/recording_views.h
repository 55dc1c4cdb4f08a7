// An export view that remembers what the core told it: the screens decoded, the files written
// and the warnings.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "export/collection_export.h"

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

}  // namespace orlaspin::testing
