#pragma once

// A picture of palette indices to draw the sample pictures on.  Drawing is
// clipped to the canvas; coordinates are in pixels, ends exclusive.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace lunidor {

class Canvas {
public:
    Canvas(int width, int height, std::uint8_t fill);

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint8_t at(int x, int y) const;
    void set(int x, int y, std::uint8_t colour);
    void fill(int x0, int y0, int x1, int y1, std::uint8_t colour);
    // Each pixel of the rectangle gets colour(x, y), in canvas coordinates.
    void fillWith(int x0, int y0, int x1, int y1, const std::function<std::uint8_t(int, int)>& colour);
    void frame(int x0, int y0, int x1, int y1, int thickness, std::uint8_t colour);
    // A ring of the given radius and thickness; yScale squeezes it for
    // pictures whose rows are shown twice as tall.
    void ring(double cx, double cy, double radius, double thickness, double yScale, std::uint8_t colour);
    // Text in the tiny font, each font pixel drawn as scaleX x scaleY pixels.
    void text(int x, int y, std::string_view s, std::uint8_t colour, int scaleX = 1, int scaleY = 1);
    static int textWidth(std::string_view s, int scaleX = 1);

    std::vector<std::uint8_t> pixels() const { return pixels_; }

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

// Ordered dithering: the 8 x 8 Bayer threshold of a pixel, 0 to 63.
int bayer8(int x, int y);

// A level between 0 and 1 on a ramp of palette entries, dithered between
// the two nearest entries.
std::uint8_t ditheredRamp(const std::vector<std::uint8_t>& ramp, double level, int x, int y);

}  // namespace lunidor
