// The header reader: where it finds the header, what it derives, which
// result each kind of file gets and what it leaves in the record.

#include "mag/Mag.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace magtest;

namespace {

int readHeader(const Bytes& file, MMAG_INFO* info, std::size_t len)
{
    return mag::getHeader(file.data(), static_cast<std::uint32_t>(len), info);
}

int readHeader(const Bytes& file, MMAG_INFO* info) { return readHeader(file, info, file.size()); }

MagParts smallPicture()
{
    MagParts parts;  // 16 colours, 64 x 32
    parts.areas = literalOnly(Bytes(32 * 32, 0x11), 32);
    return parts;
}

MMAG_INFO poisoned()
{
    MMAG_INFO info;
    std::memset(&info, 0xA5, sizeof info);
    return info;
}

}  // namespace

TEST(Header, WellFormedFileIsCompleteAndValid)
{
    MagParts parts = smallPicture();
    parts.comment = "a comment";
    parts.machine = 0x03;
    parts.machineFlags = 0x44;
    const Bytes file = buildMag(parts);
    MMAG_INFO info = poisoned();
    ASSERT_EQ(readHeader(file, &info), mag::kHeaderOk);
    EXPECT_EQ(info.headerOffset, 31u + 9 + 1);
    EXPECT_EQ(info.machine, 0x03);
    EXPECT_EQ(info.machineFlags, 0x44);
    EXPECT_STREQ(info.machineName, "TEST");
    EXPECT_STREQ(info.userName, "Lunidor tests      ");
    EXPECT_EQ(info.rowBytes, 32);
    EXPECT_EQ(info.height, 32);
    EXPECT_EQ(info.flagAOffset, 32u + 48);
}

struct GeometryCase {
    const char* name;
    std::uint8_t screenMode;
    std::uint16_t startX, endX;
    std::uint16_t alignedStartX, alignedEndX, rowBytes;
};

class Geometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(Geometry, EdgesAlignToThePixelUnit)
{
    const GeometryCase& c = GetParam();
    MagParts parts;
    parts.screenMode = c.screenMode;
    parts.startX = c.startX;
    parts.endX = c.endX;
    parts.endY = 0;
    // Offsets 0 and sizes 0 keep every area inside the file; the padding
    // holds the flag A bytes the widest row reserves.
    parts.flagAOffset = parts.flagBOffset = parts.pixelOffset = 0;
    Bytes file = buildMag(parts);
    file.resize(file.size() + 1024, 0);
    MMAG_INFO info;
    ASSERT_EQ(readHeader(file, &info), mag::kHeaderOk);
    EXPECT_EQ(info.alignedStartX, c.alignedStartX);
    EXPECT_EQ(info.alignedEndX, c.alignedEndX);
    EXPECT_EQ(info.rowBytes, c.rowBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Header, Geometry,
    testing::Values(GeometryCase{"colours16_3_to_70", 0x00, 3, 70, 0, 71, 36},
                    GeometryCase{"colours256_3_to_70", 0x80, 3, 70, 0, 71, 72},
                    GeometryCase{"colours256_5_to_6", 0x81, 5, 6, 4, 7, 4},
                    GeometryCase{"mode7F_is_16_colours", 0x7F, 5, 6, 0, 7, 4},
                    GeometryCase{"end_left_of_start_same_unit", 0x00, 13, 10, 8, 15, 4},
                    GeometryCase{"colours256_at_right_edge", 0x80, 0xFFFF, 0xFFFF, 65532, 0xFFFF, 4},
                    GeometryCase{"colours16_full_width", 0x00, 0, 0xFFFF, 0, 0xFFFF, 32768}),
    CaseName());

struct ResultCase {
    const char* name;
    void (*change)(MagParts&);
    int expected;
};

class Results : public testing::TestWithParam<ResultCase> {};

TEST_P(Results, FileGetsItsResult)
{
    MagParts parts = smallPicture();
    GetParam().change(parts);
    MMAG_INFO info;
    EXPECT_EQ(readHeader(buildMag(parts), &info), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Header, Results,
    testing::Values(
        ResultCase{"well_formed", [](MagParts&) {}, mag::kHeaderOk},
        ResultCase{"signature_nul_for_blank", [](MagParts& p) { p.signature = std::string("MAKI02 \0", 8); },
                   mag::kHeaderNotMag},
        ResultCase{"signature_lower_case", [](MagParts& p) { p.signature = "maki02  "; }, mag::kHeaderNotMag},
        ResultCase{"signature_other_version", [](MagParts& p) { p.signature = "MAKI01A "; }, mag::kHeaderNotMag},
        ResultCase{"headTop_1", [](MagParts& p) { p.headTop = 1; }, mag::kHeaderUnusable},
        ResultCase{"headTop_1_and_area_past_end",
                   [](MagParts& p) {
                       p.headTop = 1;
                       p.pixelSize = 0xFFFFFFF0;
                   },
                   mag::kHeaderUnusable},
        ResultCase{"headTop_1_and_wrong_signature",
                   [](MagParts& p) {
                       p.headTop = 1;
                       p.signature = "MAKI02 !";
                   },
                   mag::kHeaderNotMag},
        ResultCase{"x_range_across_units_backwards",
                   [](MagParts& p) {
                       p.startX = 20;
                       p.endX = 3;
                   },
                   mag::kHeaderUnusable},
        ResultCase{"colours256_end_left_of_start",
                   [](MagParts& p) {
                       p.screenMode = 0x80;
                       p.startX = 8;
                       p.endX = 7;
                   },
                   mag::kHeaderUnusable},
        // Extents the record cannot carry are refused before the areas are looked at.
        ResultCase{"endY_below_startY",
                   [](MagParts& p) {
                       p.startY = 10;
                       p.endY = 5;
                   },
                   mag::kHeaderUnusable},
        ResultCase{"endY_one_below_startY",
                   [](MagParts& p) {
                       p.startY = 10;
                       p.endY = 9;
                   },
                   mag::kHeaderUnusable},
        ResultCase{"span_of_65536_rows",
                   [](MagParts& p) {
                       p.startY = 0;
                       p.endY = 0xFFFF;
                   },
                   mag::kHeaderUnusable},
        ResultCase{"span_of_65535_rows_is_carried",
                   [](MagParts& p) {
                       p.startY = 1;
                       p.endY = 0xFFFF;
                       p.flagAOffset = p.pixelOffset = p.flagBOffset = 0;
                       p.pixelSize = p.flagBSize = 0;
                       p.areas = {};
                   },
                   mag::kHeaderAreasPastEnd},
        ResultCase{"colours256_row_of_65536_pixels",
                   [](MagParts& p) {
                       p.screenMode = 0x80;
                       p.startX = 0;
                       p.endX = 0xFFFF;
                   },
                   mag::kHeaderUnusable},
        ResultCase{"flagB_offset_and_size_reach_2_32",
                   [](MagParts& p) {
                       p.flagBOffset = 0xFFFFFF00;
                       p.flagBSize = 256;
                   },
                   mag::kHeaderAreasPastEnd},
        ResultCase{"flagA_offset_near_2_32", [](MagParts& p) { p.flagAOffset = 0xFFFFFFF0; },
                   mag::kHeaderAreasPastEnd},
        ResultCase{"pixel_size_near_2_32",
                   [](MagParts& p) {
                       p.pixelOffset = 16;
                       p.pixelSize = 0xFFFFFFF0;
                   },
                   mag::kHeaderAreasPastEnd},
        ResultCase{"pixel_area_one_byte_too_long",
                   [](MagParts& p) { p.pixelSize = static_cast<std::uint32_t>(p.areas.pixels.size() + 1); },
                   mag::kHeaderAreasPastEnd}),
    CaseName());

TEST(Header, NoCommentEndLeavesTheRecordUntouched)
{
    const Bytes text(200, 'x');
    MMAG_INFO info = poisoned();
    const MMAG_INFO before = info;
    EXPECT_EQ(readHeader(text, &info), mag::kHeaderMissing);
    EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0);
    EXPECT_EQ(readHeader(text, &info, 0), mag::kHeaderMissing);
    EXPECT_EQ(std::memcmp(&info, &before, sizeof info), 0);
}

TEST(Header, HeaderMustFitBehindTheCommentEnd)
{
    const Bytes file = buildMag(smallPicture());
    const std::uint32_t h = headerOffsetOf(smallPicture());
    MMAG_INFO info = poisoned();
    EXPECT_EQ(readHeader(file, &info, h + 31), mag::kHeaderMissing);
    EXPECT_EQ(info.headerOffset, h);  // the only field written
    EXPECT_EQ(info.headTop, 0xA5);
    EXPECT_EQ(readHeader(file, &info, h + 32), mag::kHeaderAreasPastEnd);
}

TEST(Header, WrongSignatureTooShortForHeaderIsMissingHeader)
{
    MagParts parts = smallPicture();
    parts.signature = "GIF89a  ";
    const Bytes file = buildMag(parts);
    MMAG_INFO info = poisoned();
    EXPECT_EQ(readHeader(file, &info, headerOffsetOf(parts) + 10), mag::kHeaderMissing);
    EXPECT_EQ(readHeader(file, &info), mag::kHeaderNotMag);
    EXPECT_EQ(info.headerOffset, headerOffsetOf(parts));
    EXPECT_EQ(info.headTop, 0xA5);
}

TEST(Header, FlagABoundIsOneRowOfBitsRoundedUpPerRow)
{
    // 64 x 32 in 16 colours: one flag A byte per row, 32 bytes.
    MagParts parts;
    parts.flagAOffset = 100;
    parts.flagBOffset = parts.pixelOffset = 0;
    const Bytes file = buildMag(parts);
    const std::uint32_t h = headerOffsetOf(parts);
    Bytes padded = file;
    padded.resize(h + 132, 0);
    MMAG_INFO info;
    EXPECT_EQ(readHeader(padded, &info, h + 132), mag::kHeaderOk);
    EXPECT_EQ(readHeader(padded, &info, h + 131), mag::kHeaderAreasPastEnd);
}

struct FlagARowCase {
    std::uint8_t screenMode;
    std::uint16_t width;
    std::uint32_t bytesPerRow;
};

class FlagAPerRow : public testing::TestWithParam<FlagARowCase> {};

TEST_P(FlagAPerRow, ReservesWholeBytesPerRow)
{
    const FlagARowCase& c = GetParam();
    MagParts parts;
    parts.screenMode = c.screenMode;
    parts.endX = static_cast<std::uint16_t>(c.width - 1);
    parts.endY = 9;  // 10 rows
    parts.flagAOffset = 32;  // right behind the header, over the palette
    parts.flagBOffset = parts.pixelOffset = 0;
    Bytes file = buildMag(parts);
    const std::uint32_t end = headerOffsetOf(parts) + 32 + 10 * c.bytesPerRow;
    file.resize(std::max<std::size_t>(file.size(), end), 0);
    MMAG_INFO info;
    EXPECT_EQ(readHeader(file, &info, end), mag::kHeaderOk);
    EXPECT_EQ(readHeader(file, &info, end - 1), mag::kHeaderAreasPastEnd);
}

INSTANTIATE_TEST_SUITE_P(Header, FlagAPerRow,
                         testing::Values(FlagARowCase{0x00, 8, 1}, FlagARowCase{0x00, 64, 1},
                                         FlagARowCase{0x00, 72, 2}, FlagARowCase{0x00, 128, 2},
                                         FlagARowCase{0x00, 136, 3}, FlagARowCase{0x80, 640, 20}));

TEST(Header, CommentEndInsideUserNameOverlapsTheNames)
{
    MagParts parts;
    parts.userName = std::string("abc\x1A", 4) + std::string(15, '\0');
    parts.flagAOffset = parts.flagBOffset = parts.pixelOffset = 0;
    parts.endX = 7;
    parts.endY = 0;
    Bytes file = buildMag(parts);
    // Place a usable header right after the user name's 0x1A (at 16).
    const Bytes header = {0, 0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::copy(header.begin(), header.end(), file.begin() + 16);
    MMAG_INFO info;
    ASSERT_EQ(readHeader(file, &info), mag::kHeaderOk);
    EXPECT_EQ(info.headerOffset, 16u);
    EXPECT_EQ(info.userName[3], '\x1A');
    EXPECT_EQ(info.endX, 7);
}

TEST(Header, ProbeLengthOfWellFormedFileGivesAreasPastEnd)
{
    const MagParts parts = smallPicture();
    const Bytes file = buildMag(parts);
    MMAG_INFO info;
    EXPECT_EQ(readHeader(file, &info, headerOffsetOf(parts) + 32), mag::kHeaderAreasPastEnd);
    EXPECT_EQ(info.rowBytes, 32);

    MagParts empty;  // 8 x 1 with every offset and size 0
    empty.endX = 7;
    empty.endY = 0;
    empty.flagAOffset = empty.flagBOffset = empty.pixelOffset = 0;
    EXPECT_EQ(readHeader(buildMag(empty), &info, headerOffsetOf(empty) + 32), mag::kHeaderOk);
}
