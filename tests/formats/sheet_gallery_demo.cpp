// orlaspin-sheet-gallery-demo FOLDER: writes into FOLDER pictures of our sample screens, real
// screens and colourful ones under hostile names, their gallery page and two contact sheets (one
// page of the default size, and small pages), then lists what it wrote, a line each:
//   picture <TAB> path in FOLDER <TAB> the name shown, in hex
//   sheet <TAB> path in FOLDER <TAB> "default" or "small"
// for the browser check and for looking at.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "encoders/png_file.h"
#include "export/contact_sheet.h"
#include "export/gallery.h"
#include "sample_disk.h"
#include "screens.h"
#include "test_files.h"

namespace orlaspin::testing {
namespace {

struct DemoScreen {
  std::string fileStem;
  std::string name;
  ScreenBytes screen;
  std::string type;
  std::optional<std::uint16_t> start;
};

struct DemoImage {
  std::string heading;
  std::string container;
  std::string folder;
  std::vector<DemoScreen> screens;
};

std::vector<DemoImage> DemoImages() {
  DemoImage sample{"samples/Orlaspin sample.trd", "trd", "Orlaspin sample", {}};
  for (const auto& [name, screen] : sample::SampleScreens()) {
    sample.screens.push_back({name, name, screen, "C", 16384});
  }

  DemoImage real{"real/Спектрум & friends", "scr", "Спектрум & friends #1", {}};
  for (const char* stem : {"UzixLS_zx-midiplayer__title", "mojontwins_MK2__gfx_title",
                           "nzeemin_desolate__loading", "salvakantero_RedPlanet_ZX__gfx_loading"}) {
    const std::vector<std::uint8_t> bytes =
        ReadFileBytes(std::string(ORLASPIN_TESTDATA) + "/scr/" + stem + ".scr");
    ScreenBytes screen{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), screen.size()), screen.begin());
    real.screens.push_back({stem, stem, screen, "", std::nullopt});
  }

  DemoImage hostile{"<b>\"hostile\" & 'names'</b> \xCF\xD0\xC8 ..", "hobeta", "a b%?#;'\"<>&=", {}};
  hostile.screens = {
      {".", "..", ColourfulScreen(1), "<C>", 0},
      {"x&y=1", "<img src=x onerror=alert(1)>", ColourfulScreen(2), "\"", 65535},
      {"ekran", "\xDD\xCA\xD0\xC0\xCD\x01", ColourfulScreen(3), "C", 32768},
      {"ЭКРАН 1", "ЭКРАН 1", ColourfulScreen(4), "C", 49152},
  };
  return {sample, real, hostile};
}

Picture PictureOf(const ScreenBytes& screen) {
  return ScreenFrames(screen, kZxPaletteColours, false).front();
}

void WritePng(const std::string& folder, const std::string& file, const Picture& picture) {
  WriteFileBytes(folder + "/" + file, EncodePng(std::span(&picture, 1), 0));
}

void WriteSheet(const std::string& folder, const std::string& file, const SheetLayout& layout,
                const std::vector<DemoImage>& images, const std::string& label) {
  ContactSheet sheet(layout);
  std::vector<Picture> pages;
  for (const DemoImage& image : images) {
    sheet.StartGroup(image.heading);
    for (const DemoScreen& screen : image.screens) {
      sheet.AddScreen(screen.name, PictureOf(screen.screen));
      for (Picture& page : sheet.TakeFullPages()) pages.push_back(std::move(page));
    }
  }
  for (Picture& page : sheet.Finish()) pages.push_back(std::move(page));
  for (std::size_t page = 0; page < pages.size(); ++page) {
    const std::string name =
        pages.size() == 1 ? file : SheetPagePath(file, static_cast<int>(page + 1));
    WritePng(folder, name, pages[page]);
    std::cout << "sheet\t" << name << '\t' << label << '\n';
  }
}

std::string Hex(std::string_view bytes) {
  std::string hex;
  for (const char c : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
    hex += digits;
  }
  return hex;
}

void WriteDemo(const std::string& folder) {
  const std::vector<DemoImage> images = DemoImages();
  std::vector<GalleryImage> gallery;
  for (const DemoImage& image : images) {
    std::filesystem::create_directories(PathFromUtf8(folder + "/" + image.folder));
    GalleryImage& entry = gallery.emplace_back(GalleryImage{image.heading, image.container, {}});
    for (const DemoScreen& screen : image.screens) {
      const std::string file = image.folder + "/" + screen.fileStem + ".png";
      WritePng(folder, file, PictureOf(screen.screen));
      entry.pictures.push_back({file, screen.name, screen.type, screen.start, kScreenBytes});
      std::cout << "picture\t" << file << '\t' << Hex(screen.name) << '\n';
    }
  }
  const std::string html = GalleryHtml(gallery, gallery.size());
  WriteFileBytes(folder + "/" + std::string(kGalleryStem) + std::string(kGalleryExtension),
                 std::span(reinterpret_cast<const std::uint8_t*>(html.data()), html.size()));
  WriteSheet(folder, "sheet.png", {}, images, "default");
  WriteSheet(folder, "pages.png", {128, 96, 600, 400}, images, "small");
}

}  // namespace
}  // namespace orlaspin::testing

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Usage: orlaspin-sheet-gallery-demo FOLDER\n";
    return 2;
  }
  try {
    orlaspin::testing::WriteDemo(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "orlaspin-sheet-gallery-demo: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
