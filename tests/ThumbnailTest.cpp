// Thumbnails: the size they get, their true shape, and colours averaged as
// the eye sees them.

#include "Thumbnail.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"
#include "support/RunTool.h"
#include "support/ToolPictures.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

using namespace magtest;

struct FitCase {
    const char* name;
    std::uint32_t width, height;
    bool tall;
    std::uint32_t box;
    tool::PixelSize fitted;
};

class FitThumbnail : public testing::TestWithParam<FitCase> {};

TEST_P(FitThumbnail, KeepsTheShownShapeWithinTheBox)
{
    const FitCase& c = GetParam();
    EXPECT_EQ(tool::fitThumbnail(c.width, c.height, c.tall, c.box), c.fitted);
}

INSTANTIATE_TEST_SUITE_P(
    Thumbnail, FitThumbnail,
    testing::Values(FitCase{"landscape", 640, 400, false, 128, {128, 80}},
                    FitCase{"tall_pixels_count_twice", 640, 200, true, 128, {128, 80}},
                    FitCase{"tall_pixels_portrait", 640, 400, true, 256, {205, 256}},
                    FitCase{"small_stays_small", 64, 32, false, 256, {64, 32}},
                    FitCase{"small_tall_shown_true", 64, 32, true, 256, {64, 64}},
                    FitCase{"tall_between_sizes", 300, 300, true, 500, {250, 500}},
                    FitCase{"narrow", 16, 400, false, 100, {4, 100}},
                    FitCase{"never_below_one_pixel", 1000, 1, false, 10, {10, 1}},
                    FitCase{"largest_picture", 65536, 65535, false, 1, {1, 1}}),
    CaseName());

namespace {

QImage thumbnailOf(const MagParts& parts, const std::string& size)
{
    TempDir dir;
    const std::string in = dir.write("in.mag", buildMag(parts));
    const ToolResult run = runProgram(LUNIDOR_CONVERT, {"--thumbnail", size, in, dir.path("t.png")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Bytes png = readFile(dir.path("t.png"));
    QImage image;
    image.loadFromData(QByteArray(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size())),
                       "PNG");
    return image;
}

// A 16-colour picture whose rows are all `rowByte` (two pixels per byte).
MagParts uniformPicture(std::uint16_t width, std::uint16_t rows, std::uint8_t rowByte, bool tall, Bytes palette)
{
    MagParts parts;
    parts.screenMode = tall ? 0x01 : 0x00;
    parts.endX = static_cast<std::uint16_t>(width - 1);
    parts.endY = static_cast<std::uint16_t>(rows - 1);
    parts.palette = std::move(palette);
    const std::uint32_t rowBytes = rowBytesOf(parts);
    parts.areas = literalOnly(Bytes(std::size_t{rowBytes} * rows, rowByte), rowBytes);
    return parts;
}

// Green, red, blue per entry, as MAG palettes store them.
Bytes blackAndWhitePalette()
{
    Bytes palette(48, 0);
    palette[3] = palette[4] = palette[5] = 255;
    return palette;
}

}  // namespace

TEST(Thumbnail, TallPicturesAtTheirTrueShape)
{
    const QImage thumbnail = thumbnailOf(randomPicture(0x01, 0, 639, 200, 70), "128");
    EXPECT_EQ(thumbnail.size(), QSize(128, 80));
    EXPECT_FALSE(thumbnail.hasAlphaChannel());
}

TEST(Thumbnail, OneColourStaysThatColour)
{
    const Bytes palette = testPalette(false);
    const QImage thumbnail = thumbnailOf(uniformPicture(200, 120, 0x55, false, palette), "64");
    ASSERT_EQ(thumbnail.size(), QSize(64, 38));
    // Entry 5 of the test palette: green 5, red 250, blue 35.
    for (int y = 0; y < thumbnail.height(); ++y) {
        for (int x = 0; x < thumbnail.width(); ++x) {
            const QColor c = thumbnail.pixelColor(x, y);
            ASSERT_NEAR(c.red(), 250, 1);
            ASSERT_NEAR(c.green(), 5, 1);
            ASSERT_NEAR(c.blue(), 35, 1);
        }
    }
}

TEST(Thumbnail, DitheringKeepsItsBrightness)
{
    // Black and white pixels in a checkerboard look like the grey of half
    // the light, which is 188 in sRGB, not the 128 of averaged numbers.
    MagParts parts = uniformPicture(64, 64, 0x01, false, blackAndWhitePalette());
    Bytes picture;
    for (int row = 0; row < 64; ++row)
        picture.insert(picture.end(), 32, row % 2 == 0 ? 0x01 : 0x10);
    parts.areas = literalOnly(picture, 32);
    const QImage thumbnail = thumbnailOf(parts, "16");
    ASSERT_EQ(thumbnail.size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            ASSERT_NEAR(thumbnail.pixelColor(x, y).red(), 188, 1) << x << "," << y;
    }
}

TEST(Thumbnail, StretchedRowsShareTheirColour)
{
    // A 4 x 2 picture in 256 colours, white row over black row, shown as
    // 4 x 4 and fitted into 3 x 3: the middle row straddles both.
    MagParts parts;
    parts.screenMode = 0x81;
    parts.endX = 3;
    parts.endY = 1;
    parts.palette = Bytes(768, 0);
    parts.palette[3] = parts.palette[4] = parts.palette[5] = 255;
    parts.areas = literalOnly(Bytes{1, 1, 1, 1, 0, 0, 0, 0}, 4);
    const QImage thumbnail = thumbnailOf(parts, "3");
    ASSERT_EQ(thumbnail.size(), QSize(3, 3));
    EXPECT_EQ(thumbnail.pixelColor(1, 0).red(), 255);
    EXPECT_NEAR(thumbnail.pixelColor(1, 1).red(), 188, 1);
    EXPECT_EQ(thumbnail.pixelColor(1, 2).red(), 0);
}

TEST(Thumbnail, ReplacesAnExistingFileOnlyWhenForced)
{
    // File managers may make the output file before they call the thumbnailer.
    TempDir dir;
    const std::string in = dir.write("in.mag", buildMag(randomPicture(0x00, 0, 63, 8, 71)));
    const std::string out = dir.write("t.png", Bytes());
    const ToolResult refused = runProgram(LUNIDOR_CONVERT, {"--thumbnail", "32", in, out});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "lunidor-convert: " + in + ": " + out + " exists already (--force replaces it)\n");
    const ToolResult forced = runProgram(LUNIDOR_CONVERT, {"--force", "--thumbnail", "32", in, out});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_GT(readFile(out).size(), 8u);
}

TEST(Thumbnail, BadInputLeavesNoOutput)
{
    TempDir dir;
    const std::string in = dir.write("in.mag", Bytes(40, 'x'));
    const ToolResult run = runProgram(LUNIDOR_CONVERT, {"--thumbnail", "32", in, dir.path("t.png")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "lunidor-convert: " + in + ": no header\n");
    EXPECT_EQ(filesIn(dir.path("")), std::vector<std::string>{"in.mag"});
}
