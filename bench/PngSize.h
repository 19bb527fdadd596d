#pragma once

#include "mag/MagEncode.h"

#include <cstddef>

namespace lunidor::bench {

// Bytes of the picture written by libpng as an indexed PNG (4 bits per
// pixel in 16 colours, 8 in 256) at libpng's default compression level and
// filters: the yardstick the MAG sizes are set beside.
std::size_t indexedPngSize(const mag::MagPicture& picture);

}  // namespace lunidor::bench
