#include "PngFile.h"

#include <png.h>

#include <algorithm>
#include <vector>

namespace lunidor::bench {
namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void noFlush(png_structp) {}

struct ReadCursor {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos;
};

void readBytes(png_structp png, png_bytep data, png_size_t n)
{
    auto* cursor = static_cast<ReadCursor*>(png_get_io_ptr(png));
    if (n > cursor->bytes->size() - cursor->pos)
        png_error(png, "read past the end");
    std::copy_n(cursor->bytes->data() + cursor->pos, n, data);
    cursor->pos += n;
}

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

std::vector<std::uint8_t> indexedPng(const mag::MagPicture& p)
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
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, noFlush);
    png_set_IHDR(png, info, width, height, p.colours256 ? 8 : 4, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_write_info(png, info);
    for (std::vector<png_byte>& row : rows)
        png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool decodeIndexedPng(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>* rows)
{
    ReadCursor cursor{&bytes, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &cursor, readBytes);
    png_read_info(png, info);
    const std::size_t stride = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    rows->resize(stride * height);
    for (png_uint_32 y = 0; y < height; ++y)
        png_read_row(png, rows->data() + y * stride, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace lunidor::bench
