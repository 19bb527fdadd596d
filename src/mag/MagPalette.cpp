// The palette: 16 or 256 entries of green, red, blue behind the header,
// turned into BMP colour-table entries of blue, green, red, 0.

#include "mag/M2BC.h"
#include "mag/Mag.h"
#include "mag/Bytes.h"

#include <cstring>

namespace mag {
namespace {

constexpr std::uint32_t kCommentStart = 31;
constexpr std::uint32_t kHeaderBytes = 32;

// The comment runs from offset 31 to the byte before the first 0x1A.  A
// file whose 0x1A comes earlier, inside the names, has no comment at all.
void copyComment(const std::uint8_t* data, char* comment, std::uint32_t len, const MMAG_INFO& info)
{
    std::uint32_t length = 0;
    if (info.headerOffset > kHeaderBytes && bytes::fits(kCommentStart, info.headerOffset - kHeaderBytes, len))
        length = info.headerOffset - kHeaderBytes;
    if (length != 0)
        std::memcpy(comment, data + kCommentStart, length);
    comment[length] = '\0';
}

}  // namespace

int getPalette(const std::uint8_t* data, std::uint8_t* palette, char* comment, std::uint32_t len,
               const MMAG_INFO* info)
{
    if (comment != nullptr)
        copyComment(data, comment, len, *info);
    if (palette == nullptr)
        return 0;
    const std::uint64_t start = std::uint64_t{info->headerOffset} + kHeaderBytes;
    if (!bytes::fits(start, paletteBytes(*info), len))
        return 1;
    const std::uint32_t entries = paletteBytes(*info) / 3;
    const std::uint8_t* grb = data + start;
    for (std::uint32_t i = 0; i < entries; ++i, grb += 3, palette += 4) {
        palette[0] = grb[2];
        palette[1] = grb[0];
        palette[2] = grb[1];
        palette[3] = 0;
    }
    return 0;
}

}  // namespace mag

int TM2BC::MMAG_GetPalette(const std::uint8_t* data, std::uint8_t* palette, char* comment, std::uint32_t len,
                           MMAG_INFO* info)
{
    return mag::getPalette(data, palette, comment, len, info);
}
