// PNG output read back by an independent reader (Qt's) and compared with
// the BMP output pixel for pixel; the 200-line marks read from the file's
// own chunks.

#include "support/CaseName.h"
#include "support/MagBuilder.h"
#include "support/RunTool.h"
#include "support/ToolPictures.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include <optional>

using namespace magtest;

namespace {

QImage imageOf(const Bytes& bytes, const char* format)
{
    QImage image;
    image.loadFromData(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
                       format);
    return image;
}

std::uint32_t u32be(const Bytes& b, std::size_t at)
{
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

struct Chunk {
    std::string type;
    Bytes data;
};

// The chunks of a PNG file, read straight from its bytes.
std::vector<Chunk> chunksOf(const Bytes& png)
{
    std::vector<Chunk> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = u32be(png, at);
        if (length > png.size() - at - 12)
            break;
        const auto begin = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
        chunks.push_back({std::string(png.begin() + static_cast<std::ptrdiff_t>(at + 4), begin),
                          Bytes(begin, begin + length)});
        at += 12 + std::size_t{length};
    }
    return chunks;
}

std::optional<Bytes> chunk(const Bytes& png, const std::string& type)
{
    for (const Chunk& c : chunksOf(png)) {
        if (c.type == type)
            return c.data;
    }
    return std::nullopt;
}

struct Converted {
    Bytes mag;
    Bytes bmp;
    Bytes png;
};

Converted convertBoth(const MagParts& parts, const std::vector<std::string>& pngOptions = {})
{
    TempDir dir;
    Converted c;
    c.mag = buildMag(parts);
    const std::string in = dir.write("in.mag", c.mag);
    std::vector<std::string> args = pngOptions;
    args.insert(args.end(), {in, "-o", dir.path("out.png")});
    const ToolResult png = runProgram(LUNIDOR_CONVERT, args);
    EXPECT_EQ(png.status, 0) << png.err;
    const ToolResult bmp = runProgram(LUNIDOR_CONVERT, {in, "-o", dir.path("out.bmp")});
    EXPECT_EQ(bmp.status, 0) << bmp.err;
    c.png = readFile(dir.path("out.png"));
    c.bmp = readFile(dir.path("out.bmp"));
    return c;
}

// Every PNG row y shows BMP row y / rowFactor, colour and index alike.
void expectSamePixels(const QImage& png, const QImage& bmp, int rowFactor)
{
    ASSERT_FALSE(png.isNull());
    ASSERT_FALSE(bmp.isNull());
    ASSERT_EQ(png.width(), bmp.width());
    ASSERT_EQ(png.height(), bmp.height() * rowFactor);
    for (int y = 0; y < png.height(); ++y) {
        for (int x = 0; x < png.width(); ++x) {
            ASSERT_EQ(png.pixel(x, y), bmp.pixel(x, y / rowFactor)) << x << "," << y;
            ASSERT_EQ(png.pixelIndex(x, y), bmp.pixelIndex(x, y / rowFactor)) << x << "," << y;
        }
    }
}

}  // namespace

struct PictureCase {
    const char* name;
    std::uint8_t screenMode;
    std::uint16_t startX, endX, rows;
};

class PngAgainstBmp : public testing::TestWithParam<PictureCase> {};

TEST_P(PngAgainstBmp, SamePixelsSameColoursIndexed)
{
    const PictureCase& p = GetParam();
    const MagParts parts = randomPicture(p.screenMode, p.startX, p.endX, p.rows, p.endX * 7u + p.rows);
    const Converted c = convertBoth(parts);
    const bool colours256 = p.screenMode >= 0x80;

    const std::optional<Bytes> ihdr = chunk(c.png, "IHDR");
    ASSERT_TRUE(ihdr);
    EXPECT_EQ((*ihdr)[8], colours256 ? 8 : 4) << "bit depth";
    EXPECT_EQ((*ihdr)[9], 3) << "colour type: indexed";
    EXPECT_EQ(chunk(c.png, "PLTE").value_or(Bytes()).size(), colours256 ? 768u : 48u);

    const QImage png = imageOf(c.png, "PNG");
    const QImage bmp = imageOf(c.bmp, "BMP");
    EXPECT_EQ(png.format(), QImage::Format_Indexed8);
    EXPECT_EQ(png.colorTable(), bmp.colorTable());
    EXPECT_EQ(png.colorCount(), colours256 ? 256 : 16);
    expectSamePixels(png, bmp, 1);
}

INSTANTIATE_TEST_SUITE_P(ConvertPng, PngAgainstBmp,
                         testing::Values(PictureCase{"colours16", 0x00, 0, 63, 32},
                                         PictureCase{"colours16_unaligned", 0x00, 3, 70, 5},
                                         PictureCase{"colours16_one_unit", 0x00, 13, 10, 3},
                                         PictureCase{"colours256", 0x80, 0, 39, 7},
                                         PictureCase{"colours256_unaligned", 0x80, 5, 6, 3},
                                         PictureCase{"one_row", 0x00, 0, 7, 1},
                                         PictureCase{"wide", 0x80, 0, 1023, 2},
                                         PictureCase{"tall_pixels_16", 0x01, 0, 31, 4},
                                         PictureCase{"tall_pixels_256", 0x81, 8, 27, 6}),
                         CaseName());

struct TallCase {
    const char* name;
    std::uint8_t screenMode;
    bool stretch;
    bool marked;    // a pHYs chunk of 2 : 1, unit unknown
    int rowFactor;  // rows in the PNG per row of the picture
};

class TallPixels : public testing::TestWithParam<TallCase> {};

TEST_P(TallPixels, MarkedOrStretchedOnlyWhenTheHeaderSaysSo)
{
    const TallCase& t = GetParam();
    const MagParts parts = randomPicture(t.screenMode, 0, 23, 5, t.screenMode + 50u);
    const Converted c = convertBoth(parts, t.stretch ? std::vector<std::string>{"--stretch"}
                                                     : std::vector<std::string>{});
    const std::optional<Bytes> phys = chunk(c.png, "pHYs");
    EXPECT_EQ(phys.has_value(), t.marked);
    if (phys) {
        EXPECT_EQ(*phys, (Bytes{0, 0, 0, 2, 0, 0, 0, 1, 0}));
    }
    expectSamePixels(imageOf(c.png, "PNG"), imageOf(c.bmp, "BMP"), t.rowFactor);
}

INSTANTIATE_TEST_SUITE_P(ConvertPng, TallPixels,
                         testing::Values(TallCase{"square", 0x00, false, false, 1},
                                         TallCase{"square_stretch_changes_nothing", 0x00, true, false, 1},
                                         TallCase{"tall_marked", 0x01, false, true, 1},
                                         TallCase{"tall_stretched", 0x01, true, false, 2},
                                         TallCase{"tall256_marked", 0x81, false, true, 1},
                                         TallCase{"tall256_stretched", 0x81, true, false, 2},
                                         TallCase{"other_mode_bits_are_not_tall", 0x7E, false, false, 1},
                                         TallCase{"other_mode_bits_with_tall", 0x0F, false, true, 1}),
                         CaseName());

TEST(ConvertPng, StandardOutputGivesTheSamePng)
{
    TempDir dir;
    const std::string in = dir.write("in.mag", buildMag(randomPicture(0x01, 0, 31, 4, 60)));
    const ToolResult file = runProgram(LUNIDOR_CONVERT, {in, "-o", dir.path("out.png")});
    const ToolResult piped = runProgram(LUNIDOR_CONVERT, {"-", "--format", "png", "-o", "-"}, in);
    ASSERT_EQ(file.status, 0) << file.err;
    ASSERT_EQ(piped.status, 0) << piped.err;
    const Bytes png = readFile(dir.path("out.png"));
    EXPECT_EQ(Bytes(piped.out.begin(), piped.out.end()), png);
}
