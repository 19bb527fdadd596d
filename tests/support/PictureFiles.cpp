#include "support/PictureFiles.h"

#include "support/MagBuilder.h"

#include <png.h>

#include <stdexcept>

namespace magtest {
namespace {

void appendToBytes(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void noFlush(png_structp) {}

[[noreturn]] void onError(png_structp, png_const_charp message) { throw std::runtime_error(message); }
void onWarning(png_structp, png_const_charp) {}

int channelsOf(int colourType)
{
    switch (colourType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

Bytes packRow(const PngSpec& layout, std::uint32_t y)
{
    const auto perRow = static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(channelsOf(layout.colourType));
    const std::uint16_t* s = layout.samples.data() + y * perRow;
    Bytes row;
    if (layout.bitDepth == 16) {
        for (std::size_t i = 0; i < perRow; ++i) {
            row.push_back(static_cast<std::uint8_t>(s[i] >> 8));
            row.push_back(static_cast<std::uint8_t>(s[i]));
        }
        return row;
    }
    const auto bits = static_cast<unsigned>(layout.bitDepth);
    row.assign((perRow * bits + 7) / 8, 0);
    for (std::size_t i = 0; i < perRow; ++i) {
        const std::size_t bit = i * bits;
        row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | s[i] << (8 - bits - bit % 8));
    }
    return row;
}

void writeChunks(png_structp png, png_infop info, const PngSpec& layout)
{
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> plte;
    for (const mag::Colour& c : layout.palette)
        plte.push_back({c.red, c.green, c.blue});
    if (!plte.empty())
        png_set_PLTE(png, info, plte.data(), static_cast<int>(plte.size()));
    png_color_16 key{};
    if (layout.trnsKey.size() == 1)
        key.gray = layout.trnsKey[0];
    if (layout.trnsKey.size() == 3) {
        key.red = layout.trnsKey[0];
        key.green = layout.trnsKey[1];
        key.blue = layout.trnsKey[2];
    }
    if (!layout.trns.empty() || !layout.trnsKey.empty())
        png_set_tRNS(png, info, layout.trns.empty() ? nullptr : layout.trns.data(), static_cast<int>(layout.trns.size()),
                     layout.trnsKey.empty() ? nullptr : &key);
    png_write_info(png, info);
    std::vector<Bytes> rows;
    std::vector<png_bytep> pointers;
    for (std::uint32_t y = 0; y < layout.height; ++y)
        rows.push_back(packRow(layout, y));
    for (Bytes& r : rows)
        pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
}

Bytes bmpRow(const BmpSpec& layout, std::uint32_t y)
{
    const auto width = static_cast<std::uint32_t>(layout.width);
    Bytes row;
    if (layout.bitCount >= 24) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const mag::Colour& c = layout.colours[std::size_t{y} * width + x];
            row.insert(row.end(), {c.blue, c.green, c.red});
            if (layout.bitCount == 32)
                row.push_back(0x7F);  // unused byte, not alpha
        }
    } else {
        const unsigned bits = layout.bitCount;
        row.assign((width * bits + 7) / 8, 0);
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t bit = x * bits;
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] |
                                                     layout.indices[std::size_t{y} * width + x] << (8 - bits - bit % 8));
        }
    }
    row.resize((row.size() + 3) / 4 * 4, 0);
    return row;
}

}  // namespace

Bytes writePng(const PngSpec& layout)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png_create_info_struct(png);
    try {
        png_set_write_fn(png, &out, appendToBytes, noFlush);
        writeChunks(png, info, layout);
    } catch (...) {
        png_destroy_write_struct(&png, &info);
        throw;
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes writeBmp(const BmpSpec& layout)
{
    const bool core = layout.headerBytes == 12;
    const std::uint32_t entries =
        layout.bitCount <= 8 ? static_cast<std::uint32_t>(layout.palette.size()) : 0;
    const std::uint32_t tableBytes = entries * (core ? 3 : 4);
    const std::uint32_t maskBytes = layout.compression == 3 && layout.headerBytes == 40 ? 12 : 0;
    const std::uint32_t pixelOffset = 14 + layout.headerBytes + maskBytes + tableBytes;
    Bytes b{'B', 'M'};
    putLe32(b, 0);  // file size, filled in below
    putLe32(b, 0);
    putLe32(b, pixelOffset);
    putLe32(b, layout.headerBytes);
    if (core) {
        putLe16(b, static_cast<std::uint32_t>(layout.width));
        putLe16(b, static_cast<std::uint32_t>(layout.height));
        putLe16(b, 1);
        putLe16(b, layout.bitCount);
    } else {
        putLe32(b, static_cast<std::uint32_t>(layout.width));
        putLe32(b, static_cast<std::uint32_t>(layout.height));
        putLe16(b, 1);
        putLe16(b, layout.bitCount);
        putLe32(b, layout.compression);
        putLe32(b, 0);
        putLe32(b, 2835);
        putLe32(b, 2835);
        putLe32(b, layout.colourCount);
        putLe32(b, 0);
        b.resize(14 + layout.headerBytes, 0);
        if (layout.compression == 3) {
            const std::size_t masks = 14 + 40;
            if (maskBytes != 0)
                b.resize(b.size() + maskBytes, 0);
            const std::uint32_t values[3] = {0xFF0000, 0xFF00, 0xFF};
            for (std::size_t i = 0; i < 3; ++i)
                for (std::size_t k = 0; k < 4; ++k)
                    b[masks + 4 * i + k] = static_cast<std::uint8_t>(values[i] >> (8 * k));
        }
    }
    for (std::uint32_t i = 0; i < entries; ++i) {
        const mag::Colour& c = layout.palette[i];
        b.insert(b.end(), {c.blue, c.green, c.red});
        if (!core)
            b.push_back(0);
    }
    const std::uint32_t rows = static_cast<std::uint32_t>(layout.height < 0 ? -layout.height : layout.height);
    for (std::uint32_t i = 0; i < rows; ++i) {
        // Stored bottom-up unless the height is negative.
        const std::uint32_t y = layout.height < 0 ? i : rows - 1 - i;
        const Bytes row = bmpRow(layout, y);
        b.insert(b.end(), row.begin(), row.end());
    }
    const auto size = static_cast<std::uint32_t>(b.size());
    for (std::size_t k = 0; k < 4; ++k)
        b[2 + k] = static_cast<std::uint8_t>(size >> (8 * k));
    return b;
}

}  // namespace magtest
