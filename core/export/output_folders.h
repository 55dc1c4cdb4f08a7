// The folders inside the output folder that take the screens of a run over many images: one per
// image, below one per named folder, subfolder and archive it was found in.
#pragma once

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orlaspin {

class FileSystem;
struct Collection;

// True for an image of a kind that is one picture by nature (ContainerKind::onePicture) that
// holds its screen.
bool HoldsOnePicture(const Collection& collection);

// True when the collection lists a screen.
bool HasScreens(const Collection& collection);

class OutputFolders {
 public:
  // outputDir must exist; the current folder when empty.
  OutputFolders(FileSystem& files, std::string outputDir);

  // The folder for an image's screens, made with its parents when missing: its path inside the
  // output folder, "/" between parts. folders are the image's folder names from the top (the
  // last is the image's own, its file's stem, the others those it was found in); extension is
  // its file's extension, without the dot; root tells apart the places the user named, so that
  // two archives of one name do not share a folder.
  //
  // Each part is made safe like a catalogue name; where it is not free, the image's own folder
  // is named stem-extension instead (fire.sna and fire.z80 give "fire" and "fire-z80"), and
  // then, as any other part, gets "-2", "-3", ...: a name that is empty or dots and spaces alone,
  // a Windows device, given out already in this run under the same parent, or anything but a
  // folder (a link to one too) is not free; a folder already there is used again. The image's own
  // folder is new for each image; a folder it was found in is the same for every image found
  // there. Raises the folder-creation error.
  std::string FolderFor(std::size_t root, std::span<const std::string> folders,
                        std::string_view extension);

  // Where the one picture of an image that holds one (HoldsOnePicture) goes instead of a folder
  // of its own: the path its folder would have had, made as for FolderFor but for the last part,
  // which is the picture's stem.
  std::string PicturePathFor(std::size_t root, std::span<const std::string> folders,
                             std::string_view extension);

 private:
  // The folder that holds the image's own, made with its parents when missing.
  std::string ParentFor(std::size_t root, std::span<const std::string> folders);
  // Picks a free name in parent (a path inside the output folder) for name, or for the image's
  // own name and extension, and gives it out; for a folder, makes it.
  std::string TakeName(const std::string& parent, std::string_view name, std::string_view extension,
                       bool folder);

  FileSystem& files_;
  std::string outputDir_;
  // The names given out under each parent.
  std::map<std::string, std::vector<std::string>> taken_;
  // The folder made for each place an image was found in: its root and its folder names.
  std::map<std::pair<std::size_t, std::vector<std::string>>, std::string> places_;
};

}  // namespace orlaspin
