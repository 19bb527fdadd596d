#include "support/EncodeCases.h"

#include "support/MagBuilder.h"

namespace magtest {
namespace {

using mag::MagPicture;

// A unit (4 pixels in 16 colours, 2 in 256) that no other unit of the
// first 16 rows repeats, so nothing matches by chance.
unsigned distinctUnits(const MagPicture& p, std::uint32_t x, std::uint32_t y)
{
    const std::uint32_t perUnit = p.colours256 ? 2 : 4;
    const std::uint32_t unitsPerRow = widthOf(p) / perUnit;
    const std::uint32_t unit = (y % 16) * unitsPerRow + x / perUnit;
    const std::uint32_t bits = p.colours256 ? 8 : 4;
    return (unit >> (bits * (perUnit - 1 - x % perUnit))) & ((1u << bits) - 1);
}

MagPicture painted(bool colours256, std::uint16_t startX, std::uint16_t startY, std::uint16_t endX, std::uint16_t endY,
                   const std::function<unsigned(std::uint32_t, std::uint32_t)>& colour)
{
    MagPicture p = blankPicture(colours256, startX, startY, endX, endY);
    paint(&p, colour);
    return p;
}

MagPicture randomPicture(bool colours256, std::uint16_t endX, std::uint16_t endY, std::uint64_t seed)
{
    Random random(seed);
    return painted(colours256, 0, 0, endX, endY, [&](std::uint32_t, std::uint32_t) { return random.next(); });
}

// Copy distances of every kind: runs, repeats 2, 4 and 8 bytes apart,
// rows repeating 1, 2, 4, 8 and 16 rows up, in patches across the picture.
MagPicture patchwork(bool colours256)
{
    Random random(colours256 ? 31 : 30);
    MagPicture p = blankPicture(colours256, 0, 0, colours256 ? 159 : 255, 59);
    const std::uint32_t width = widthOf(p);
    paint(&p, [&](std::uint32_t x, std::uint32_t y) {
        const std::uint32_t patch = (x / 32 + y / 12) % 6;
        switch (patch) {
        case 0: return random.next();
        case 1: return (x / 4 + y) & 7;
        case 2: return static_cast<std::uint32_t>(p.pixels[(y % 2) * width + x]);
        case 3: return static_cast<std::uint32_t>(p.pixels[(y % 8) * width + x]);
        case 4: return ((x ^ y) & 1) * 9;
        default: return x % 16 < 8 ? 3u : random.below(4);
        }
    });
    return p;
}

std::vector<EncodeCase> makeCases()
{
    return {
        {"smallest16", [] { return painted(false, 0, 0, 7, 0, [](auto x, auto) { return x * 2; }); }},
        {"smallest256", [] { return painted(true, 0, 0, 3, 0, [](auto x, auto) { return 200 + x; }); }},
        {"flat16", [] { return painted(false, 0, 0, 63, 31, [](auto, auto) { return 5; }); }},
        {"flat256", [] { return painted(true, 0, 0, 63, 31, [](auto, auto) { return 77; }); }},
        {"random16", [] { return randomPicture(false, 63, 39, 1); }},
        {"random256", [] { return randomPicture(true, 99, 19, 2); }},
        {"oddPosition16",
         [] { return painted(false, 3, 7, 70, 38, [](auto x, auto y) { return (x * 3 + y) % 11; }); }},
        {"oddPosition256", [] { return painted(true, 5, 1, 6, 1, [](auto x, auto) { return 250 + x; }); }},
        {"edgesInsideOneUnit16", [] { return painted(false, 9, 0, 14, 2, [](auto x, auto y) { return x + y; }); }},
        {"rightmostEdges256",
         [] { return painted(true, 65532, 65533, 65535, 65535, [](auto x, auto y) { return x * 16 + y; }); }},
        {"widest16", [] { return randomPicture(false, 65535, 1, 3); }},
        {"widest256", [] { return randomPicture(true, 65531, 1, 4); }},
        {"tallest16", [] { return painted(false, 0, 0, 7, 65534, [](auto x, auto y) { return (y / 3 + x) % 16; }); }},
        {"sixteenRowsUp16",
         [] {
             MagPicture p = blankPicture(false, 0, 0, 31, 47);
             paint(&p, [&](auto x, auto y) { return distinctUnits(p, x, y); });
             return p;
         }},
        {"sixteenRowsUp256",
         [] {
             MagPicture p = blankPicture(true, 0, 0, 23, 49);
             paint(&p, [&](auto x, auto y) { return distinctUnits(p, x, y); });
             return p;
         }},
        {"verticalStripes16", [] { return painted(false, 0, 0, 127, 20, [](auto x, auto) { return x / 3 % 16; }); }},
        {"checkerboard256", [] { return painted(true, 0, 0, 47, 33, [](auto x, auto y) { return (x + y) % 2 * 255; }); }},
        {"orderedDither16",
         [] {
             static const unsigned bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
             return painted(false, 0, 0, 255, 63,
                            [](auto x, auto y) { return bayer[y % 4][x % 4] < x / 16 ? 15u : 1u; });
         }},
        {"patchwork16", [] { return patchwork(false); }},
        {"patchwork256", [] { return patchwork(true); }},
        {"manyFlagABytesPerRow16", [] { return randomPicture(false, 135, 9, 5); }},
        {"paddedFlagA16", [] { return painted(false, 0, 0, 7, 199, [](auto, auto) { return 9; }); }},
        {"lines200",
         [] {
             MagPicture p = painted(false, 0, 0, 639, 199, [](auto x, auto y) { return (x / 40 + y / 25) % 16; });
             p.lines200 = true;
             return p;
         }},
        {"texts",
         [] {
             MagPicture p = painted(true, 16, 8, 47, 23, [](auto x, auto y) { return x * y; });
             p.machineName = "PC98";
             p.userName = "\x83\x8b\x83\x6a\x83\x68\x81\x5b\x83\x8b tests";  // Shift-JIS
             p.comment = "A comment\r\nover two lines";
             return p;
         }},
    };
}

}  // namespace

mag::MagPicture blankPicture(bool colours256, std::uint16_t startX, std::uint16_t startY, std::uint16_t endX,
                             std::uint16_t endY)
{
    MagPicture p;
    p.colours256 = colours256;
    p.startX = startX;
    p.startY = startY;
    p.endX = endX;
    p.endY = endY;
    for (unsigned i = 0; i < (colours256 ? 256u : 16u); ++i)
        p.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i * 37)});
    p.pixels.assign(std::size_t{widthOf(p)} * (std::uint32_t{endY} - startY + 1), 0);
    return p;
}

std::uint32_t widthOf(const mag::MagPicture& picture)
{
    return mag::alignedWidth(picture.colours256, picture.startX, picture.endX);
}

void paint(mag::MagPicture* picture, const std::function<unsigned(std::uint32_t, std::uint32_t)>& colour)
{
    const std::uint32_t width = widthOf(*picture);
    const unsigned mask = picture->colours256 ? 255 : 15;
    for (std::size_t i = 0; i < picture->pixels.size(); ++i)
        picture->pixels[i] = static_cast<std::uint8_t>(colour(static_cast<std::uint32_t>(i % width),
                                                              static_cast<std::uint32_t>(i / width)) &
                                                       mask);
}

const std::vector<EncodeCase>& encodeCases()
{
    static const std::vector<EncodeCase> cases = makeCases();
    return cases;
}

}  // namespace magtest
