// A ZX Spectrum Next program (.nex): a 512-byte header whose flags say which loading screens
// follow it, then those screens in a fixed order, then the program's memory banks. The screens
// are listed; the banks are not.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "containers/collection.h"

namespace orlaspin {

// "Next" then "V1.": how a NEX file of unknown extension is recognised.
bool HasNexSignature(std::span<const std::uint8_t> bytes);

// Every loading screen the header flags, in the file's order, named stem and "-layer2", "-ula",
// "-lores", "-hires", "-hicolour", "-layer2-320" or "-layer2-640", typed by its format, with the
// header's border colour: the palette block colours the Layer 2 and LoRes screens, and the
// header's palette offset picks the colours of the 320 and 640 wide ones. A screen cut short
// ends the list with a warning. Raises ImageFormatError naming the field found and what was
// expected for a header that is short, of another signature or version, or whose second screen
// flags are none of those known.
Collection ReadNexFile(std::span<const std::uint8_t> image, std::string_view stem);

}  // namespace orlaspin
