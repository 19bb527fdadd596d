#include "support/Pictures.h"

namespace viewertest {

using magtest::Bytes;
using magtest::MagParts;

MagParts randomPicture(std::uint8_t screenMode, std::uint16_t width, std::uint16_t height)
{
    MagParts parts;
    parts.screenMode = screenMode;
    parts.endX = static_cast<std::uint16_t>(width - 1);
    parts.endY = static_cast<std::uint16_t>(height - 1);
    const std::uint32_t rowBytes = magtest::rowBytesOf(parts);
    magtest::Random random(std::uint64_t{width} * 1000 + height + screenMode);
    parts.areas = magtest::literalOnly(random.bytes(std::size_t{rowBytes} * height), rowBytes);
    return parts;
}

MagParts areasPastEnd()
{
    MagParts parts = randomPicture(0x00, 64, 32);
    parts.pixelSize = static_cast<std::uint32_t>(parts.areas.pixels.size() + 64);
    return parts;
}

QImage expectedImage(const MagParts& parts)
{
    const bool colours256 = parts.screenMode >= 0x80;
    const Bytes palette = parts.palette.empty() ? magtest::testPalette(colours256) : parts.palette;
    const std::uint32_t rowBytes = magtest::rowBytesOf(parts);
    const std::uint32_t rows = magtest::rowsOf(parts);
    const std::uint32_t width = colours256 ? rowBytes : rowBytes * 2;
    const Bytes& pixels = parts.areas.pixels;
    QImage image(static_cast<int>(width), static_cast<int>(rows), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < rows; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint32_t index = 0;
            if (colours256) {
                index = pixels[y * rowBytes + x];
            } else {
                const std::uint8_t pair = pixels[y * rowBytes + x / 2];
                index = x % 2 == 0 ? pair >> 4 : pair & 0x0F;
            }
            // MAG palettes hold green, red, blue.
            const std::uint8_t* grb = &palette[index * 3];
            image.setPixel(static_cast<int>(x), static_cast<int>(y), qRgb(grb[1], grb[0], grb[2]));
        }
    }
    return image;
}

int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + b.width() * b.height();
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x)
            differing += left.pixel(x, y) != right.pixel(x, y) ? 1 : 0;
    return differing;
}

}  // namespace viewertest
