// The sample pictures: test cards in 16 and 256 colours (colour bars, grey
// and colour ramps by ordered dithering, a hue band, resolution wedges and
// text), one drawn for a 200-line screen, the 256-colour palette, and a
// small dithered night scene as a picture of the kind MAG was made for.

#include "SamplePictures.h"

#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace lunidor {
namespace {

using Palette = std::vector<mag::Colour>;

enum Colour16 : std::uint8_t {
    kBlack, kBlue, kRed, kMagenta, kGreen, kCyan, kYellow, kWhite,
    kDarkGrey, kNavy, kMaroon, kPurple, kDarkGreen, kTeal, kOlive, kLightGrey,
};

// Analogue PC-98 palettes have 4 bits per channel; n * 17 keeps each
// value exact when a program takes only the high nibble.
mag::Colour level4(int r, int g, int b)
{
    return {static_cast<std::uint8_t>(r * 17), static_cast<std::uint8_t>(g * 17), static_cast<std::uint8_t>(b * 17)};
}

Palette palette16()
{
    return {level4(0, 0, 0),   level4(0, 0, 15),  level4(15, 0, 0),  level4(15, 0, 15),
            level4(0, 15, 0),  level4(0, 15, 15), level4(15, 15, 0), level4(15, 15, 15),
            level4(5, 5, 5),   level4(0, 0, 7),   level4(8, 0, 0),   level4(8, 0, 8),
            level4(0, 7, 0),   level4(0, 8, 8),   level4(8, 8, 0),   level4(10, 10, 10)};
}

// The 16 colours, a 6 x 6 x 6 colour cube and 24 greys.
constexpr std::uint8_t kCubeStart = 16;
constexpr std::uint8_t kGreyStart = 232;

std::uint8_t cube(int r, int g, int b) { return static_cast<std::uint8_t>(kCubeStart + 36 * r + 6 * g + b); }

Palette palette256()
{
    Palette p = palette16();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                             static_cast<std::uint8_t>(b * 51)});
    for (int i = 0; i < 24; ++i) {
        const auto v = static_cast<std::uint8_t>(8 + 10 * i);
        p.push_back({v, v, v});
    }
    return p;
}

std::vector<std::uint8_t> greyRamp(bool colours256)
{
    if (!colours256)
        return {kBlack, kDarkGrey, kLightGrey, kWhite};
    std::vector<std::uint8_t> ramp{kBlack};
    for (int i = 0; i < 24; ++i)
        ramp.push_back(static_cast<std::uint8_t>(kGreyStart + i));
    ramp.push_back(kWhite);
    return ramp;
}

// From black to full strength in one or more channels.
std::vector<std::uint8_t> channelRamp(bool colours256, int r, int g, int b, std::uint8_t dark, std::uint8_t bright)
{
    if (!colours256)
        return {kBlack, dark, bright};
    std::vector<std::uint8_t> ramp;
    for (int i = 0; i < 6; ++i)
        ramp.push_back(cube(r * i, g * i, b * i));
    return ramp;
}

// Round the hue circle: in 16 colours dithered between the six bright
// colours, in 256 colours each channel dithered on the cube's six levels.
std::uint8_t hueAt(bool colours256, double hue, int x, int y)
{
    if (!colours256) {
        static const std::vector<std::uint8_t> kHues{kRed, kYellow, kGreen, kCyan, kBlue, kMagenta, kRed};
        return ditheredRamp(kHues, hue, x, y);
    }
    const double sector = hue * 6;
    const double red = std::clamp(std::abs(sector - 3) - 1, 0.0, 1.0);
    const double green = std::clamp(2 - std::abs(sector - 2), 0.0, 1.0);
    const double blue = std::clamp(2 - std::abs(sector - 4), 0.0, 1.0);
    const auto level = [&](double v) {
        const double scaled = v * 5;
        const int low = static_cast<int>(scaled);
        return std::min(5, low + ((scaled - low) * 64 > bayer8(x, y) + 0.5 ? 1 : 0));
    };
    return cube(level(red), level(green), level(blue));
}

struct CardLayout {
    bool colours256;
    int height;  // 400, or 200 for a 200-line screen
    int y(int design) const { return design * height / 400; }
    int scaleY() const { return height / 200; }
};

void drawGrid(Canvas& c, const CardLayout& l)
{
    for (int d = 0; d <= 400; d += 40)
        c.fill(0, l.y(d), c.width(), l.y(d) + 1, kDarkGrey);
    for (int x = 0; x <= c.width(); x += 40)
        c.fill(x, 0, x + 1, c.height(), kDarkGrey);
    c.ring(320, l.height / 2.0, 170, 3, l.height / 400.0, kWhite);
    c.frame(0, 0, c.width(), c.height(), 2, kWhite);
}

void drawBars(Canvas& c, const CardLayout& l)
{
    static const std::uint8_t kBars[8] = {kWhite, kYellow, kCyan, kGreen, kMagenta, kRed, kBlue, kBlack};
    static const std::uint8_t kDarkBars[8] = {kLightGrey, kOlive, kTeal, kDarkGreen, kPurple, kMaroon, kNavy,
                                              kDarkGrey};
    for (int i = 0; i < 8; ++i) {
        c.fill(40 + 70 * i, l.y(48), 110 + 70 * i, l.y(120), kBars[i]);
        c.fill(40 + 70 * i, l.y(120), 110 + 70 * i, l.y(136), kDarkBars[i]);
    }
}

void drawRamps(Canvas& c, const CardLayout& l)
{
    const auto grey = greyRamp(l.colours256);
    c.fillWith(40, l.y(152), 600, l.y(192), [&](int x, int y) { return ditheredRamp(grey, (x - 40) / 559.0, x, y); });
    const std::vector<std::uint8_t> ramps[4] = {
        channelRamp(l.colours256, 1, 0, 0, kMaroon, kRed), channelRamp(l.colours256, 0, 1, 0, kDarkGreen, kGreen),
        channelRamp(l.colours256, 0, 0, 1, kNavy, kBlue), channelRamp(l.colours256, 1, 1, 0, kOlive, kYellow)};
    for (int i = 0; i < 4; ++i) {
        const int left = 40 + 140 * i;
        c.fillWith(left, l.y(200), left + 140, l.y(240),
                   [&](int x, int y) { return ditheredRamp(ramps[i], (x - left) / 139.0, x, y); });
    }
    c.fillWith(40, l.y(248), 600, l.y(272),
               [&](int x, int y) { return hueAt(l.colours256, (x - 40) / 560.0, x, y); });
}

// Fine detail: lines 1, 2 and 4 pixels wide, one-pixel rows and two sizes
// of checkerboard.
void drawWedges(Canvas& c, const CardLayout& l)
{
    using Pattern = bool (*)(int, int);
    static const Pattern kPatterns[6] = {
        [](int x, int) { return x % 2 == 0; },          [](int x, int) { return x / 2 % 2 == 0; },
        [](int x, int) { return x / 4 % 2 == 0; },      [](int, int y) { return y % 2 == 0; },
        [](int x, int y) { return (x + y) % 2 == 0; }, [](int x, int y) { return (x / 2 + y / 2) % 2 == 0; }};
    for (int i = 0; i < 6; ++i) {
        const int left = 40 + 560 * i / 6, right = 40 + 560 * (i + 1) / 6;
        c.fillWith(left, l.y(288), right, l.y(328),
                   [&](int x, int y) { return kPatterns[i](x, y) ? kWhite : kBlack; });
    }
}

void drawTexts(Canvas& c, const CardLayout& l, const std::string& info)
{
    const std::string title = "LUNIDOR TEST CARD";
    const int titleWidth = Canvas::textWidth(title, 2);
    const int titleX = (c.width() - titleWidth) / 2;
    c.fill(titleX - 8, l.y(8), titleX + titleWidth + 8, l.y(8) + 7 * l.scaleY() + 8, kBlack);
    c.text(titleX, l.y(8) + 4, title, kWhite, 2, l.scaleY());

    c.fill(40, l.y(336), 600, l.y(336) + 22, kBlack);
    c.text(48, l.y(336) + 3, info, kYellow);
    c.text(48, l.y(336) + 12, "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 -.:/()+", kLightGrey);
}

mag::MagPicture pictureOf(const Canvas& canvas, Palette palette, const std::string& comment)
{
    mag::MagPicture p;
    p.colours256 = palette.size() == 256;
    p.endX = static_cast<std::uint16_t>(canvas.width() - 1);
    p.endY = static_cast<std::uint16_t>(canvas.height() - 1);
    p.palette = std::move(palette);
    p.pixels = canvas.pixels();
    p.machineName = "PC98";
    p.userName = "Lunidor";
    p.comment = comment;
    return p;
}

mag::MagPicture testCard(bool colours256, bool lines200)
{
    const CardLayout layout{colours256, lines200 ? 200 : 400};
    Canvas c(640, layout.height, kNavy);
    drawGrid(c, layout);
    drawBars(c, layout);
    drawRamps(c, layout);
    drawWedges(c, layout);
    const std::string info = std::string(colours256 ? "256" : "16") + " COLOURS 640X" +
                             std::to_string(layout.height) + (lines200 ? " 200-LINE" : "") + " - MADE BY LUNIDOR";
    drawTexts(c, layout, info);
    mag::MagPicture p = pictureOf(c, colours256 ? palette256() : palette16(),
                                  "Lunidor test card, " + std::string(colours256 ? "256" : "16") + " colours");
    p.lines200 = lines200;
    return p;
}

// Every entry of the 256-colour palette as a swatch, 16 to a row.
mag::MagPicture paletteChart()
{
    Canvas c(320, 200, kBlack);
    for (int i = 0; i < 256; ++i) {
        const int x = i % 16 * 20, y = i / 16 * 12;
        c.fill(x, y, x + 19, y + 11, static_cast<std::uint8_t>(i));
    }
    c.text(4, 193, "256 COLOURS: 16 + 6X6X6 CUBE + 24 GREYS", kWhite);
    return pictureOf(c, palette256(), "Lunidor sample: the 256-colour palette");
}

// A small deterministic hash for the stars.
std::uint32_t scatter(int x, int y)
{
    auto h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(y) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0xC2B2AE3Du;
    return h ^ (h >> 13);
}

mag::MagPicture nightScene()
{
    const Palette palette{level4(0, 0, 0),    level4(0, 0, 3),    level4(1, 1, 5),    level4(2, 2, 7),
                          level4(4, 3, 8),    level4(7, 4, 8),    level4(10, 6, 8),   level4(15, 15, 11),
                          level4(15, 15, 15), level4(8, 8, 10),   level4(2, 3, 5),    level4(1, 2, 2),
                          level4(15, 13, 6),  level4(0, 1, 1),    level4(6, 7, 10),   level4(11, 11, 12)};
    constexpr std::uint8_t kMoon = 7, kStar = 8, kDimStar = 9, kFarHill = 10, kNearHill = 11, kWindow = 12;
    const std::vector<std::uint8_t> sky{1, 2, 3, 4, 5, 6};
    Canvas c(320, 200, 0);
    c.fillWith(0, 0, 320, 200, [&](int x, int y) -> std::uint8_t {
        const std::uint32_t h = scatter(x, y) % 1000;
        if (y < 130 && h < 4)
            return h < 2 ? kStar : kDimStar;
        return ditheredRamp(sky, y / 150.0, x, y);
    });
    c.fillWith(218, 28, 262, 72, [&](int x, int y) -> std::uint8_t {
        const double ax = x - 240.0, ay = y - 50.0, bx = x - 231.0, by = y - 44.0;
        const bool lit = ax * ax + ay * ay < 21.0 * 21.0 && bx * bx + by * by > 19.0 * 19.0;
        return lit ? kMoon : c.at(x, y);
    });
    for (int x = 0; x < 320; ++x) {
        const int far = 140 + static_cast<int>(12 * std::sin(x / 37.0) + 6 * std::sin(x / 13.0 + 1));
        const int near = 166 + static_cast<int>(10 * std::sin(x / 53.0 + 2) + 4 * std::sin(x / 9.0));
        c.fill(x, far, x + 1, 200, kFarHill);
        c.fill(x, near, x + 1, 200, kNearHill);
    }
    c.fill(84, 160, 106, 180, 13);
    c.fill(88, 165, 93, 170, kWindow);
    c.fill(97, 165, 102, 170, kWindow);
    c.text(274, 190, "LUNIDOR", 14);
    return pictureOf(c, palette, "Lunidor sample: a night scene in 16 colours");
}

}  // namespace

std::vector<SamplePicture> samplePictures()
{
    return {
        {"testcard-16.mag", testCard(false, false)},
        {"testcard-256.mag", testCard(true, false)},
        {"testcard-200line.mag", testCard(false, true)},
        {"palette-256.mag", paletteChart()},
        {"night-16.mag", nightScene()},
    };
}

}  // namespace lunidor
