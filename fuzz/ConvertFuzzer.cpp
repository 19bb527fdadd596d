// Fuzzes the whole buffer-level conversion the way the viewer drives it:
// the size probe over the file's first bytes, then the conversion of the
// whole file into an image buffer of exactly the probed size.
//
// Promises checked, beyond "no crash" (the sanitizers watch every read and
// write, and the buffers here are exactly as large as they claim):
// - what the probe refuses, the conversion refuses too;
// - a conversion either fails or fills every one of the probed bytes, and
//   what it writes does not depend on what the buffer held before;
// - the BMP headers describe exactly the bytes that follow them;
// - the colour table is the file's palette, entry by entry;
// - the pixel rows are those of an independent model of the decoder;
// - a buffer one byte too small is refused and left as it was.

#include "FuzzCheck.h"
#include "mag/Mag.h"
#include "support/MagBuilder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

using magfuzz::require;
using magtest::Bytes;

// Images larger than this are not converted here: they take long enough to
// slow the fuzzer down and teach it nothing new.
constexpr std::uint32_t kMaxImageBytes = 64u << 20;
constexpr std::uint32_t kBmpHeaderBytes = 54;

std::uint32_t u32At(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint32_t u16At(const Bytes& b, std::size_t at) { return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8); }

struct Conversion {
    mag::Status status;
    Bytes image;
};

Conversion convertInto(const std::uint8_t* data, std::uint32_t len, std::uint32_t imageSize, std::uint8_t fill)
{
    Conversion c{mag::Status::Ok, Bytes(imageSize, fill)};
    c.status = mag::convertToBmp(data, len, c.image.data(), imageSize);
    return c;
}

// The headers must describe the image so that a BMP reader takes no more
// pixel bytes than follow the colour table, and no fewer.
void checkBmpHeaders(const Bytes& image)
{
    require(image[0] == 'B' && image[1] == 'M', "the image starts with BM");
    require(u32At(image, 2) == image.size(), "bfSize is the probed size");
    const std::uint32_t bits = u16At(image, 28);
    require(bits == 4 || bits == 8, "4 or 8 bits per pixel");
    const std::uint32_t table = bits == 4 ? 64 : 1024;
    require(u32At(image, 10) == kBmpHeaderBytes + table, "bfOffBits points behind the colour table");
    require(u32At(image, 14) == 40 && u16At(image, 26) == 1, "a 40-byte information header with one plane");
    require(u32At(image, 30) == 0 && u32At(image, 46) == 0, "uncompressed, full colour table");
    const auto width = static_cast<std::int32_t>(u32At(image, 18));
    const auto height = static_cast<std::int32_t>(u32At(image, 22));
    require(width > 0 && height > 0, "a positive width and a bottom-up height");
    const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
    require(stride * std::uint64_t(height) == image.size() - kBmpHeaderBytes - table,
            "the rows the headers declare are exactly the bytes behind the colour table");
}

// Palette entries are green, red, blue; table entries blue, green, red, 0.
void checkColourTable(const std::uint8_t* data, const MMAG_INFO& info, const Bytes& image)
{
    const std::uint8_t* grb = data + info.headerOffset + 32;
    const std::uint8_t* bgr0 = image.data() + kBmpHeaderBytes;
    bool same = true;
    for (std::uint32_t i = 0; i < mag::colourTableBytes(info) / 4; ++i, grb += 3, bgr0 += 4)
        same = same && bgr0[0] == grb[2] && bgr0[1] == grb[0] && bgr0[2] == grb[1] && bgr0[3] == 0;
    require(same, "the colour table is the file's palette");
}

void checkPixelsMatchModel(const std::uint8_t* data, std::uint32_t len, const MMAG_INFO& info, const Bytes& image)
{
    const std::uint32_t h = info.headerOffset;
    const Bytes file(data, data + len);
    const Bytes model = magtest::bottomUp(
        magtest::referenceDecode(file, h + info.flagAOffset, h + info.flagBOffset, h + info.pixelOffset,
                                 info.rowBytes, info.height),
        info.rowBytes);
    const std::size_t pixelsAt = kBmpHeaderBytes + mag::colourTableBytes(info);
    require(image.size() - pixelsAt == model.size() &&
                std::equal(model.begin(), model.end(), image.begin() + static_cast<std::ptrdiff_t>(pixelsAt)),
            "the pixel rows are those of the reference model");
}

void checkSmallBufferRefused(const std::uint8_t* data, std::uint32_t len, std::uint32_t probed)
{
    const Conversion small = convertInto(data, len, probed - 1, 0x5A);
    require(small.status == mag::Status::ImageTooSmall, "a buffer one byte short is refused");
    require(std::all_of(small.image.begin(), small.image.end(), [](std::uint8_t b) { return b == 0x5A; }),
            "a refused buffer is left untouched");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > std::numeric_limits<std::uint32_t>::max())
        return 0;
    const auto len = static_cast<std::uint32_t>(size);
    std::uint32_t probed = 0;
    if (mag::probeBmpSize(data, len, &probed) != mag::Status::Ok) {
        // Without a buffer the conversion can only fail; it must fail on
        // the header, not for want of room.
        const mag::Status status = mag::convertToBmp(data, len, nullptr, 0);
        require(status != mag::Status::Ok && status != mag::Status::ImageTooSmall,
                "what the probe refuses, the conversion refuses");
        return 0;
    }
    if (probed > kMaxImageBytes)
        return 0;
    const Conversion zeros = convertInto(data, len, probed, 0x00);
    const Conversion ones = convertInto(data, len, probed, 0xFF);
    require(zeros.status == ones.status, "the result does not depend on the buffer's old content");
    if (zeros.status != mag::Status::Ok)
        return 0;
    require(zeros.image == ones.image, "every probed byte is written, whatever the buffer held");
    checkBmpHeaders(zeros.image);
    MMAG_INFO info;
    require(mag::getHeader(data, len, &info) == mag::kHeaderOk, "a converted file has a valid header");
    checkColourTable(data, info, zeros.image);
    checkPixelsMatchModel(data, len, info, zeros.image);
    checkSmallBufferRefused(data, len, probed);
    return 0;
}
