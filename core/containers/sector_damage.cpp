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
                  std::vector<Warning>& warnings) {
  if (damage.missing > 0) {
    warnings.push_back({Problem::SectorsMissing, what, Details(damage.missing, damage.sectors)});
  }
  if (damage.damaged > 0) {
    warnings.push_back({Problem::SectorsDamaged, what, Details(damage.damaged, damage.sectors)});
  }
}

}  // namespace orlaspin
