#pragma once

// PNG files made in memory through libpng.

#include "BmpView.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tool {

// How pixels twice as tall as they are wide (200-line pictures) reach the PNG.
enum class TallPixels {
    None,        // square pixels, nothing to say
    MarkAspect,  // a pHYs chunk stating the 1:2 shape of the pixels
    DoubleRows,  // every row written twice, so square pixels show the true shape
};

// The BMP's picture as an indexed PNG with its 16 or 256 colours, pixel for
// pixel.  False when libpng fails, which means memory ran out.
bool encodeIndexedPng(const BmpView& bmp, TallPixels tall, std::vector<std::uint8_t>* png);

// An 8-bit RGB PNG from top-down rows of width x 3 bytes.
bool encodeRgbPng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgb,
                  std::vector<std::uint8_t>* png);

}  // namespace tool
