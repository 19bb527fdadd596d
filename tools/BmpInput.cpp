// Uncompressed Windows BMP: 1, 4 and 8 bits with a colour table (kept as the
// palette), 24 and 32 bits of blue, green, red (indexed colour by colour).
// Rows bottom-up or, with a negative height, top-down.  The information
// header may be the OS/2 one of 12 bytes or a Windows one of 40 bytes or
// more.  Run-length compression and 16-bit pixels are not supported, and a
// 32-bit picture whose alpha mask marks a pixel transparent is refused.
//
// Every field is read through View, which checks its bounds against the
// file, and every size is formed in 64 bits before it is compared.

#include "PictureFormats.h"

#include <new>

namespace lunidor {
namespace {

constexpr std::uint64_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;

class View {
public:
    explicit View(const std::vector<std::uint8_t>& file) : file_(file) {}

    bool has(std::uint64_t offset, std::uint64_t count) const
    {
        return offset <= file_.size() && count <= file_.size() - offset;
    }
    std::uint32_t u16(std::uint64_t at) const { return has(at, 2) ? byte(at) | byte(at + 1) << 8 : 0; }
    std::uint32_t u32(std::uint64_t at) const { return has(at, 4) ? u16(at) | u16(at + 2) << 16 : 0; }
    const std::uint8_t* at(std::uint64_t offset) const { return file_.data() + offset; }

private:
    std::uint32_t byte(std::uint64_t at) const { return file_[static_cast<std::size_t>(at)]; }
    const std::vector<std::uint8_t>& file_;
};

struct BmpLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    std::uint32_t bitCount = 0;
    std::uint32_t planes = 0;
    std::uint64_t paletteOffset = 0;
    std::uint32_t paletteEntries = 0;
    std::uint32_t paletteEntryBytes = 4;
    std::uint64_t pixelOffset = 0;
    std::uint64_t stride = 0;
    bool alpha = false;  // 32-bit pixels whose fourth byte is alpha
};

PictureStatus unsupported(std::string* detail, const std::string& what)
{
    *detail = what;
    return PictureStatus::UnsupportedBmp;
}

PictureStatus damaged(std::string* detail, const std::string& what)
{
    *detail = what;
    return PictureStatus::BadBmp;
}

// Only the usual 8-bit masks are accepted for 32-bit pixels.
bool standardMasks(const View& v, std::uint64_t at)
{
    return v.u32(at) == 0x00FF0000 && v.u32(at + 4) == 0x0000FF00 && v.u32(at + 8) == 0x000000FF;
}

PictureStatus readCoreHeader(const View& v, BmpLayout* bmp)
{
    bmp->width = v.u16(18);
    bmp->height = v.u16(20);
    bmp->planes = v.u16(22);
    bmp->bitCount = v.u16(24);
    bmp->paletteEntryBytes = 3;
    bmp->paletteOffset = kFileHeaderBytes + kCoreHeaderBytes;
    return PictureStatus::Ok;
}

PictureStatus readInfoHeader(const View& v, std::uint32_t headerBytes, BmpLayout* bmp, std::string* detail)
{
    const auto width = static_cast<std::int32_t>(v.u32(18));
    const auto height = static_cast<std::int32_t>(v.u32(22));
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return damaged(detail, "width or height out of range");
    bmp->width = static_cast<std::uint32_t>(width);
    bmp->topDown = height < 0;
    bmp->height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    bmp->planes = v.u16(26);
    bmp->bitCount = v.u16(28);
    const std::uint32_t compression = v.u32(30);
    bmp->paletteEntries = v.u32(46);
    bmp->paletteOffset = kFileHeaderBytes + headerBytes;
    if (compression == kCompressionBitFields && bmp->bitCount != 32)
        return unsupported(detail, std::to_string(bmp->bitCount) + "-bit pixels with colour masks");
    if (compression == kCompressionBitFields) {
        // The masks follow a 40-byte header; larger headers hold them.
        const std::uint64_t masks = kFileHeaderBytes + kInfoHeaderBytes;
        if (headerBytes == kInfoHeaderBytes)
            bmp->paletteOffset += 12;
        if (!v.has(masks, 12))
            return damaged(detail, "file ends inside the colour masks");
        if (!standardMasks(v, masks))
            return unsupported(detail, "32-bit pixels with unusual colour masks");
        // Headers of 56 bytes or more also hold an alpha mask.
        const std::uint32_t alphaMask = headerBytes >= 56 ? v.u32(masks + 12) : 0;
        if (alphaMask != 0 && alphaMask != 0xFF000000)
            return unsupported(detail, "32-bit pixels with an unusual alpha mask");
        bmp->alpha = alphaMask != 0;
    } else if (compression != kCompressionNone) {
        return unsupported(detail, "compressed pixel data");
    }
    return PictureStatus::Ok;
}

PictureStatus readLayout(const View& v, BmpLayout* bmp, std::string* detail)
{
    if (!v.has(0, kFileHeaderBytes + 4))
        return damaged(detail, "file ends inside the headers");
    const std::uint32_t headerBytes = v.u32(14);
    if (headerBytes != kCoreHeaderBytes && headerBytes < kInfoHeaderBytes)
        return unsupported(detail, "information header of " + std::to_string(headerBytes) + " bytes");
    if (!v.has(kFileHeaderBytes, headerBytes))
        return damaged(detail, "file ends inside the headers");
    const PictureStatus s =
        headerBytes == kCoreHeaderBytes ? readCoreHeader(v, bmp) : readInfoHeader(v, headerBytes, bmp, detail);
    if (s != PictureStatus::Ok)
        return s;
    if (bmp->planes != 1)
        return damaged(detail, "plane count not 1");
    switch (bmp->bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
    case 32: break;
    default: return unsupported(detail, std::to_string(bmp->bitCount) + "-bit pixels");
    }
    if (bmp->width == 0 || bmp->height == 0)
        return damaged(detail, "empty picture");
    bmp->pixelOffset = v.u32(10);
    bmp->stride = (std::uint64_t{bmp->width} * bmp->bitCount + 31) / 32 * 4;
    return PictureStatus::Ok;
}

PictureStatus readColourTable(const View& v, BmpLayout* bmp, std::vector<mag::Colour>* palette,
                              std::string* detail)
{
    const std::uint32_t most = 1u << bmp->bitCount;
    if (bmp->paletteEntries == 0)
        bmp->paletteEntries = most;
    if (bmp->paletteEntries > most)
        return damaged(detail, "colour table larger than the pixels can index");
    if (!v.has(bmp->paletteOffset, std::uint64_t{bmp->paletteEntries} * bmp->paletteEntryBytes))
        return damaged(detail, "file ends inside the colour table");
    const std::uint8_t* entry = v.at(bmp->paletteOffset);
    for (std::uint32_t i = 0; i < bmp->paletteEntries; ++i, entry += bmp->paletteEntryBytes)
        palette->push_back({entry[2], entry[1], entry[0]});
    return PictureStatus::Ok;
}

std::uint8_t indexAt(const std::uint8_t* row, std::uint32_t x, std::uint32_t bits)
{
    const std::uint32_t bit = x * bits;
    const std::uint32_t shift = 8 - bits - bit % 8;
    return static_cast<std::uint8_t>(row[bit / 8] >> shift & ((1u << bits) - 1));
}

PictureStatus readIndexedRows(const View& v, const BmpLayout& bmp, IndexedPicture* picture)
{
    for (std::uint32_t y = 0; y < bmp.height; ++y) {
        const std::uint32_t fileRow = bmp.topDown ? y : bmp.height - 1 - y;
        const std::uint8_t* row = v.at(bmp.pixelOffset + fileRow * bmp.stride);
        std::uint8_t* out = picture->pixels.data() + std::size_t{y} * bmp.width;
        for (std::uint32_t x = 0; x < bmp.width; ++x) {
            out[x] = indexAt(row, x, bmp.bitCount);
            if (out[x] >= picture->palette.size())
                return PictureStatus::IndexBeyondPalette;
        }
    }
    return PictureStatus::Ok;
}

PictureStatus readTrueColourRows(const View& v, const BmpLayout& bmp, IndexedPicture* picture)
{
    const std::uint32_t step = bmp.bitCount / 8;
    ColourIndexer indexer;
    for (std::uint32_t y = 0; y < bmp.height; ++y) {
        const std::uint32_t fileRow = bmp.topDown ? y : bmp.height - 1 - y;
        const std::uint8_t* p = v.at(bmp.pixelOffset + fileRow * bmp.stride);
        std::uint8_t* out = picture->pixels.data() + std::size_t{y} * bmp.width;
        // The fourth byte of a 32-bit pixel is unused unless an alpha mask
        // says otherwise.
        for (std::uint32_t x = 0; x < bmp.width; ++x, p += step) {
            if (bmp.alpha && p[3] != 255)
                return PictureStatus::Transparent;
            if (!indexer.indexOf({p[2], p[1], p[0]}, &out[x]))
                return PictureStatus::TooManyColours;
        }
    }
    picture->palette = indexer.takePalette();
    return PictureStatus::Ok;
}

PictureStatus readBmpChecked(const View& v, IndexedPicture* picture, std::string* detail)
{
    BmpLayout bmp;
    if (PictureStatus s = readLayout(v, &bmp, detail); s != PictureStatus::Ok)
        return s;
    if (bmp.width > kMaxWidth || bmp.height > kMaxHeight)
        return PictureStatus::TooLarge;
    if (!v.has(bmp.pixelOffset, bmp.stride * bmp.height))
        return damaged(detail, "file ends inside the pixel rows");
    const bool indexed = bmp.bitCount <= 8;
    if (indexed) {
        if (PictureStatus s = readColourTable(v, &bmp, &picture->palette, detail); s != PictureStatus::Ok)
            return s;
    }
    picture->width = bmp.width;
    picture->height = bmp.height;
    picture->pixels.resize(std::size_t{bmp.width} * bmp.height);
    return indexed ? readIndexedRows(v, bmp, picture) : readTrueColourRows(v, bmp, picture);
}

}  // namespace

PictureStatus readBmp(const std::vector<std::uint8_t>& file, IndexedPicture* picture, std::string* detail)
{
    try {
        return readBmpChecked(View(file), picture, detail);
    } catch (const std::bad_alloc&) {
        return PictureStatus::OutOfMemory;
    }
}

}  // namespace lunidor
