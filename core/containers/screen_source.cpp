#include "containers/screen_source.h"

#include "io/disk_file.h"
#include "io/errors.h"

namespace orlaspin {

std::vector<std::uint8_t> ImageFileScreenSource::ScreenFile(const CollectionFile& file) {
  // A vanished image must not let an export save the previous picture under a new name.
  if (!files_.IsFile(path_)) throw IoError(kFileNotFound);

  // What the image does not supply stays zero.
  std::vector<std::uint8_t> screen(ScreenFileSize(file));
  const auto image = files_.OpenForReading(path_);
  image->Seek(file.offset);
  ReadFully(*image, screen);
  image->Close();
  return screen;
}

}  // namespace orlaspin
