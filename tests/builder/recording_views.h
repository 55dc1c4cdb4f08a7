// Views that remember what the core showed them: the catalogue grid's cells and row count, the
// preview's repaints, the files the batch wrote and its completion.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/batch_export.h"
#include "containers/catalogue.h"

namespace orlaspin::testing {

class RecordingCatalogueView final : public CatalogueView {
 public:
  std::map<std::pair<int, int>, std::string> cells;  // (column, row) -> text
  int rowCount = -1;
  int calls = 0;

  void SetCell(int column, int row, std::string_view text) override {
    ++calls;
    cells[{column, row}] = std::string(text);
  }
  void SetRowCount(int rows) override {
    ++calls;
    rowCount = rows;
  }
  std::string Cell(int column, int row) const {
    const auto found = cells.find({column, row});
    return found == cells.end() ? std::string() : found->second;
  }
};

class RecordingBatchView final : public BatchView {
 public:
  int repaints = 0;
  std::vector<std::string> written;
  std::optional<std::pair<std::string, int>> completion;
  // Runs after each file is recorded, so a test can change the world in the middle of a batch.
  std::function<void()> afterFileWritten;

  void RepaintPreviewNow() override { ++repaints; }
  void FileWritten(const std::string& fileName) override {
    written.push_back(fileName);
    if (afterFileWritten) afterFileWritten();
  }
  void ShowCompletion(const std::string& completionText, int count) override {
    completion = {completionText, count};
  }
};

}  // namespace orlaspin::testing
