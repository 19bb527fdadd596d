#pragma once

// Small RGB pictures for file managers: the picture fitted into a square,
// at its true shape, averaged in linear light so that the dithering of the
// era keeps its brightness when shrunk.

#include "BmpView.h"

#include <cstdint>
#include <vector>

namespace tool {

struct PixelSize {
    std::uint32_t width;
    std::uint32_t height;
    bool operator==(const PixelSize&) const = default;
};

// The size a width x height picture takes when fitted into box x box with
// its shape kept: pictures with tall pixels count as twice as high.  A
// picture that already fits keeps its true size; each side is at least 1.
PixelSize fitThumbnail(std::uint32_t width, std::uint32_t height, bool tallPixels, std::uint32_t box);

// The BMP's picture resampled to size: top-down rows of 3 bytes per pixel.
// Each output pixel is the average of the picture area it covers.
std::vector<std::uint8_t> renderThumbnail(const BmpView& bmp, PixelSize size);

}  // namespace tool
