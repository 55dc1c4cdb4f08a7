#include "export_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

#include "oracle.h"
#include "test_files.h"

namespace orlaspin::testing {

namespace {

std::uint8_t ImageByte(std::span<const std::uint8_t> image, std::size_t at) {
  return at < image.size() ? image[at] : 0;
}

bool IsDecimal(std::string_view text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<TakenEntry> ExpectedTakenEntries(std::span<const std::uint8_t> image) {
  std::vector<TakenEntry> taken;
  for (std::size_t at = 0; at < 2048 && ImageByte(image, at) != 0; at += 16) {
    const unsigned length = ImageByte(image, at + 11) | (ImageByte(image, at + 12) << 8);
    if (length != 6912) continue;
    std::string name;
    for (std::size_t i = 0; i < 8 && ImageByte(image, at + i) != 0; ++i) {
      name += static_cast<char>(ImageByte(image, at + i));
    }
    const std::size_t sector = ImageByte(image, at + 15) * 16u + ImageByte(image, at + 14);
    taken.push_back({name, sector * 256});
  }
  return taken;
}

ScreenBytes ScreenAt(std::span<const std::uint8_t> image, std::size_t offset) {
  ScreenBytes screen{};
  for (std::size_t i = 0; i < screen.size(); ++i) screen[i] = ImageByte(image, offset + i);
  return screen;
}

const Bytes& ExpectedBitmaps::At(std::size_t offset) {
  auto found = files_.find(offset);
  if (found == files_.end()) {
    found = files_.emplace(offset, OracleBitmapFile(ScreenAt(image_, offset))).first;
  }
  return found->second;
}

bool NamesDevice(std::string_view stem) {
  std::string_view word = stem.substr(0, stem.find('.'));
  while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
  std::string upper(word);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (upper == device) return true;
  }
  for (char digit = '0'; digit <= '9'; ++digit) {
    if (upper == std::string("COM") + digit || upper == std::string("LPT") + digit) return true;
  }
  return false;
}

std::string ExpectedSafeStem(std::string_view name) {
  constexpr std::string_view kUnsafe = "\"*/:<>?\\|";
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::string_view inner = name.substr(first, name.find_last_not_of(' ') - first + 1);
  std::string stem;
  for (const unsigned char c : inner) {
    const bool unsafe = c < 32 || kUnsafe.find(static_cast<char>(c)) != std::string_view::npos;
    stem += unsafe ? '_' : static_cast<char>(c);
  }
  if (NamesDevice(stem)) {
    std::size_t wordEnd = std::min(stem.find('.'), stem.size());
    while (wordEnd > 0 && stem[wordEnd - 1] == ' ') --wordEnd;
    stem.insert(stem.begin() + static_cast<std::ptrdiff_t>(wordEnd), '_');
  }
  return stem;
}

bool IsKnownErrorText(const std::string& message) {
  for (const char* fixed : {"File not found", "Invalid filename", "Too many open files",
                            "File access denied", "Stream write error"}) {
    if (message == fixed) return true;
  }
  constexpr std::string_view kIoError = "I/O error ";
  if (message.starts_with(kIoError)) {
    std::string_view code = std::string_view(message).substr(kIoError.size());
    if (code.starts_with('-')) code.remove_prefix(1);
    return IsDecimal(code);
  }
  // The path may hold anything, the reason is never empty.
  constexpr std::string_view kCreate = "Cannot create file \"";
  const std::size_t pathEnd = message.rfind("\". ");
  return message.starts_with(kCreate) && pathEnd != std::string::npos && pathEnd > kCreate.size() &&
         pathEnd + 3 < message.size();
}

namespace {

// In one read: an export leaves many large files to compare.
Bytes WholeFile(const std::filesystem::directory_entry& item) {
  Bytes bytes(static_cast<std::size_t>(item.file_size()));
  std::ifstream in(item.path(), std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!in || in.peek() != std::char_traits<char>::eof()) {
    throw std::runtime_error("cannot read " + Utf8FromPath(item.path()));
  }
  return bytes;
}

}  // namespace

FolderContents ReadFolder(const std::string& folder) {
  FolderContents contents;
  for (const auto& item : std::filesystem::directory_iterator(PathFromUtf8(folder))) {
    const bool plainFile = item.is_regular_file() && !item.is_symlink();
    contents[Utf8FromPath(item.path().filename())] =
        plainFile ? std::optional<Bytes>(WholeFile(item)) : std::nullopt;
  }
  return contents;
}

}  // namespace orlaspin::testing
