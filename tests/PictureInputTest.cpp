// Reading PNG and BMP pictures into palette indices: indexed pictures keep
// their palette, true-colour ones get their distinct colours in order of
// first appearance, and what MAG cannot hold is refused with its reason.

#include "PictureInput.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"
#include "support/PictureFiles.h"

#include <gtest/gtest.h>

using namespace magtest;
using lunidor::IndexedPicture;
using lunidor::PictureStatus;
using mag::Colour;

namespace {

const Colour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{0, 0, 0};

std::vector<Colour> greys(unsigned n)
{
    std::vector<Colour> p;
    for (unsigned i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (n > 1 ? n - 1 : 1));
        p.push_back({v, v, v});
    }
    return p;
}

std::vector<std::uint16_t> rgbSamples(const std::vector<Colour>& colours, int alpha = -1)
{
    std::vector<std::uint16_t> s;
    for (const Colour& c : colours) {
        s.insert(s.end(), {c.red, c.green, c.blue});
        if (alpha >= 0)
            s.push_back(static_cast<std::uint16_t>(alpha));
    }
    return s;
}

// 2 x 3: red green / blue red / white blue, for the true-colour cases.
const std::vector<Colour> kSixPixels{kRed, kGreen, kBlue, kRed, kWhite, kBlue};
const std::vector<Colour> kSixPalette{kRed, kGreen, kBlue, kWhite};
const std::vector<std::uint8_t> kSixIndices{0, 1, 2, 0, 3, 2};

struct Readable {
    const char* name;
    Bytes (*file)();
    std::uint32_t width, height;
    std::vector<std::uint8_t> pixels;
    std::vector<Colour> palette;
};

class ReadsPictures : public testing::TestWithParam<Readable> {};

TEST_P(ReadsPictures, IntoIndicesAndPalette)
{
    IndexedPicture picture;
    std::string detail;
    const PictureStatus status = lunidor::readPicture(GetParam().file(), &picture, &detail);
    ASSERT_EQ(status, PictureStatus::Ok) << lunidor::describe(status) << " " << detail;
    EXPECT_EQ(picture.width, GetParam().width);
    EXPECT_EQ(picture.height, GetParam().height);
    EXPECT_EQ(picture.pixels, GetParam().pixels);
    EXPECT_EQ(picture.palette, GetParam().palette);
}

PngSpec pngPalette(int depth, std::vector<Colour> palette, std::vector<std::uint8_t> indices, std::uint32_t width)
{
    PngSpec s;
    s.colourType = 3;
    s.bitDepth = depth;
    s.palette = std::move(palette);
    s.width = width;
    s.height = static_cast<std::uint32_t>(indices.size() / width);
    s.samples.assign(indices.begin(), indices.end());
    return s;
}

PngSpec pngRgb(const std::vector<Colour>& colours, std::uint32_t width, int alpha = -1)
{
    PngSpec s;
    s.colourType = alpha >= 0 ? 6 : 2;
    s.width = width;
    s.height = static_cast<std::uint32_t>(colours.size() / width);
    s.samples = rgbSamples(colours, alpha);
    return s;
}

BmpSpec bmpIndexed(std::uint16_t bits, std::vector<Colour> palette, std::vector<std::uint8_t> indices,
                   std::int32_t width)
{
    BmpSpec s;
    s.bitCount = bits;
    s.palette = std::move(palette);
    s.indices = std::move(indices);
    s.width = width;
    s.height = static_cast<std::int32_t>(s.indices.size()) / width;
    return s;
}

BmpSpec bmpColours(std::uint16_t bits, const std::vector<Colour>& colours, std::int32_t width)
{
    BmpSpec s;
    s.bitCount = bits;
    s.colours = colours;
    s.width = width;
    s.height = static_cast<std::int32_t>(colours.size()) / width;
    return s;
}

std::vector<std::uint8_t> ramp(std::size_t n, unsigned modulo)
{
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i * 7 % modulo);
    return v;
}

std::vector<Colour> distinctColours(unsigned n)
{
    std::vector<Colour> c;
    for (unsigned i = 0; i < n; ++i)
        c.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8), 7});
    return c;
}

std::vector<std::uint8_t> identity(unsigned n)
{
    std::vector<std::uint8_t> v(n);
    for (unsigned i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    PictureInput, ReadsPictures,
    testing::Values(
        Readable{"pngPalette4BitKeepsItsFiveEntries",
                 [] { return writePng(pngPalette(4, greys(5), {4, 3, 2, 1, 0, 0}, 3)); }, 3, 2,
                 {4, 3, 2, 1, 0, 0}, greys(5)},
        Readable{"pngPalette1Bit", [] { return writePng(pngPalette(1, {kBlue, kRed}, {1, 0, 0, 1, 1, 1, 0, 1, 0}, 9)); },
                 9, 1, {1, 0, 0, 1, 1, 1, 0, 1, 0}, {kBlue, kRed}},
        Readable{"pngPalette8BitOf200Entries",
                 [] { return writePng(pngPalette(8, greys(200), ramp(60, 200), 12)); }, 12, 5, ramp(60, 200),
                 greys(200)},
        Readable{"pngPaletteTransparentEntryUnused",
                 [] {
                     PngSpec s = pngPalette(2, {kRed, kGreen, kBlue}, {0, 1, 1, 0}, 2);
                     s.trns = {255, 255, 0};
                     return writePng(s);
                 },
                 2, 2, {0, 1, 1, 0}, {kRed, kGreen, kBlue}},
        Readable{"pngRgbColoursInOrderOfAppearance", [] { return writePng(pngRgb(kSixPixels, 2)); }, 2, 3, kSixIndices,
                 kSixPalette},
        Readable{"pngRgbaOpaque", [] { return writePng(pngRgb(kSixPixels, 2, 255)); }, 2, 3, kSixIndices, kSixPalette},
        Readable{"pngRgbInterlaced",
                 [] {
                     std::vector<Colour> c;
                     for (unsigned i = 0; i < 90; ++i)
                         c.push_back(kSixPixels[i * 5 % 6]);
                     PngSpec s = pngRgb(c, 10);
                     s.interlaced = true;
                     return writePng(s);
                 },
                 10, 9,
                 [] {
                     std::vector<std::uint8_t> v;
                     // Order of appearance of i * 5 % 6: 0 5 4 3 2 1 -> red blue white red blue green.
                     const std::uint8_t byPixel[6] = {0, 3, 1, 0, 2, 1};
                     for (unsigned i = 0; i < 90; ++i)
                         v.push_back(byPixel[i * 5 % 6]);
                     return v;
                 }(),
                 {kRed, kBlue, kWhite, kGreen}},
        Readable{"pngRgb16BitExact",
                 [] {
                     PngSpec s = pngRgb(kSixPixels, 2);
                     s.bitDepth = 16;
                     for (auto& v : s.samples)
                         v = static_cast<std::uint16_t>(v * 257);
                     return writePng(s);
                 },
                 2, 3, kSixIndices, kSixPalette},
        Readable{"pngGrey1Bit",
                 [] {
                     PngSpec s;
                     s.colourType = 0;
                     s.bitDepth = 1;
                     s.width = 4;
                     s.samples = {1, 0, 1, 1};
                     return writePng(s);
                 },
                 4, 1, {0, 1, 0, 0}, {kWhite, kBlack}},
        Readable{"pngGreyAlphaOpaque",
                 [] {
                     PngSpec s;
                     s.colourType = 4;
                     s.width = 2;
                     s.samples = {10, 255, 20, 255};
                     return writePng(s);
                 },
                 2, 1, {0, 1}, {{10, 10, 10}, {20, 20, 20}}},
        Readable{"pngRgbTransparentKeyUnused",
                 [] {
                     PngSpec s = pngRgb(kSixPixels, 2);
                     s.trnsKey = {1, 2, 3};
                     return writePng(s);
                 },
                 2, 3, kSixIndices, kSixPalette},
        Readable{"pngExactly256Colours", [] { return writePng(pngRgb(distinctColours(256), 16)); }, 16, 16,
                 identity(256), distinctColours(256)},
        Readable{"bmp1Bit", [] { return writeBmp(bmpIndexed(1, {kBlack, kWhite}, {0, 1, 1, 0, 1, 0, 0, 1, 1, 1}, 5)); },
                 5, 2, {0, 1, 1, 0, 1, 0, 0, 1, 1, 1}, {kBlack, kWhite}},
        Readable{"bmp4BitBottomUp", [] { return writeBmp(bmpIndexed(4, greys(16), ramp(21, 16), 7)); }, 7, 3,
                 ramp(21, 16), greys(16)},
        Readable{"bmp4BitWithFewerColours",
                 [] {
                     BmpSpec s = bmpIndexed(4, greys(3), {2, 1, 0, 0, 1, 2}, 3);
                     s.colourCount = 3;
                     return writeBmp(s);
                 },
                 3, 2, {2, 1, 0, 0, 1, 2}, greys(3)},
        Readable{"bmp8BitTopDown",
                 [] {
                     BmpSpec s = bmpIndexed(8, greys(256), ramp(40, 256), 8);
                     s.height = -s.height;
                     return writeBmp(s);
                 },
                 8, 5, ramp(40, 256), greys(256)},
        Readable{"bmp8BitOs2Header",
                 [] {
                     BmpSpec s = bmpIndexed(8, greys(256), ramp(12, 256), 4);
                     s.headerBytes = 12;
                     return writeBmp(s);
                 },
                 4, 3, ramp(12, 256), greys(256)},
        Readable{"bmp8BitV5Header",
                 [] {
                     BmpSpec s = bmpIndexed(8, greys(256), ramp(12, 256), 3);
                     s.headerBytes = 124;
                     return writeBmp(s);
                 },
                 3, 4, ramp(12, 256), greys(256)},
        Readable{"bmp24Bit", [] { return writeBmp(bmpColours(24, kSixPixels, 2)); }, 2, 3, kSixIndices, kSixPalette},
        Readable{"bmp32BitIgnoresTheFourthByte", [] { return writeBmp(bmpColours(32, kSixPixels, 3)); }, 3, 2,
                 kSixIndices, kSixPalette},
        Readable{"bmp32BitV4HeaderWithoutAlpha",
                 [] {
                     BmpSpec s = bmpColours(32, kSixPixels, 2);
                     s.compression = 3;
                     s.headerBytes = 108;
                     return writeBmp(s);
                 },
                 2, 3, kSixIndices, kSixPalette},
        Readable{"bmp32BitWithStandardMasks",
                 [] {
                     BmpSpec s = bmpColours(32, kSixPixels, 1);
                     s.compression = 3;
                     return writeBmp(s);
                 },
                 1, 6, kSixIndices, kSixPalette}),
    CaseName());

struct Unreadable {
    const char* name;
    Bytes (*file)();
    PictureStatus expected;
};

class RefusesPictures : public testing::TestWithParam<Unreadable> {};

TEST_P(RefusesPictures, WithItsReason)
{
    IndexedPicture picture;
    picture.width = 5;
    std::string detail;
    const PictureStatus status = lunidor::readPicture(GetParam().file(), &picture, &detail);
    EXPECT_EQ(status, GetParam().expected) << lunidor::describe(status) << " " << detail;
    EXPECT_EQ(picture.width, 0u);
    EXPECT_TRUE(picture.pixels.empty());
    EXPECT_STRNE(lunidor::describe(status), "unknown failure");
}

Bytes truncated(Bytes b, std::size_t keep)
{
    b.resize(keep);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    PictureInput, RefusesPictures,
    testing::Values(
        Unreadable{"empty", [] { return Bytes{}; }, PictureStatus::UnknownFormat},
        Unreadable{"text", [] { return Bytes{'h', 'e', 'l', 'l', 'o'}; }, PictureStatus::UnknownFormat},
        Unreadable{"pngTruncated", [] { return truncated(writePng(pngRgb(kSixPixels, 2)), 40); }, PictureStatus::BadPng},
        Unreadable{"pngSignatureOnly", [] { return truncated(writePng(pngRgb(kSixPixels, 2)), 8); },
                   PictureStatus::BadPng},
        Unreadable{"pngDamagedCrc",
                   [] {
                       Bytes b = writePng(pngRgb(kSixPixels, 2));
                       b[20] ^= 1;  // inside IHDR
                       return b;
                   },
                   PictureStatus::BadPng},
        Unreadable{"png257Colours", [] { return writePng(pngRgb(distinctColours(257), 257)); },
                   PictureStatus::TooManyColours},
        Unreadable{"pngAlphaBelowOpaque",
                   [] {
                       PngSpec s = pngRgb(kSixPixels, 2, 255);
                       s.samples[4 * 3 + 3] = 254;
                       return writePng(s);
                   },
                   PictureStatus::Transparent},
        Unreadable{"pngTransparentPaletteEntryUsed",
                   [] {
                       PngSpec s = pngPalette(2, {kRed, kGreen, kBlue}, {0, 1, 2, 0}, 2);
                       s.trns = {255, 255, 0};
                       return writePng(s);
                   },
                   PictureStatus::Transparent},
        Unreadable{"pngTransparentKeyUsed",
                   [] {
                       PngSpec s = pngRgb(kSixPixels, 2);
                       s.trnsKey = {0, 0, 255};
                       return writePng(s);
                   },
                   PictureStatus::Transparent},
        Unreadable{"pngIndexBeyondItsPalette", [] { return writePng(pngPalette(4, {kRed, kBlue}, {0, 1, 5, 1}, 4)); },
                   PictureStatus::IndexBeyondPalette},
        Unreadable{"png16BitBetweenEightBitValues",
                   [] {
                       PngSpec s = pngRgb(kSixPixels, 2);
                       s.bitDepth = 16;
                       for (auto& v : s.samples)
                           v = static_cast<std::uint16_t>(v * 257);
                       s.samples[7] = 0x1234;
                       return writePng(s);
                   },
                   PictureStatus::DeepColour},
        Unreadable{"pngWiderThanMag",
                   [] {
                       PngSpec s;
                       s.colourType = 0;
                       s.bitDepth = 1;
                       s.width = 65537;
                       s.samples.assign(65537, 0);
                       return writePng(s);
                   },
                   PictureStatus::TooLarge},
        Unreadable{"bmpRunLengthCompressed",
                   [] {
                       BmpSpec s = bmpIndexed(8, greys(4), {0, 1, 2, 3}, 2);
                       s.compression = 1;
                       return writeBmp(s);
                   },
                   PictureStatus::UnsupportedBmp},
        Unreadable{"bmp16Bit",
                   [] {
                       BmpSpec s = bmpColours(24, kSixPixels, 2);
                       Bytes b = writeBmp(s);
                       b[28] = 16;
                       return b;
                   },
                   PictureStatus::UnsupportedBmp},
        Unreadable{"bmp32BitUnusualMasks",
                   [] {
                       BmpSpec s = bmpColours(32, kSixPixels, 2);
                       s.compression = 3;
                       Bytes b = writeBmp(s);
                       b[54] = 0x0F;
                       return b;
                   },
                   PictureStatus::UnsupportedBmp},
        Unreadable{"bmp32BitAlphaBelowOpaque",
                   [] {
                       BmpSpec s = bmpColours(32, kSixPixels, 2);
                       s.compression = 3;
                       s.headerBytes = 108;
                       Bytes b = writeBmp(s);
                       b[69] = 0xFF;  // alpha mask 0xFF000000; the pixels' fourth byte is 0x7F
                       return b;
                   },
                   PictureStatus::Transparent},
        Unreadable{"bmpHeaderOf20Bytes",
                   [] {
                       Bytes b = writeBmp(bmpColours(24, kSixPixels, 2));
                       b[14] = 20;
                       return b;
                   },
                   PictureStatus::UnsupportedBmp},
        Unreadable{"bmpPixelRowsCutShort",
                   [] { return truncated(writeBmp(bmpColours(24, kSixPixels, 2)), 54 + 20); }, PictureStatus::BadBmp},
        Unreadable{"bmpHeadersCutShort", [] { return truncated(writeBmp(bmpColours(24, kSixPixels, 2)), 30); },
                   PictureStatus::BadBmp},
        Unreadable{"bmpColourTableCutShort",
                   [] {
                       Bytes b = writeBmp(bmpIndexed(8, greys(256), {1, 2}, 2));
                       return truncated(b, 54 + 100);
                   },
                   PictureStatus::BadBmp},
        Unreadable{"bmpZeroWidth",
                   [] {
                       Bytes b = writeBmp(bmpColours(24, kSixPixels, 2));
                       b[18] = b[19] = b[20] = b[21] = 0;
                       return b;
                   },
                   PictureStatus::BadBmp},
        Unreadable{"bmpMostNegativeHeight",
                   [] {
                       Bytes b = writeBmp(bmpColours(24, kSixPixels, 2));
                       b[22] = b[23] = b[24] = 0;
                       b[25] = 0x80;
                       return b;
                   },
                   PictureStatus::BadBmp},
        Unreadable{"bmpMoreColoursThanBitsIndex",
                   [] {
                       BmpSpec s = bmpIndexed(4, greys(16), {1, 2}, 2);
                       s.colourCount = 17;
                       return writeBmp(s);
                   },
                   PictureStatus::BadBmp},
        Unreadable{"bmpIndexBeyondColourTable",
                   [] {
                       BmpSpec s = bmpIndexed(4, greys(3), {0, 1, 2, 3}, 2);
                       s.colourCount = 3;
                       return writeBmp(s);
                   },
                   PictureStatus::IndexBeyondPalette},
        Unreadable{"bmpTallerThanMag",
                   [] {
                       Bytes b = writeBmp(bmpColours(24, kSixPixels, 2));
                       b[22] = 0x00;
                       b[23] = 0x00;
                       b[24] = 0x01;  // 65536 rows, not present in the file
                       return b;
                   },
                   PictureStatus::TooLarge},
        Unreadable{"bmp257Colours", [] { return writeBmp(bmpColours(24, distinctColours(257), 257)); },
                   PictureStatus::TooManyColours}),
    CaseName());

TEST(PictureInput, DamagedPngComesWithLibpngsWords)
{
    Bytes b = writePng(pngRgb(kSixPixels, 2));
    b[20] ^= 1;
    IndexedPicture picture;
    std::string detail;
    EXPECT_EQ(lunidor::readPicture(b, &picture, &detail), PictureStatus::BadPng);
    EXPECT_FALSE(detail.empty());
}

TEST(PictureInput, FromFilesOnDisk)
{
    TempDir dir;
    IndexedPicture picture;
    EXPECT_EQ(lunidor::readPicture(dir.path("missing.png"), &picture), PictureStatus::CannotOpen);
    const std::string path = dir.write("six.bmp", writeBmp(bmpColours(24, kSixPixels, 2)));
    ASSERT_EQ(lunidor::readPicture(path, &picture), PictureStatus::Ok);
    EXPECT_EQ(picture.pixels, kSixIndices);
}

}  // namespace
