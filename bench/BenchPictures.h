#pragma once

// Pictures for the benchmarks: scenes with the structure real MAG pictures
// have (dithered gradients, flat areas, fine regular detail, text, a little
// texture), at any size, and the two extremes of the format.

#include "mag/MagEncode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lunidor::bench {

// A landscape: a dithered sky, a moon, two mountain ridges with shaded
// edges, houses with lit windows, a signboard of text and grassy ground.
mag::MagPicture naturalScene(int width, int height, bool colours256);

// A picture of one colour: every unit but the very first is a copy.
mag::MagPicture flatPicture(int width, int height);

// The MAG file of a picture whose every unit is literal (all flags 0).
std::vector<std::uint8_t> allLiteralFile(int width, int height, std::uint32_t seed);

}  // namespace lunidor::bench
