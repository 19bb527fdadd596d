#pragma once

// Pictures and checks shared by the tests of lunidor-convert.

#include "support/MagBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace magtest {

// The BMP file image the converter core makes of a MAG file.
Bytes bmpOf(const Bytes& mag);

// The names of the entries of a directory, sorted.
std::vector<std::string> filesIn(const std::string& directory);

}  // namespace magtest
