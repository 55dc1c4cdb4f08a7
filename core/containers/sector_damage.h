// How the readers of disk images tell the damage they found in a file or a system area: sectors
// missing from the image and sectors recorded with errors.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/problems.h"

namespace orlaspin {

struct SectorDamage {
  std::size_t sectors = 0;  // that the file or area takes
  std::size_t missing = 0;  // read as zeros
  std::size_t damaged = 0;  // read as recorded, with a CRC error or cut short
};

// "file \"NAME\"", the name's bytes outside printable ASCII shown as '?'.
std::string FileDescription(std::string_view name);

// One warning for the missing sectors of what and one for its damaged ones, if any.
void WarnOfDamage(const std::string& what, const SectorDamage& damage,
                  std::vector<Warning>& warnings);

}  // namespace orlaspin
