// BMP conversion over bytes held in memory: the size probe and the
// conversion into a caller's image buffer.

#include "mag/Mag.h"
#include "mag/Bytes.h"

#include <cstring>

namespace mag {
namespace {

constexpr std::uint32_t kBmpHeaderBytes = 54;  // file header 14 + information header 40
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint8_t kCommentEnd = 0x1A;
constexpr std::uint32_t kMagHeaderBytes = 32;

void writeBmpHeaders(const MMAG_INFO& info, std::uint8_t* image)
{
    using bytes::put16le;
    using bytes::put32le;
    const std::uint32_t width = std::uint32_t{info.alignedEndX} - info.alignedStartX + 1;
    const std::uint32_t rows = std::uint32_t{info.endY} - info.startY + 1;
    std::memset(image, 0, kBmpHeaderBytes);
    image[0] = 'B';
    image[1] = 'M';
    put32le(image + 2, bmpImageSize(info));
    put32le(image + 10, kBmpHeaderBytes + colourTableBytes(info));
    put32le(image + 14, kInfoHeaderBytes);
    put32le(image + 18, width);
    put32le(image + 22, rows);  // positive: rows stored bottom-up
    put16le(image + 26, 1);
    put16le(image + 28, is256Colour(info) ? 8 : 4);
    // Compression, image size, resolution and colour counts stay 0.
}

}  // namespace

std::uint32_t bmpImageSize(const MMAG_INFO& info)
{
    // At most 65532 x 65535 + 1078 bytes, which fits 32 bits.
    return std::uint32_t{info.rowBytes} * info.height + colourTableBytes(info) + kBmpHeaderBytes;
}

Status probeBmpSize(const std::uint8_t* data, std::uint32_t len, std::uint32_t* size)
{
    // The probe looks only as far as the end of the header, so a file whose
    // data areas follow it is fine here; the conversion checks them.
    const void* end = len == 0 ? nullptr : std::memchr(data, kCommentEnd, len);
    if (end == nullptr)
        return Status::NoHeader;
    const std::uint64_t headerEnd = static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(end) - data) +
                                    1 + kMagHeaderBytes;
    if (headerEnd > len)
        return Status::NoHeader;
    MMAG_INFO info;
    const int result = getHeader(data, static_cast<std::uint32_t>(headerEnd), &info);
    if (result != kHeaderOk && result != kHeaderAreasPastEnd)
        return statusOfHeaderResult(result);
    *size = bmpImageSize(info);
    return Status::Ok;
}

Status convertToBmp(const std::uint8_t* data, std::uint32_t len, std::uint8_t* image, std::uint32_t imageSize)
{
    MMAG_INFO info;
    const int result = getHeader(data, len, &info);
    if (result != kHeaderOk)
        return statusOfHeaderResult(result);
    if (image == nullptr || imageSize < bmpImageSize(info))
        return Status::ImageTooSmall;
    writeBmpHeaders(info, image);
    if (getPalette(data, image + kBmpHeaderBytes, nullptr, len, &info) != 0)
        return Status::PalettePastEnd;
    decode(data, len, image + kBmpHeaderBytes + colourTableBytes(info), &info);
    return Status::Ok;
}

}  // namespace mag
