#include "BmpView.h"

namespace tool {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kColourTableOffset = kFileHeaderBytes + kInfoHeaderBytes;

std::uint32_t u32le(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint32_t u16le(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

bool fits(std::uint64_t offset, std::uint64_t count, std::uint64_t size)
{
    return offset <= size && count <= size - offset;
}

}  // namespace

std::optional<BmpView> BmpView::of(std::span<const std::uint8_t> image)
{
    if (image.size() < kColourTableOffset || image[0] != 'B' || image[1] != 'M')
        return std::nullopt;
    // Width and height are signed in the format; a negative height would
    // mean top-down rows, which the converter never writes.
    const std::uint32_t width = u32le(image, 18);
    const std::uint32_t height = u32le(image, 22);
    const std::uint32_t bits = u16le(image, 28);
    const bool shapeOk = u32le(image, 14) == kInfoHeaderBytes && width != 0 && width < 0x80000000u &&
                         height != 0 && height < 0x80000000u && u16le(image, 26) == 1 &&
                         (bits == 4 || bits == 8) && u32le(image, 30) == 0;
    if (!shapeOk)
        return std::nullopt;
    BmpView view;
    view.image_ = image;
    view.width_ = width;
    view.height_ = height;
    view.bitsPerPixel_ = bits;
    view.pixelOffset_ = u32le(image, 10);
    view.stride_ = (std::uint64_t{width} * bits + 31) / 32 * 4;
    const bool partsFit = fits(kColourTableOffset, std::uint64_t{view.colourCount()} * 4, view.pixelOffset_) &&
                          fits(view.pixelOffset_, view.stride_ * height, image.size());
    if (!partsFit)
        return std::nullopt;
    return view;
}

Rgb BmpView::colour(unsigned index) const
{
    const std::size_t at = kColourTableOffset + std::size_t{index % colourCount()} * 4;
    return {image_[at + 2], image_[at + 1], image_[at]};
}

const std::uint8_t* BmpView::row(std::uint32_t fromTop) const
{
    const std::uint64_t memoryRow = height_ - 1 - fromTop % height_;
    return image_.data() + pixelOffset_ + memoryRow * stride_;
}

unsigned BmpView::colourIndex(std::uint32_t x, std::uint32_t fromTop) const
{
    const std::uint8_t* pixels = row(fromTop);
    x %= width_;
    if (bitsPerPixel_ == 8)
        return pixels[x];
    const std::uint8_t pair = pixels[x / 2];
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

}  // namespace tool
