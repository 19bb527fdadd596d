#include "BenchPictures.h"

#include "Canvas.h"
#include "support/MagBuilder.h"

#include <algorithm>
#include <cmath>

namespace lunidor::bench {
namespace {

std::vector<mag::Colour> scenePalette(bool colours256)
{
    std::vector<mag::Colour> p;
    if (!colours256) {
        // The digital eight and their half-bright companions.
        for (int i = 0; i < 16; ++i) {
            const auto v = static_cast<std::uint8_t>(i < 8 ? 255 : 136);
            p.push_back({static_cast<std::uint8_t>(i & 2 ? v : 0), static_cast<std::uint8_t>(i & 4 ? v : 0),
                         static_cast<std::uint8_t>(i & 1 ? v : 0)});
        }
        return p;
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                             static_cast<std::uint8_t>(b * 51)});
    while (p.size() < 256) {
        const auto v = static_cast<std::uint8_t>((p.size() - 216) * 6);
        p.push_back({v, v, v});
    }
    return p;
}

// Palette entries of the scene's few materials, per colour mode.
struct Materials {
    std::vector<std::uint8_t> sky;  // dark to light
    std::uint8_t moon, farRidge, nearRidge, ground, grass, wall, window, board, ink;
};

std::uint8_t cube(int r, int g, int b) { return static_cast<std::uint8_t>(36 * r + 6 * g + b); }

Materials materials(bool colours256)
{
    if (colours256)
        return {{cube(0, 0, 1), cube(0, 0, 2), cube(0, 1, 3), cube(0, 2, 4), cube(1, 3, 5), cube(2, 4, 5)},
                cube(5, 5, 3), cube(1, 1, 3), cube(0, 2, 1), cube(1, 2, 0), cube(0, 3, 0), cube(3, 2, 1),
                cube(5, 5, 2), cube(4, 3, 2), cube(0, 0, 0)};
    return {{8, 9, 1, 13, 5, 7}, 6, 9, 12, 14, 4, 10, 6, 15, 0};
}

void drawSky(Canvas& c, const Materials& m)
{
    const double steps = static_cast<double>(m.sky.size() - 1);
    c.fillWith(0, 0, c.width(), c.height(), [&](int x, int y) {
        const double level = std::min(1.0, y / (0.6 * c.height())) * steps;
        const int low = static_cast<int>(level);
        const bool up = (level - low) * 64 > bayer8(x, y);
        return m.sky[static_cast<std::size_t>(std::min<double>(low + (up ? 1 : 0), steps))];
    });
}

void drawMoon(Canvas& c, const Materials& m)
{
    const double r = c.width() / 16.0, cx = c.width() * 0.78, cy = c.height() * 0.18;
    c.fillWith(0, 0, c.width(), c.height() / 2, [&](int x, int y) {
        return std::hypot(x - cx, y - cy) < r ? m.moon : c.at(x, y);
    });
}

// A ridge of sines; the band along its edge is dithered between the ridge
// and whatever lies behind, as shading in such pictures usually is.
void drawRidge(Canvas& c, std::uint8_t colour, double base, double amplitude, double phase)
{
    const int w = c.width(), h = c.height();
    for (int x = 0; x < w; ++x) {
        const double t = x * 6.2832 / w;
        const double top = h * (base + amplitude * (std::sin(2 * t + phase) + 0.5 * std::sin(5 * t + 2 * phase)));
        for (int y = std::max(0, static_cast<int>(top) - 6); y < h; ++y) {
            const double depth = y - top;
            if (depth >= 0 || (depth + 6) * 10 > bayer8(x, y))
                c.set(x, y, colour);
        }
    }
}

void drawHouses(Canvas& c, const Materials& m)
{
    const int w = c.width(), h = c.height();
    const int unit = std::max(8, w / 40);
    for (int i = 0; i < w / (unit * 3); ++i) {
        const int x0 = i * unit * 3 + unit / 2, top = h * 3 / 4 - (i * 37 % 5) * unit / 2;
        c.fill(x0, top, x0 + unit * 2, h * 4 / 5, m.wall);
        for (int wy = top + unit / 4; wy + unit / 4 < h * 4 / 5; wy += unit / 2)
            for (int wx = x0 + unit / 4; wx + unit / 4 < x0 + unit * 2; wx += unit / 2)
                c.fill(wx, wy, wx + unit / 4, wy + unit / 4, (wx + wy) % 3 ? m.window : m.ink);
    }
}

void drawSign(Canvas& c, const Materials& m)
{
    const int scale = std::max(1, c.width() / 640);
    const int x0 = c.width() / 20, y0 = c.height() / 10;
    const char* lines[] = {"LUNIDOR MAG VIEWER", "16 / 256 COLOURS", "0123456789 ABCDEF"};
    c.fill(x0 - 4 * scale, y0 - 4 * scale, x0 + Canvas::textWidth(lines[0], scale) + 4 * scale, y0 + 30 * scale,
           m.board);
    for (int i = 0; i < 3; ++i)
        c.text(x0, y0 + i * 9 * scale, lines[i], m.ink, scale, scale);
}

void drawGrass(Canvas& c, const Materials& m)
{
    std::uint32_t state = 2024;
    c.fillWith(0, c.height() * 4 / 5, c.width(), c.height(), [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return (state >> 28) < 3 ? m.grass : m.ground;
    });
}

mag::MagPicture pictureOf(const Canvas& c, bool colours256)
{
    mag::MagPicture p;
    p.colours256 = colours256;
    p.endX = static_cast<std::uint16_t>(c.width() - 1);
    p.endY = static_cast<std::uint16_t>(c.height() - 1);
    p.palette = scenePalette(colours256);
    p.pixels = c.pixels();
    p.machineName = "PC98";
    return p;
}

}  // namespace

mag::MagPicture naturalScene(int width, int height, bool colours256)
{
    const Materials m = materials(colours256);
    Canvas c(width, height, 0);
    drawSky(c, m);
    drawMoon(c, m);
    drawRidge(c, m.farRidge, 0.45, 0.06, 0.0);
    drawRidge(c, m.nearRidge, 0.6, 0.05, 1.7);
    drawHouses(c, m);
    drawSign(c, m);
    drawGrass(c, m);
    return pictureOf(c, colours256);
}

mag::MagPicture flatPicture(int width, int height) { return pictureOf(Canvas(width, height, 42), true); }

std::vector<std::uint8_t> allLiteralFile(int width, int height, std::uint32_t seed)
{
    magtest::MagParts parts;
    parts.screenMode = 0x80;
    parts.endX = static_cast<std::uint16_t>(width - 1);
    parts.endY = static_cast<std::uint16_t>(height - 1);
    magtest::Random random(seed);
    const auto rowBytes = static_cast<std::uint32_t>(width);
    parts.areas = magtest::literalOnly(random.bytes(std::size_t{rowBytes} * static_cast<std::size_t>(height)), rowBytes);
    return magtest::buildMag(parts);
}

}  // namespace lunidor::bench
