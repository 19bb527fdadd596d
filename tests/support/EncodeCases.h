#pragma once

// Pictures that the encoder must write and read back exactly: both colour
// modes, the smallest and largest extents, odd positions, pictures tall
// enough for the copy from 16 rows up, with and without repetition.  Shared
// by the round-trip tests and by the program that writes them out as seed
// files for the fuzzers.

#include "mag/MagEncode.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace magtest {

struct EncodeCase {
    std::string name;
    std::function<mag::MagPicture()> make;
};

const std::vector<EncodeCase>& encodeCases();

// GoogleTest names a failing case by this rather than by its bytes.
inline void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }

// A picture of the given mode and extent, filled with index 0, with a
// palette whose entries all differ.
mag::MagPicture blankPicture(bool colours256, std::uint16_t startX, std::uint16_t startY, std::uint16_t endX,
                             std::uint16_t endY);

// Width of the picture in pixels, as its pixels are laid out.
std::uint32_t widthOf(const mag::MagPicture& picture);

// Sets every pixel to paint(x, y), x and y counted from the picture's
// top-left corner; the result is masked to the palette.
void paint(mag::MagPicture* picture, const std::function<unsigned(std::uint32_t x, std::uint32_t y)>& colour);

}  // namespace magtest
