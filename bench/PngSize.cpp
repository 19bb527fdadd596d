#include "PngSize.h"

#include <png.h>

#include <vector>

namespace lunidor::bench {
namespace {

void countBytes(png_structp png, png_bytep, png_size_t n) { *static_cast<std::size_t*>(png_get_io_ptr(png)) += n; }
void noFlush(png_structp) {}

std::vector<png_byte> packedRow(const mag::MagPicture& p, std::size_t width, std::size_t y)
{
    const std::uint8_t* row = p.pixels.data() + y * width;
    if (p.colours256)
        return {row, row + width};
    std::vector<png_byte> packed(width / 2);
    for (std::size_t i = 0; i < packed.size(); ++i)
        packed[i] = static_cast<png_byte>(row[2 * i] << 4 | row[2 * i + 1]);
    return packed;
}

}  // namespace

std::size_t indexedPngSize(const mag::MagPicture& p)
{
    const std::uint32_t width = mag::alignedWidth(p.colours256, p.startX, p.endX);
    const std::uint32_t height = std::uint32_t{p.endY} - p.startY + 1;
    // Everything with a destructor exists before setjmp, so that libpng's
    // longjmp on an error skips none.
    std::vector<png_color> palette;
    for (const mag::Colour& c : p.palette)
        palette.push_back({c.red, c.green, c.blue});
    std::vector<std::vector<png_byte>> rows;
    for (std::uint32_t y = 0; y < height; ++y)
        rows.push_back(packedRow(p, width, y));
    std::size_t size = 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, &size, countBytes, noFlush);
    png_set_IHDR(png, info, width, height, p.colours256 ? 8 : 4, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    for (std::vector<png_byte>& row : rows)
        png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return size;
}

}  // namespace lunidor::bench
