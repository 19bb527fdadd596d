// The MAG header: found behind the comment's terminating 0x1A byte, checked,
// and turned into the geometry that every later step uses.

#include "mag/M2BC.h"
#include "mag/Mag.h"
#include "mag/Bytes.h"

#include <cstring>

namespace mag {
namespace {

constexpr char kSignature[8] = {'M', 'A', 'K', 'I', '0', '2', ' ', ' '};
constexpr std::uint32_t kHeaderBytes = 32;
constexpr std::uint8_t kCommentEnd = 0x1A;

void copyNames(const std::uint8_t* data, MMAG_INFO* info)
{
    // Taken as they stand: a NUL or 0x1A among them is kept.
    std::memcpy(info->machineName, data + 8, 4);
    info->machineName[4] = '\0';
    std::memcpy(info->userName, data + 12, 19);
    info->userName[19] = '\0';
}

void readFields(const std::uint8_t* h, MMAG_INFO* info)
{
    using bytes::u16le;
    using bytes::u32le;
    info->headTop = h[0];
    info->machine = h[1];
    info->machineFlags = h[2];
    info->screenMode = h[3];
    info->startX = u16le(h + 4);
    info->startY = u16le(h + 6);
    info->endX = u16le(h + 8);
    info->endY = u16le(h + 10);
    info->flagAOffset = u32le(h + 12);
    info->flagBOffset = u32le(h + 16);
    info->flagBSize = u32le(h + 20);
    info->pixelOffset = u32le(h + 24);
    info->pixelSize = u32le(h + 28);
}

// A pixel unit is 4 bytes of pixel data: 8 pixels at 4 bits, 4 at 8 bits.
void deriveGeometry(MMAG_INFO* info)
{
    const std::uint32_t unit = is256Colour(*info) ? 4 : 8;
    const std::uint32_t alignedStart = info->startX / unit * unit;
    const std::uint32_t alignedEnd = (info->endX / unit + 1) * unit - 1;
    info->alignedStartX = static_cast<std::uint16_t>(alignedStart);
    info->alignedEndX = static_cast<std::uint16_t>(alignedEnd);
    // A 256-colour row 65536 pixels wide does not fit and is kept as 0.
    info->rowBytes = static_cast<std::uint16_t>((alignedEnd + 1 - alignedStart) / (unit / 4));
    info->height = static_cast<std::uint16_t>(info->endY - info->startY + 1);
}

// The later steps size the image as rowBytes x height and write
// endY - startY + 1 rows; refuse every extent where those disagree.
bool extentUsable(const MMAG_INFO& info)
{
    const bool horizontal = info.alignedEndX > info.alignedStartX && info.rowBytes != 0;
    const bool vertical = info.endY >= info.startY && info.endY - info.startY < 0xFFFF;
    return horizontal && vertical;
}

// Flag A has no size field.  Its bound reserves one row's bits rounded up
// to whole bytes, row by row, which is what files have always been held to.
std::uint64_t flagABound(const MMAG_INFO& info)
{
    const std::int64_t perRow = (static_cast<std::int64_t>(info.rowBytes / 2) - 1) / 16 + 1;
    return static_cast<std::uint64_t>(perRow) * info.height;
}

bool areasWithin(const MMAG_INFO& info, std::uint32_t len)
{
    const std::uint64_t h = info.headerOffset;
    return bytes::fits(h + info.flagAOffset, flagABound(info), len) &&
           bytes::fits(h + info.flagBOffset, info.flagBSize, len) &&
           bytes::fits(h + info.pixelOffset, info.pixelSize, len);
}

}  // namespace

int getHeader(const std::uint8_t* data, std::uint32_t len, MMAG_INFO* info)
{
    if (len == 0)
        return kHeaderMissing;
    const void* end = std::memchr(data, kCommentEnd, len);
    if (end == nullptr)
        return kHeaderMissing;
    const auto headerOffset = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(end) - data) + 1;
    info->headerOffset = headerOffset;
    if (!bytes::fits(headerOffset, kHeaderBytes, len))
        return kHeaderMissing;
    // From here on at least 33 bytes are held, so the names lie within len.
    if (std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return kHeaderNotMag;
    copyNames(data, info);
    readFields(data + headerOffset, info);
    deriveGeometry(info);
    if (info->headTop != 0 || !extentUsable(*info))
        return kHeaderUnusable;
    return areasWithin(*info, len) ? kHeaderOk : kHeaderAreasPastEnd;
}

}  // namespace mag

int TM2BC::MMAG_GetHeader(const std::uint8_t* data, std::uint32_t len, MMAG_INFO* info)
{
    return mag::getHeader(data, len, info);
}
