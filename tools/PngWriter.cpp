// libpng reports errors by longjmp back to the setjmp in encode().  Every
// frame it may jump over (writeImage, the output callback) holds only plain
// data, so the jump skips no destructor; everything with one lives in the
// callers of encode().

#include "PngWriter.h"

#include <csetjmp>
#include <new>

#include <png.h>

namespace tool {
namespace {

struct RowSource {
    const std::uint8_t* (*row)(const void* context, std::uint32_t y);
    const void* context;
};

struct PngLayout {
    std::uint32_t width;
    std::uint32_t height;
    int bitDepth;
    int colourType;
    png_color palette[256];
    int paletteSize;  // 0: no palette
    bool markTallPixels;
    RowSource rows;
};

void appendOutput(png_structp png, png_bytep data, std::size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bool appended = true;
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        appended = false;
    }
    if (!appended)
        png_error(png, "out of memory");
}

void flushNothing(png_structp) {}

// The default handlers print to stderr; our caller reports the failure itself.
[[noreturn]] void failQuietly(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void ignoreWarning(png_structp, png_const_charp) {}

void writeImage(png_structp png, png_infop info, const PngLayout& layout, std::vector<std::uint8_t>* out)
{
    png_set_write_fn(png, out, appendOutput, flushNothing);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (layout.paletteSize > 0)
        png_set_PLTE(png, info, layout.palette, layout.paletteSize);
    // Pixels per unit 2 across and 1 down: a pixel is twice as tall as wide.
    // The unit stays unknown, since only the shape is known, not a size.
    if (layout.markTallPixels)
        png_set_pHYs(png, info, 2, 1, PNG_RESOLUTION_UNKNOWN);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < layout.height; ++y)
        png_write_row(png, layout.rows.row(layout.rows.context, y));
    png_write_end(png, nullptr);
}

bool encode(const PngLayout& layout, std::vector<std::uint8_t>* out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failQuietly, ignoreWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    out->clear();
    writeImage(png, info, layout, out);
    png_destroy_write_struct(&png, &info);
    return true;
}

const std::uint8_t* bmpRow(const void* bmp, std::uint32_t y) { return static_cast<const BmpView*>(bmp)->row(y); }

const std::uint8_t* bmpRowTwice(const void* bmp, std::uint32_t y)
{
    return static_cast<const BmpView*>(bmp)->row(y / 2);
}

struct RgbRows {
    const std::uint8_t* data;
    std::size_t stride;
};

const std::uint8_t* rgbRow(const void* rows, std::uint32_t y)
{
    const auto* rgb = static_cast<const RgbRows*>(rows);
    return rgb->data + y * rgb->stride;
}

}  // namespace

bool encodeIndexedPng(const BmpView& bmp, TallPixels tall, std::vector<std::uint8_t>* png)
{
    const bool doubled = tall == TallPixels::DoubleRows;
    PngLayout layout{};
    layout.width = bmp.width();
    layout.height = doubled ? bmp.height() * 2 : bmp.height();
    layout.bitDepth = static_cast<int>(bmp.bitsPerPixel());
    layout.colourType = PNG_COLOR_TYPE_PALETTE;
    layout.paletteSize = static_cast<int>(bmp.colourCount());
    for (unsigned i = 0; i < bmp.colourCount(); ++i) {
        const Rgb c = bmp.colour(i);
        layout.palette[i] = {c.red, c.green, c.blue};
    }
    layout.markTallPixels = tall == TallPixels::MarkAspect;
    layout.rows = {doubled ? bmpRowTwice : bmpRow, &bmp};
    return encode(layout, png);
}

bool encodeRgbPng(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgb,
                  std::vector<std::uint8_t>* png)
{
    const std::size_t stride = std::size_t{width} * 3;
    if (width == 0 || height == 0 || rgb.size() / stride < height)
        return false;
    const RgbRows rows{rgb.data(), stride};
    PngLayout layout{};
    layout.width = width;
    layout.height = height;
    layout.bitDepth = 8;
    layout.colourType = PNG_COLOR_TYPE_RGB;
    layout.rows = {rgbRow, &rows};
    return encode(layout, png);
}

}  // namespace tool
