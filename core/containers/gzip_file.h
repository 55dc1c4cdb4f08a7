// A gzip file (game.tzx.gz): one file compressed, read as the file inside.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlaspin {

// The name ends in ".gz", any case.
bool HasGzipExtension(std::string_view name);

// The gzip magic and the deflate method.
bool HasGzipSignature(std::span<const std::uint8_t> bytes);

// The name of the file inside: the name without its ".gz" ("game.tzx.gz" gives "game.tzx").
std::string_view GzipInnerName(std::string_view name);

struct GzipContent {
  std::vector<std::uint8_t> bytes;
  std::string problem;  // what is wrong, when the content could not be had; bytes then empty
};

// The file inside, checked against its CRC-32 and length, when it is at most most bytes long;
// a longer one (a bomb, perhaps) is refused without more than most + 1 bytes being held.
GzipContent Gunzip(std::span<const std::uint8_t> bytes, std::uint64_t most);

}  // namespace orlaspin
