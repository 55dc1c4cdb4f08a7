#include "containers/sector_damage.h"

namespace orlaspin {

std::string FileDescription(std::string_view name) {
  std::string printable(name);
  for (char& c : printable) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return "file \"" + printable + "\"";
}

void WarnOfDamage(const std::string& what, const SectorDamage& damage,
                  std::vector<std::string>& warnings) {
  const std::string ofAll = " of " + std::to_string(damage.sectors) + " sectors ";
  if (damage.missing > 0) {
    warnings.push_back(what + ": " + std::to_string(damage.missing) + ofAll +
                       "missing, read as zeros");
  }
  if (damage.damaged > 0) {
    warnings.push_back(what + ": " + std::to_string(damage.damaged) + ofAll +
                       "damaged (CRC error or cut short), read as recorded");
  }
}

}  // namespace orlaspin
