// A whole export of any image into a fresh folder, twice, through the real file system: every
// file lands in the folder, is the complete bitmap of its entry's screen, and is reported; the
// second run replaces nothing; a run either completes with the count of the entries taken or ends
// with one of the program's error texts.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "export/file_names.h"
#include "export/collection_export.h"
#include "containers/catalogue.h"
#include "encoders/bitmap_file.h"
#include "io/disk_file.h"
#include "io/errors.h"
#include "export_check.h"
#include "fuzz_check.h"
#include "listed_image.h"
#include "recording_views.h"
#include "test_files.h"

namespace {

using namespace orlaspin;
using namespace orlaspin::testing;

// name is the safe stem's file name with "1" appended some number of times, then ".bmp"; or,
// past the length a name may have, the stem's start, "~", a number and ".bmp".
bool IsUniqueFormOf(const std::string& fileName, const std::string& stemFileName) {
  const std::string extension(kBitmapExtension);
  if (!fileName.ends_with(extension)) return false;
  const std::string base = fileName.substr(0, fileName.size() - extension.size());
  const std::size_t mark = base.rfind(kNumberMark);
  if (mark != std::string::npos && mark + 1 < base.size() &&
      base.find_first_not_of("0123456789", mark + 1) == std::string::npos &&
      stemFileName.starts_with(base.substr(0, mark))) {
    return true;
  }
  if (!base.starts_with(stemFileName)) return false;
  return base.find_first_not_of('1', stemFileName.size()) == std::string::npos;
}

// folder: the output folder as it was before the run; afterwards, as the run left it. Returns the
// names of the files written.
std::vector<std::string> ExportAndCheck(const ListedImage& state, const Bytes& image,
                                        const std::string& out, ExpectedBitmaps& expected,
                                        FolderContents& folder) {
  const std::vector<TakenEntry> taken = ExpectedTakenEntries(image);
  const FolderContents before = std::move(folder);

  RecordingExportView view;
  std::optional<std::string> error;
  int count = -1;
  try {
    count = ExportListed(state, SystemFileSystem(), view, out);
  } catch (const Error& failure) {
    error = failure.Message();
  }

  const FolderContents after = ReadFolder(out);
  for (const auto& [name, contents] : before) {
    const auto found = after.find(name);
    FuzzRequire(found != after.end() && found->second == contents,
                "an existing file is kept as it was");
  }
  FuzzRequire(after.size() == before.size() + view.written.size(),
              "only the reported files are new");
  FuzzRequire(view.written.size() <= taken.size(), "at most one file per entry taken");
  for (std::size_t i = 0; i < view.written.size(); ++i) {
    const std::string& name = view.written[i];
    FuzzRequire(!before.contains(name) && after.contains(name), "a reported file is a new file");
    FuzzRequire(after.at(name) == expected.At(taken[i].offset),
                "a written file is the complete bitmap of its entry's screen");
    FuzzRequire(IsUniqueFormOf(name, FileNameFromCatalogueBytes(MakeSafeName(taken[i].name))),
                "a file is named by its entry's safe stem and some 1s, or numbered");
  }

  if (error) {
    FuzzRequire(IsKnownErrorText(*error), "a failure shows one of the program's texts");
    FuzzRequire(view.written.size() < taken.size(), "a failure stops short of an entry");
  } else {
    FuzzRequire(count == static_cast<int>(taken.size()), "the count is the entries taken");
    FuzzRequire(view.written.size() == taken.size(), "every entry taken is written");
  }
  folder = after;
  return view.written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Bytes image(data, data + size);
  const TempFolder root;
  const std::string imagePath = root.File("image.trd");
  const std::string out = root.File("out");
  WriteFileBytes(imagePath, image);
  std::filesystem::create_directory(PathFromUtf8(out));

  ListedImage state;
  OpenImage(state, SystemFileSystem(), imagePath);

  ExpectedBitmaps expected(image);
  FolderContents folder;
  ExportAndCheck(state, image, out, expected, folder);
  ExportAndCheck(state, image, out, expected, folder);

  FuzzRequire(root.Names() == std::vector<std::string>{"image.trd", "out"},
              "nothing is written outside the output folder");
  return 0;
}
