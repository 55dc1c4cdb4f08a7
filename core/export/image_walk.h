// The one driver over the images of a run: the files, folders and archives the user names,
// walked, each image read once, worked on by several threads, and reported in the order of the
// walk whatever the number of threads. list, export and sheet are tasks it runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "containers/collection.h"
#include "containers/hidden_screens.h"
#include "export/image_sources.h"
#include "io/errors.h"

namespace orlaspin {

class FileSystem;

struct ImageWalk {
  std::vector<std::string> paths;  // files, folders and archives, as the user named them
  bool walkFolders = false;        // a named folder is walked, not refused
  int jobs = 1;                    // images worked on at once, each on a thread of its own
  HiddenScreens hidden = {};       // screens brought out of each image's files as it is read
  // Which images and files are taken. A listed file's path is its image's, "/", and its name
  // as list shows it without trailing spaces; an image whose path no include matches is kept only
  // for its files that one matches, and left out when it has none or cannot be read.
  PathFilter filter = {};
};

// A picture an image's export saved: its path inside the output folder ("/" after a subfolder)
// and the listed file it shows.
struct SavedPicture {
  std::string name;
  CollectionFile file;
  bool alreadyPresent = false;  // found there byte for byte, not written again
};

// What became of one item of the walk.
struct ImageReport {
  std::string path;     // the image's, or the archive's or member's of a walk's own warning
  bool isImage = true;  // false: a warning of the walk alone (a damaged archive)
  std::optional<ImageKind> kind;  // present once the image is read
  std::vector<Warning> warnings;  // the walk's, the reader's, then the task's
  std::vector<SavedPicture> pictures;
  std::optional<Error> failure;  // nothing more could be done with the image
  std::string skippedBecause;    // not empty: a file the walk passed over, and why
  int filesLeftOut = 0;          // the image's listed files the filter left out

  int WrittenCount() const;
};

// What a run does with each image.
class ImageTask {
 public:
  virtual ~ImageTask() = default;
  // In the order of the walk, one image at a time, once it is read: a choice that must not depend
  // on the number of threads (an output folder). What it returns is handed to Work.
  virtual std::string Place(const SourceImage& /*image*/, const Collection& /*collection*/) {
    return {};
  }
  // On any thread: the image's work, told in its report. An Error it raises fails the image.
  virtual void Work(const SourceImage& /*image*/, const Collection& /*collection*/,
                    const std::string& /*place*/, ImageReport& /*report*/) {}
  // In the order of the walk, from one thread at a time; image and collection are there when the
  // image was read. With several jobs the image's bytes are let go after Work, so that images
  // waiting for their turn to be told hold little memory.
  virtual void Told(const ImageReport& report, const SourceImage* image,
                    const Collection* collection) = 0;
};

struct WalkCounts {
  int images = 0;  // read, failed ones included
  int failedImages = 0;
  int skippedFiles = 0;  // files of walked folders and archives that are no known image
};

// Reads every image that ImageSources finds in the walk's paths, once, and runs the task on it;
// at most a few images per thread are held at once. Raises only what the task's Told raises.
WalkCounts WalkImages(FileSystem& files, const ImageWalk& walk, ImageTask& task);

// The number of jobs that keeps every core busy.
int AllCoresJobCount();

}  // namespace orlaspin
