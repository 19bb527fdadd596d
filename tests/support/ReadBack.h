#pragma once

// Reads an encoded MAG file back through the converter, as the viewer
// would, and unpacks the BMP image into palette indices, so that a test can
// compare it with the picture it encoded.

#include "mag/Mag.h"
#include "mag/MagEncode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace magtest {

struct ReadBack {
    int headerResult = -1;  // of the header reader over the whole file
    mag::Status status = mag::Status::CannotRead;
    MMAG_INFO info{};
    std::vector<mag::Colour> palette;
    std::vector<std::uint8_t> pixels;  // one index per pixel, top row first
    std::string comment;
};

ReadBack readBack(const std::vector<std::uint8_t>& file);

}  // namespace magtest
