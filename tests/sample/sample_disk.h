// The sample disk of Orlaspin: screens of our own making on a TR-DOS image, for trying the
// program and for the end-to-end tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "screens/screen.h"
#include "trd_builder.h"

namespace orlaspin::sample {

// A colour test card: the eight colours normal and bright, fine patterns, a dither ramp, a
// circle over it all and a flashing line.
ScreenBytes TestCardScreen();
// Text in our own font in many colours.
ScreenBytes TextScreen();
// Moire rings, stripes, checkerboards and an XOR pattern.
ScreenBytes PatternScreen();

// The screens of the sample disk with their catalogue names, in catalogue order.
std::vector<std::pair<std::string, ScreenBytes>> SampleScreens();

// The disk: the sample screens, then a short text file that is no screen.
testing::TrdBuilder SampleDisk();

}  // namespace orlaspin::sample
