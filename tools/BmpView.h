#pragma once

// A read-only view of a BMP file image with a colour table: 4 or 8 bits per
// pixel, uncompressed, rows stored bottom-up, as the converter writes them.
// Every position is checked once, when the view is made.

#include <cstdint>
#include <optional>
#include <span>

namespace tool {

struct Rgb {
    std::uint8_t red, green, blue;
};

class BmpView {
public:
    // Nothing when the image is not such a BMP or its parts lie outside it.
    static std::optional<BmpView> of(std::span<const std::uint8_t> image);

    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    unsigned bitsPerPixel() const { return bitsPerPixel_; }
    unsigned colourCount() const { return 1u << bitsPerPixel_; }
    Rgb colour(unsigned index) const;

    // The pixel bytes of a row, counted from the top of the picture.  For 4
    // bits per pixel the high nibble of each byte is the left pixel.  A
    // coordinate out of range wraps around rather than reach outside.
    const std::uint8_t* row(std::uint32_t fromTop) const;
    unsigned colourIndex(std::uint32_t x, std::uint32_t fromTop) const;

private:
    BmpView() = default;

    std::span<const std::uint8_t> image_;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    unsigned bitsPerPixel_ = 0;
    std::uint32_t pixelOffset_ = 0;
    std::uint64_t stride_ = 0;
};

}  // namespace tool
