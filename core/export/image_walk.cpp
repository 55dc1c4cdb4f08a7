#include "export/image_walk.h"

#include <algorithm>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <variant>

#include "containers/image_reader.h"
#include "export/collection_export.h"
#include "export/job_pool.h"

namespace orlaspin {

int ImageReport::WrittenCount() const {
  return static_cast<int>(std::count_if(pictures.begin(), pictures.end(),
                                        [](const SavedPicture& p) { return !p.alreadyPresent; }));
}

namespace {

// The end of one item of the walk, kept until the items before it are told.
struct Outcome {
  ImageReport report;
  std::optional<SourceImage> image;
  std::optional<Collection> collection;
};

// Drops the files the filter leaves out; false when it leaves out the whole image: its path is
// not included and it has no file kept, or could not be read.
bool FilterImage(const PathFilter& filter, const std::string& path,
                 std::optional<Collection>& collection, ImageReport& report) {
  if (filter.IsEmpty()) return true;
  if (collection) {
    std::vector<CollectionFile>& files = collection->files;
    const auto kept = std::stable_partition(files.begin(), files.end(), [&](const auto& file) {
      std::string name = ShownName(file);
      name.erase(name.find_last_not_of(' ') + 1);  // a catalogue name's padding
      return filter.Keeps(path + "/" + name);
    });
    report.filesLeftOut = static_cast<int>(files.end() - kept);
    files.erase(kept, files.end());
  }
  if (filter.IsIncluded(path) || (collection && !collection->files.empty())) return true;
  report = ImageReport{};
  report.path = path;
  report.isImage = false;
  report.skippedBecause = kNotIncluded;
  collection.reset();
  return false;
}

// Runs step; an error it raises becomes the report's failure. False when it raised.
template <typename Step>
bool Guarded(ImageReport& report, Step step) {
  try {
    step();
    return true;
  } catch (const Error& error) {
    report.failure = error;
  } catch (const std::exception& error) {
    report.failure = Error(0, error.what());
  }
  return false;
}

class Walk {
 public:
  Walk(FileSystem& files, const ImageWalk& walk, ImageTask& task)
      : files_(files), walk_(walk), task_(task) {}

  WalkCounts Run() {
    ImageSources sources(files_, walk_.paths, walk_.walkFolders, walk_.filter);
    {
      const int jobs = std::max(walk_.jobs, 1);
      JobPool pool(jobs, 2 * static_cast<std::size_t>(jobs));
      for (std::size_t index = 0; !Stopped(); ++index) {
        std::optional<SourceItem> item = sources.Next();
        if (!item) break;
        pool.Add([this, index, item = std::move(*item)]() mutable {
          if (Stopped()) {
            const TurnOrder::Turn turn = turns_.Take(index);  // the later items wait for it
            return;
          }
          try {
            Deliver(index, Process(index, std::move(item)));
          } catch (...) {
            Stop(std::current_exception());
          }
        });
      }
    }
    if (stop_) std::rethrow_exception(stop_);
    counts_.skippedFiles = sources.SkippedCount();
    return counts_;
  }

 private:
  Outcome Process(std::size_t index, SourceItem item) {
    Outcome outcome;
    ImageReport& report = outcome.report;
    if (auto* source = std::get_if<SourceImage>(&item)) {
      const SourceImage* image = &outcome.image.emplace(std::move(*source));
      report.path = image->path;
      Guarded(report, [&] {
        outcome.collection = ReadCollection(image->name, image->bytes);
        RevealHiddenScreens(*outcome.collection, image->bytes, walk_.hidden);
      });
      if (!FilterImage(walk_.filter, image->path, outcome.collection, report)) {
        const TurnOrder::Turn turn = turns_.Take(index);
        outcome.image.reset();
        return outcome;
      }
      std::string place;
      const bool placed = Guarded(report, [&] {
        const TurnOrder::Turn turn = turns_.Take(index);
        if (outcome.collection) place = task_.Place(*image, *outcome.collection);
      });
      if (!outcome.collection || !placed) return outcome;
      report.kind = outcome.collection->kind;
      report.warnings = outcome.collection->warnings;
      Guarded(report, [&] { task_.Work(*image, *outcome.collection, place, report); });
      if (walk_.jobs > 1) outcome.image->bytes = {};
      return outcome;
    }
    const TurnOrder::Turn turn = turns_.Take(index);
    if (auto* warning = std::get_if<SourceWarning>(&item)) {
      report.path = warning->path;
      report.isImage = false;
      report.warnings.push_back(std::move(warning->warning));
    } else if (auto* skipped = std::get_if<SourceSkipped>(&item)) {
      report.path = skipped->path;
      report.isImage = false;
      report.skippedBecause = std::move(skipped->why);
    } else {
      auto& failure = std::get<SourceFailure>(item);
      report.path = failure.path;
      report.failure = failure.error;
    }
    return outcome;
  }

  // Tells the task about the outcomes in the order of the walk.
  void Deliver(std::size_t index, Outcome outcome) {
    const std::lock_guard lock(deliveryMutex_);
    pending_.emplace(index, std::move(outcome));
    for (auto next = pending_.find(delivered_); next != pending_.end();
         next = pending_.find(delivered_)) {
      const Outcome told = std::move(next->second);
      pending_.erase(next);
      ++delivered_;
      if (told.report.isImage) {
        ++counts_.images;
        if (told.report.failure) ++counts_.failedImages;
      }
      if (!Stopped()) {
        task_.Told(told.report, told.image ? &*told.image : nullptr,
                   told.collection ? &*told.collection : nullptr);
      }
    }
  }

  bool Stopped() {
    const std::lock_guard lock(stopMutex_);
    return stop_ != nullptr;
  }

  void Stop(std::exception_ptr error) {
    const std::lock_guard lock(stopMutex_);
    if (!stop_) stop_ = error;
  }

  FileSystem& files_;
  const ImageWalk& walk_;
  ImageTask& task_;
  TurnOrder turns_;
  std::mutex deliveryMutex_;
  std::map<std::size_t, Outcome> pending_;
  std::size_t delivered_ = 0;
  WalkCounts counts_;
  std::mutex stopMutex_;
  std::exception_ptr stop_;
};

}  // namespace

WalkCounts WalkImages(FileSystem& files, const ImageWalk& walk, ImageTask& task) {
  return Walk(files, walk, task).Run();
}

int AllCoresJobCount() {
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace orlaspin
