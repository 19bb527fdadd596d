#pragma once

// A MAG picture as the command-line tool works with it: read from a file or
// from standard input, converted by the converter core into the BMP file
// image the viewer shows, with the header it came from.

#include "mag/Mag.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tool {

struct MagPicture {
    MMAG_INFO info{};
    std::vector<std::uint8_t> bmp;  // a complete BMP file image
};

// "-" stands for standard input or standard output.
bool isStandardStream(const std::string& name);

// How a file is named in messages.
std::string displayName(const std::string& name);

// Reads the whole input, a path or "-".  size receives the byte count;
// bytes may hold more behind it.
mag::Status readInput(const std::string& name, std::vector<std::uint8_t>* bytes, std::uint32_t* size);

// Reads the input and converts it.
mag::Status loadMagPicture(const std::string& name, MagPicture* picture);

// Converts a MAG file held whole in memory.
mag::Status convertMagFile(const std::vector<std::uint8_t>& file, MagPicture* picture);

// 200-line mode, bit 0 of screenMode: the picture was shown on a screen of
// 200 lines stretched to the height of 400, so each pixel is twice as tall
// as it is wide.
inline bool hasTallPixels(const MMAG_INFO& info) { return (info.screenMode & 1) != 0; }

}  // namespace tool
