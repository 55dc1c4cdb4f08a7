#include "containers/screen_source.h"

#include "io/disk_file.h"
#include "io/errors.h"

namespace orlaspin {

ScreenBytes ImageFileScreenSource::Screen(const CollectionFile& file) {
  // A vanished image must not let an export save the previous picture under a new name.
  if (!files_.IsFile(path_)) throw IoError(kFileNotFound);

  ScreenBytes screen{};  // what the image does not supply stays zero
  const auto image = files_.OpenForReading(path_);
  image->Seek(file.offset);
  ReadFully(*image, screen);
  image->Close();
  return screen;
}

}  // namespace orlaspin
