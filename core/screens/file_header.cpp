#include "screens/file_header.h"

#include <algorithm>

namespace orlaspin {

std::string HeaderStartFault(std::span<const std::uint8_t> bytes, std::string_view what,
                             std::size_t headerBytes, std::string_view signature,
                             std::string_view shown) {
  const std::string no = "not " + std::string(what) + ": ";
  if (bytes.size() < headerBytes) {
    return no + "it holds " + std::to_string(bytes.size()) + " bytes, less than its " +
           std::to_string(headerBytes) + "-byte header";
  }
  if (!std::equal(signature.begin(), signature.end(), bytes.begin())) {
    return no + "it does not begin with " + std::string(shown);
  }
  return {};
}

}  // namespace orlaspin
