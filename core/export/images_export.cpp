#include "export/images_export.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <map>
#include <optional>
#include <thread>
#include <variant>

#include "containers/collection.h"
#include "containers/image_reader.h"
#include "containers/screen_source.h"
#include "export/image_sources.h"
#include "export/job_pool.h"
#include "export/output_folders.h"
#include "io/disk_file.h"

namespace orlaspin {

namespace {

// What the export of one image told its view, kept until the images before it are told.
class RecordedView final : public ExportView {
 public:
  void Read(const std::string& imagePath, ImageKind kind) {
    events_.push_back({Kind::Read, imagePath, {}, kind, {}});
  }
  void Warning(const std::string& imagePath, const std::string& text) override {
    events_.push_back({Kind::Warning, imagePath, text, {}, {}});
  }
  void FileWritten(const std::string& name) override {
    events_.push_back({Kind::Written, name, {}, {}, {}});
  }
  void FileSkipped(const std::string& name) override {
    events_.push_back({Kind::Skipped, name, {}, {}, {}});
  }
  void ScreenSaved(const CollectionFile& file, const std::string& name) override {
    events_.push_back({Kind::Saved, name, {}, {}, file});
  }

  void ReplayTo(ImagesExportView& view, ImagesExportResult& result) const {
    for (const Event& event : events_) {
      switch (event.kind) {
        case Kind::Read: view.ImageRead(event.path, event.imageKind); break;
        case Kind::Warning: view.Warning(event.path, event.text); break;
        case Kind::Written:
          ++result.screens;
          view.FileWritten(event.path);
          break;
        case Kind::Skipped:
          ++result.skippedScreens;
          view.FileSkipped(event.path);
          break;
        case Kind::Saved: view.ScreenSaved(event.file, event.path); break;
      }
    }
  }

 private:
  enum class Kind { Read, Warning, Written, Skipped, Saved };
  struct Event {
    Kind kind;
    std::string path;  // the image's, or the file's inside the output folder
    std::string text;
    ImageKind imageKind;
    CollectionFile file;
  };
  std::vector<Event> events_;
};

// The end of one item of the walk: an image exported or failed, a warning or a failure.
struct Outcome {
  bool isImage = false;
  std::string path;  // the image's
  RecordedView events;
  std::optional<SourceFailure> failure;
};

bool HasScreens(const Collection& collection) {
  return std::any_of(collection.files.begin(), collection.files.end(),
                     [](const CollectionFile& file) { return file.isScreen; });
}

// Runs step; an error it raises becomes the outcome's failure. False when it raised.
template <typename Step>
bool Guarded(const std::string& path, Outcome& outcome, Step step) {
  try {
    step();
    return true;
  } catch (const Error& error) {
    outcome.failure = SourceFailure{path, error};
  } catch (const std::exception& error) {
    outcome.failure = SourceFailure{path, Error(0, error.what())};
  }
  return false;
}

class ImagesRun {
 public:
  ImagesRun(FileSystem& files, const ImagesExport& run, ImagesExportView& view)
      : files_(files), run_(run), view_(view), folders_(files, run.outputDir) {}

  ImagesExportResult Run() {
    ImageSources sources(files_, run_.paths, run_.walkFolders);
    {
      const int jobs = std::max(run_.jobs, 1);
      JobPool pool(jobs, 2 * static_cast<std::size_t>(jobs));
      for (std::size_t index = 0;; ++index) {
        std::optional<SourceItem> item = sources.Next();
        if (!item) break;
        pool.Add([this, index, item = std::move(*item)]() mutable {
          Deliver(index, Process(index, std::move(item)));
        });
      }
    }
    result_.skippedFiles = sources.SkippedCount();
    return result_;
  }

 private:
  Outcome Process(std::size_t index, SourceItem item) {
    Outcome outcome;
    if (auto* image = std::get_if<SourceImage>(&item)) {
      outcome.isImage = true;
      outcome.path = image->path;
      ExportImage(index, *image, outcome);
    } else {
      const TurnOrder::Turn turn = turns_.Take(index);
      if (const auto* warning = std::get_if<SourceWarning>(&item)) {
        outcome.events.Warning(warning->path, warning->text);
      } else {
        outcome.isImage = true;
        outcome.failure = std::get<SourceFailure>(std::move(item));
        outcome.path = outcome.failure->path;
      }
    }
    return outcome;
  }

  // Reads the image and writes its screens; only the choice of its folder waits for the images
  // before it, so that the names are those of a run on one thread.
  void ExportImage(std::size_t index, const SourceImage& image, Outcome& outcome) {
    std::optional<Collection> collection;
    std::string folder;
    Guarded(image.path, outcome, [&] { collection = ReadCollection(image.path, image.bytes); });
    const bool placed = Guarded(image.path, outcome, [&] {
      const TurnOrder::Turn turn = turns_.Take(index);
      if (collection && HasScreens(*collection) && !IsSingleImage(image.path)) {
        folder = folders_.FolderFor(image.namedIndex, image.folders);
      }
    });
    if (!collection || !placed) return;
    outcome.events.Read(image.path, collection->kind);
    Guarded(image.path, outcome, [&] {
      CollectionScreenSource source(*collection, image.bytes);
      ExportCollection(files_, *collection, source, image.path, run_.outputDir, folder,
                       run_.options, outcome.events);
    });
  }

  // The one path named is a file: its screens go into the output folder itself.
  bool IsSingleImage(const std::string& path) const {
    return run_.paths.size() == 1 && path == run_.paths.front();
  }

  // Tells the view about the outcomes in the order of the walk.
  void Deliver(std::size_t index, Outcome outcome) {
    const std::lock_guard lock(deliveryMutex_);
    pending_.emplace(index, std::move(outcome));
    for (auto next = pending_.find(delivered_); next != pending_.end();
         next = pending_.find(delivered_)) {
      Tell(next->second);
      pending_.erase(next);
      ++delivered_;
    }
  }

  void Tell(const Outcome& outcome) {
    outcome.events.ReplayTo(view_, result_);
    if (!outcome.isImage) return;
    ++result_.images;
    result_.singleImage = IsSingleImage(outcome.path);
    if (outcome.failure) {
      ++result_.failedImages;
      view_.ImageFailed(outcome.failure->path, outcome.failure->error);
    }
    view_.ImageFinished();
  }

  FileSystem& files_;
  const ImagesExport& run_;
  ImagesExportView& view_;
  OutputFolders folders_;  // used in turn only
  TurnOrder turns_;
  std::mutex deliveryMutex_;
  std::map<std::size_t, Outcome> pending_;
  std::size_t delivered_ = 0;
  ImagesExportResult result_;
};

}  // namespace

ImagesExportResult ExportImages(FileSystem& files, const ImagesExport& run,
                                ImagesExportView& view) {
  CreateFolders(files, run.outputDir);
  return ImagesRun(files, run, view).Run();
}

int AllCoresJobCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace orlaspin
