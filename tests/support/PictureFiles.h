#pragma once

// PNG and BMP files made in the test, so that each case states the kind of
// file it reads: PNG through libpng's writer, BMP assembled byte by byte.

#include "mag/MagEncode.h"

#include <cstdint>
#include <vector>

namespace magtest {

using Bytes = std::vector<std::uint8_t>;

struct PngSpec {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    int colourType = 2;  // PNG_COLOR_TYPE_*: 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<mag::Colour> palette;   // colour type 3
    std::vector<std::uint8_t> trns;     // alpha per palette entry (type 3)
    std::vector<std::uint16_t> trnsKey; // the transparent grey or RGB (types 0, 2)
    // Samples in order, channel by channel, one value each (indices for
    // type 3); packed to the bit depth by the writer.
    std::vector<std::uint16_t> samples;
};

Bytes writePng(const PngSpec& layout);

struct BmpSpec {
    std::int32_t width = 1;
    std::int32_t height = 1;  // negative: top-down rows
    std::uint16_t bitCount = 8;
    std::uint32_t headerBytes = 40;  // 12: the OS/2 header
    std::uint32_t compression = 0;
    std::uint32_t colourCount = 0;    // biClrUsed; 0 means all of 2^bitCount
    std::vector<mag::Colour> palette;  // written as the colour table
    // Indices (1 to 8 bits) or colours (24, 32 bits), top row first.
    std::vector<std::uint8_t> indices;
    std::vector<mag::Colour> colours;
};

Bytes writeBmp(const BmpSpec& layout);

}  // namespace magtest
