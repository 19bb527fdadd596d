// Fuzz target: every picture the encoder accepts must come back exactly.
//
// The input bytes describe a picture: mode, position and size, a palette
// seed, the texts, and then one byte per pixel that either sets an index or
// repeats a pixel some distance left or up, so that copies of every kind
// occur.  The picture is encoded, converted back through the BMP path, and
// any difference in pixels, palette, header fields or texts aborts.

#include "mag/Mag.h"
#include "mag/MagEncode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    // Past the end every byte is 0, which the pixel program reads as
    // "repeat the pixel to the left": long flat runs.
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | byte() << 8); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::string text(Input& in, std::size_t most)
{
    std::string s(in.byte() % (most + 1), ' ');
    for (char& c : s) {
        c = static_cast<char>(in.byte());
        if (c == 0x1A)
            c = 0x1B;  // the one byte a name or comment cannot hold
    }
    return s;
}

void placeHorizontally(Input& in, mag::MagPicture* p)
{
    const std::uint32_t unit = p->colours256 ? 4 : 8;
    p->startX = in.u16();
    const std::uint32_t alignedStart = p->startX / unit * unit;
    std::uint32_t units = 1 + in.byte() % 24;
    if (alignedStart + units * unit > 0x10000)
        units = (0x10000 - alignedStart) / unit;
    const std::uint32_t end = alignedStart + units * unit - 1 - in.byte() % unit;
    p->endX = static_cast<std::uint16_t>(end < p->startX ? p->startX : end);
}

void placeVertically(Input& in, mag::MagPicture* p)
{
    p->startY = in.u16();
    const std::uint32_t end = std::uint32_t{p->startY} + in.byte() % 48;
    p->endY = static_cast<std::uint16_t>(end > 0xFFFF ? 0xFFFF : end);
}

void fillPalette(Input& in, mag::MagPicture* p)
{
    std::uint32_t state = in.u16() * 2654435761u + 1;
    p->palette.resize(p->colours256 ? 256 : 16);
    for (mag::Colour& c : p->palette) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = {static_cast<std::uint8_t>(state), static_cast<std::uint8_t>(state >> 8),
             static_cast<std::uint8_t>(state >> 16)};
    }
}

void fillPixels(Input& in, mag::MagPicture* p, std::uint32_t width)
{
    const std::size_t w = width;
    const std::size_t distances[16] = {1, 2, 3, 4, 5, 8, 16, w, 2 * w, 3 * w, 4 * w, 8 * w, 16 * w, w + 1, w - 1, 2 * w + 2};
    const std::uint8_t mask = p->colours256 ? 0xFF : 0x0F;
    for (std::size_t i = 0; i < p->pixels.size(); ++i) {
        const std::uint8_t op = in.byte();
        if (op >= 0xF0) {
            p->pixels[i] = static_cast<std::uint8_t>(in.byte() & mask);
        } else {
            const std::size_t back = distances[op % 16];
            p->pixels[i] = back <= i ? p->pixels[i - back] : static_cast<std::uint8_t>(op & mask);
        }
    }
}

[[noreturn]] void differs(const char* what)
{
    std::fprintf(stderr, "encode round trip: %s differs\n", what);
    std::abort();
}

std::string padded(const std::string& s, std::size_t width) { return s + std::string(width - s.size(), ' '); }

void checkHeader(const MMAG_INFO& info, const mag::MagPicture& p)
{
    if (info.startX != p.startX || info.endX != p.endX || info.startY != p.startY || info.endY != p.endY)
        differs("position");
    if (info.screenMode != ((p.colours256 ? 0x80 : 0) | (p.lines200 ? 1 : 0)))
        differs("screen mode");
    if (std::string(info.machineName, 4) != padded(p.machineName, 4) ||
        std::string(info.userName, 19) != padded(p.userName, 19))
        differs("names");
}

void checkImage(const std::vector<std::uint8_t>& image, const MMAG_INFO& info, const mag::MagPicture& p,
                std::uint32_t width)
{
    const std::uint8_t* table = image.data() + 54;
    for (std::size_t i = 0; i < p.palette.size(); ++i) {
        const mag::Colour& c = p.palette[i];
        if (table[4 * i] != c.blue || table[4 * i + 1] != c.green || table[4 * i + 2] != c.red)
            differs("palette");
    }
    const std::uint8_t* rows = table + 4 * p.palette.size();
    for (std::size_t y = 0; y < info.height; ++y) {
        const std::uint8_t* row = rows + (info.height - 1 - y) * std::size_t{info.rowBytes};
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t got = p.colours256 ? row[x] : (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15);
            if (got != p.pixels[y * width + x])
                differs("pixels");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    mag::MagPicture p;
    const std::uint8_t flags = in.byte();
    p.colours256 = flags & 1;
    p.lines200 = flags & 2;
    placeHorizontally(in, &p);
    placeVertically(in, &p);
    fillPalette(in, &p);
    p.machineName = text(in, 4);
    p.userName = text(in, 19);
    p.comment = text(in, 40);
    const std::uint32_t width = mag::alignedWidth(p.colours256, p.startX, p.endX);
    if (width == 0)
        differs("aligned width of valid edges");
    p.pixels.resize(std::size_t{width} * (std::uint32_t{p.endY} - p.startY + 1));
    fillPixels(in, &p, width);

    std::vector<std::uint8_t> file;
    if (mag::encode(p, &file) != mag::EncodeStatus::Ok)
        differs("acceptance of a valid picture");
    const auto len = static_cast<std::uint32_t>(file.size());
    MMAG_INFO info;
    if (mag::getHeader(file.data(), len, &info) != mag::kHeaderOk)
        differs("header result");
    if (mag::getHeader(file.data(), len - 1, &info) != mag::kHeaderAreasPastEnd)
        differs("file length (a byte to spare)");
    checkHeader(info, p);
    std::vector<char> comment(info.headerOffset - 31);
    mag::getPalette(file.data(), nullptr, comment.data(), len, &info);
    if (std::string(comment.data(), comment.size() - 1) != p.comment)
        differs("comment");

    std::vector<std::uint8_t> image(mag::bmpImageSize(info));
    if (mag::convertToBmp(file.data(), len, image.data(), static_cast<std::uint32_t>(image.size())) != mag::Status::Ok)
        differs("conversion result");
    checkImage(image, info, p, width);
    return 0;
}
