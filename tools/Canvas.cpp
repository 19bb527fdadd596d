#include "Canvas.h"

#include "TinyFont.h"

#include <algorithm>
#include <cmath>

namespace lunidor {

Canvas::Canvas(int width, int height, std::uint8_t fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill)
{
}

std::uint8_t Canvas::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void Canvas::set(int x, int y, std::uint8_t colour)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = colour;
}

void Canvas::fill(int x0, int y0, int x1, int y1, std::uint8_t colour)
{
    fillWith(x0, y0, x1, y1, [colour](int, int) { return colour; });
}

void Canvas::fillWith(int x0, int y0, int x1, int y1, const std::function<std::uint8_t(int, int)>& colour)
{
    for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y) {
        for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x)
            set(x, y, colour(x, y));
    }
}

void Canvas::frame(int x0, int y0, int x1, int y1, int thickness, std::uint8_t colour)
{
    fill(x0, y0, x1, y0 + thickness, colour);
    fill(x0, y1 - thickness, x1, y1, colour);
    fill(x0, y0, x0 + thickness, y1, colour);
    fill(x1 - thickness, y0, x1, y1, colour);
}

void Canvas::ring(double cx, double cy, double radius, double thickness, double yScale, std::uint8_t colour)
{
    for (int y = 0; y < height_; ++y) {
        const double dy = (y + 0.5 - cy) / yScale;
        for (int x = 0; x < width_; ++x) {
            const double dx = x + 0.5 - cx;
            if (std::abs(std::sqrt(dx * dx + dy * dy) - radius) < thickness / 2)
                set(x, y, colour);
        }
    }
}

void Canvas::text(int x, int y, std::string_view s, std::uint8_t colour, int scaleX, int scaleY)
{
    for (char c : s) {
        for (int gy = 0; gy < kGlyphHeight; ++gy) {
            const std::uint8_t bits = glyphRow(c, gy);
            for (int gx = 0; gx < kGlyphWidth; ++gx) {
                if (bits & (0x10 >> gx))
                    fill(x + gx * scaleX, y + gy * scaleY, x + (gx + 1) * scaleX, y + (gy + 1) * scaleY, colour);
            }
        }
        x += (kGlyphWidth + 1) * scaleX;
    }
}

int Canvas::textWidth(std::string_view s, int scaleX)
{
    return s.empty() ? 0 : (static_cast<int>(s.size()) * (kGlyphWidth + 1) - 1) * scaleX;
}

int bayer8(int x, int y)
{
    static const int kMatrix[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                                      {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                                      {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                                      {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    return kMatrix[y & 7][x & 7];
}

std::uint8_t ditheredRamp(const std::vector<std::uint8_t>& ramp, double level, int x, int y)
{
    const double position = std::clamp(level, 0.0, 1.0) * static_cast<double>(ramp.size() - 1);
    const auto low = static_cast<std::size_t>(position);
    if (low + 1 >= ramp.size())
        return ramp.back();
    const double fraction = position - static_cast<double>(low);
    return fraction * 64 > bayer8(x, y) + 0.5 ? ramp[low + 1] : ramp[low];
}

}  // namespace lunidor
