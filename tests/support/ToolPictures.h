#pragma once

// Pictures and checks shared by the tests of lunidor-convert.

#include "support/MagBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace magtest {

// A picture of literal units with random pixels, `rows` rows high.
MagParts randomPicture(std::uint8_t screenMode, std::uint16_t startX, std::uint16_t endX, std::uint16_t rows,
                       std::uint32_t seed);

// The BMP file image the converter core makes of a MAG file.
Bytes bmpOf(const Bytes& mag);

// The names of the entries of a directory, sorted.
std::vector<std::string> filesIn(const std::string& directory);

}  // namespace magtest
