// The BMP conversion: the size probe, the image it writes, and the file
// operations of TM2BC over files on disk.

#include "mag/M2BC.h"
#include "mag/Mag.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"

#include <gtest/gtest.h>

using namespace magtest;

namespace {

MagParts literalPicture(std::uint8_t screenMode, std::uint16_t startX, std::uint16_t endX, std::uint16_t rows)
{
    return randomPicture(screenMode, startX, endX, rows, std::uint32_t{endX} * 31u + rows);
}

Bytes convert(const Bytes& file, mag::Status expected = mag::Status::Ok)
{
    std::uint32_t size = 0;
    const auto len = static_cast<std::uint32_t>(file.size());
    EXPECT_EQ(mag::probeBmpSize(file.data(), len, &size), mag::Status::Ok);
    Bytes image(size, 0xCD);
    EXPECT_EQ(mag::convertToBmp(file.data(), len, image.data(), size), expected);
    return image;
}

}  // namespace

struct ImageCase {
    const char* name;
    std::uint8_t screenMode;
    std::uint16_t startX, endX, rows;
    std::uint32_t size;
    Bytes first30;  // empty: not checked
};

class ImageLayout : public testing::TestWithParam<ImageCase> {};

TEST_P(ImageLayout, HeadersTableAndRowsAreWhereTheBmpFormatPutsThem)
{
    const ImageCase& c = GetParam();
    const MagParts parts = literalPicture(c.screenMode, c.startX, c.endX, c.rows);
    const Bytes image = convert(buildMag(parts));
    ASSERT_EQ(image.size(), c.size);
    if (!c.first30.empty()) {
        EXPECT_EQ(Bytes(image.begin(), image.begin() + 30), c.first30);
    }
    EXPECT_EQ(Bytes(image.begin() + 30, image.begin() + 54), Bytes(24, 0));
    const std::uint32_t table = c.screenMode >= 0x80 ? 1024 : 64;
    EXPECT_EQ(Bytes(image.begin() + 54 + table, image.end()), bottomUp(parts.areas.pixels, rowBytesOf(parts)));
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, ImageLayout,
    testing::Values(
        ImageCase{"colours16_64x32", 0x00, 0, 63, 32, 1142,
                  {0x42, 0x4D, 0x76, 0x04, 0, 0, 0, 0, 0, 0, 0x76, 0, 0, 0, 0x28, 0, 0, 0, 0x40, 0, 0, 0, 0x20, 0, 0, 0,
                   0x01, 0, 0x04, 0}},
        ImageCase{"colours256_64x32", 0x80, 0, 63, 32, 3126,
                  {0x42, 0x4D, 0x36, 0x0C, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0, 0x28, 0, 0, 0, 0x40, 0, 0, 0, 0x20, 0, 0,
                   0, 0x01, 0, 0x08, 0}},
        ImageCase{"colours256_640x400", 0x80, 0, 639, 400, 257078, {}},
        ImageCase{"colours16_640x400", 0x00, 0, 639, 400, 128118, {}},
        ImageCase{"colours16_3_to_70", 0x00, 3, 70, 32, 1270, {}},
        ImageCase{"colours256_5_to_6", 0x81, 5, 6, 3, 54 + 1024 + 12,
                  {0x42, 0x4D, 0x42, 0x04, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0, 0x28, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0,
                   0x01, 0, 0x08, 0}}),
    CaseName());

TEST(Bmp, ColourTableComesFromThePalette)
{
    const MagParts parts = literalPicture(0x00, 0, 7, 1);
    const Bytes image = convert(buildMag(parts));
    const Bytes mag = testPalette(false);
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(Bytes(image.begin() + 54 + 4 * static_cast<std::ptrdiff_t>(i),
                        image.begin() + 58 + 4 * static_cast<std::ptrdiff_t>(i)),
                  (Bytes{mag[3 * i + 2], mag[3 * i], mag[3 * i + 1], 0}));
}

struct FailureCase {
    const char* name;
    void (*change)(Bytes&, MagParts&);
    mag::Status probe;    // what the size probe says
    mag::Status convert;  // what the conversion says
};

class Failures : public testing::TestWithParam<FailureCase> {};

TEST_P(Failures, ProbeAndConversionReportTheirReason)
{
    MagParts parts = literalPicture(0x00, 0, 63, 8);
    Bytes file;
    GetParam().change(file, parts);
    if (file.empty())
        file = buildMag(parts);
    if (file == Bytes{0})
        file.clear();
    std::uint32_t size = 0;
    const auto len = static_cast<std::uint32_t>(file.size());
    EXPECT_EQ(mag::probeBmpSize(file.data(), len, &size), GetParam().probe);
    Bytes image(1 << 20, 0);
    EXPECT_EQ(mag::convertToBmp(file.data(), len, image.data(), static_cast<std::uint32_t>(image.size())),
              GetParam().convert);
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, Failures,
    testing::Values(
        FailureCase{"empty_file", [](Bytes& f, MagParts&) { f = {0}; }, mag::Status::NoHeader,
                    mag::Status::NoHeader},
        FailureCase{"text_without_0x1A", [](Bytes& f, MagParts&) { f = Bytes(100, 'a'); }, mag::Status::NoHeader,
                    mag::Status::NoHeader},
        FailureCase{"ends_31_bytes_after_0x1A",
                    [](Bytes& f, MagParts& p) {
                        f = buildMag(p);
                        f.resize(headerOffsetOf(p) + 31);
                    },
                    mag::Status::NoHeader, mag::Status::NoHeader},
        FailureCase{"wrong_signature", [](Bytes&, MagParts& p) { p.signature = "MAKI03  "; }, mag::Status::NotMag,
                    mag::Status::NotMag},
        FailureCase{"headTop_not_0", [](Bytes&, MagParts& p) { p.headTop = 2; }, mag::Status::HeaderUnusable,
                    mag::Status::HeaderUnusable},
        FailureCase{"pixel_area_past_end", [](Bytes&, MagParts& p) { p.pixelSize = 1u << 30; }, mag::Status::Ok,
                    mag::Status::AreasPastEnd},
        FailureCase{"flagB_area_past_end", [](Bytes&, MagParts& p) { p.flagBOffset = 0xFFFFFFF0; }, mag::Status::Ok,
                    mag::Status::AreasPastEnd},
        FailureCase{"palette_past_end",
                    [](Bytes& f, MagParts& p) {
                        p.flagAOffset = p.flagBOffset = p.pixelOffset = 0;
                        p.areas = {};
                        p.pixelSize = p.flagBSize = 0;
                        p.endY = 0;
                        f = buildMag(p);
                        f.resize(headerOffsetOf(p) + 32 + 47);
                    },
                    mag::Status::Ok, mag::Status::PalettePastEnd}),
    CaseName());

TEST(Bmp, ImageThatDoesNotFitTheBufferIsRefused)
{
    const Bytes file = buildMag(literalPicture(0x00, 0, 63, 32));
    Bytes image(1141 + 4, 0xEE);
    EXPECT_EQ(mag::convertToBmp(file.data(), static_cast<std::uint32_t>(file.size()), image.data(), 1141),
              mag::Status::ImageTooSmall);
    EXPECT_EQ(image, Bytes(1145, 0xEE));
}

TEST(Bmp, ProbeOfFirstBytesAloneGivesTheSize)
{
    const MagParts parts = literalPicture(0x80, 0, 639, 400);
    const Bytes file = buildMag(parts);
    std::uint32_t size = 0;
    EXPECT_EQ(mag::probeBmpSize(file.data(), headerOffsetOf(parts) + 32, &size), mag::Status::Ok);
    EXPECT_EQ(size, 257078u);
}

// The file operations, which the viewer uses.
TEST(BmpFile, ConvertsAFileOnDiskThroughBothPasses)
{
    TempDir dir;
    const MagParts parts = literalPicture(0x00, 3, 70, 32);
    const Bytes file = buildMag(parts);
    const std::string path = dir.write("picture.mag", file);
    TM2BC converter;
    const std::uint32_t size = converter.MMAG_GetBmpSize(path.c_str());
    ASSERT_EQ(size, 1270u);
    Bytes image(size);
    ASSERT_EQ(converter.MMAG_MagtoBmp(path.c_str(), image.data(), size), 0);
    EXPECT_EQ(image, convert(file));
}

TEST(BmpFile, FailuresOnDisk)
{
    TempDir dir;
    TM2BC converter;
    Bytes image(1 << 16);
    const auto size = static_cast<std::uint32_t>(image.size());

    const std::string missing = dir.path("missing.mag");
    EXPECT_EQ(converter.MMAG_GetBmpSize(missing.c_str()), 0u);
    EXPECT_EQ(converter.MMAG_MagtoBmp(missing.c_str(), image.data(), size), -1);

    const std::string empty = dir.write("empty.mag", {});
    EXPECT_EQ(converter.MMAG_GetBmpSize(empty.c_str()), 0u);
    EXPECT_EQ(converter.MMAG_MagtoBmp(empty.c_str(), image.data(), size), -1);

    EXPECT_EQ(converter.MMAG_GetBmpSize(dir.path("").c_str()), 0u) << "a directory";
    EXPECT_EQ(converter.MMAG_MagtoBmp(dir.path("").c_str(), image.data(), size), -1);

    MagParts cut = literalPicture(0x00, 0, 63, 32);
    Bytes file = buildMag(cut);
    file.resize(file.size() - 1);
    const std::string truncated = dir.write("truncated.mag", file);
    EXPECT_EQ(converter.MMAG_GetBmpSize(truncated.c_str()), 1142u);
    EXPECT_EQ(converter.MMAG_MagtoBmp(truncated.c_str(), image.data(), size), -1);

    file.resize(headerOffsetOf(cut) + 31);
    const std::string shortHeader = dir.write("short.mag", file);
    EXPECT_EQ(converter.MMAG_GetBmpSize(shortHeader.c_str()), 0u);
}
