// The pixel decoder, checked against an independent model of the format
// (support/MagBuilder.cpp) and against pictures the fixtures were built from.

#include "mag/Mag.h"
#include "support/MagBuilder.h"

#include <gtest/gtest.h>

using namespace magtest;

namespace {

struct Decoded {
    Bytes file;
    MMAG_INFO info;
    Bytes pixels;  // bottom-up, as in the BMP
};

// Decodes the areas of parts into a buffer first filled with `fill`.
Decoded decodeParts(const MagParts& parts, std::uint8_t fill = 0xCD)
{
    Decoded d{buildMag(parts), {}, {}};
    const auto len = static_cast<std::uint32_t>(d.file.size());
    const int result = mag::getHeader(d.file.data(), len, &d.info);
    EXPECT_EQ(result, mag::kHeaderOk);
    d.pixels.assign(std::size_t{d.info.rowBytes} * d.info.height, fill);
    mag::decode(d.file.data(), len, d.pixels.data(), &d.info);
    return d;
}

Bytes modelOf(const Decoded& d)
{
    const std::uint32_t h = d.info.headerOffset;
    return bottomUp(referenceDecode(d.file, h + d.info.flagAOffset, h + d.info.flagBOffset, h + d.info.pixelOffset,
                                    d.info.rowBytes, d.info.height),
                    d.info.rowBytes);
}

MagParts picture(std::uint32_t rowBytes, std::uint32_t rows, bool colours256 = false)
{
    MagParts parts;
    parts.screenMode = colours256 ? 0x80 : 0x00;
    parts.endX = static_cast<std::uint16_t>((colours256 ? rowBytes : rowBytes * 2) - 1);
    parts.endY = static_cast<std::uint16_t>(rows - 1);
    return parts;
}

Bytes sequence(std::size_t n, std::uint8_t first = 1)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(first + i);
    return b;
}

}  // namespace

TEST(Decode, LiteralOnlyPictureIsThePixelAreaBottomUp)
{
    MagParts parts = picture(12, 5);
    const Bytes pic = sequence(60);
    parts.areas = literalOnly(pic, 12);
    const Decoded d = decodeParts(parts);
    EXPECT_EQ(d.pixels, bottomUp(pic, 12));
}

// Each copy code, used alone in a picture of distinct literal rows, takes
// its 2 bytes from the place the format names.
class CopyCode : public testing::TestWithParam<unsigned> {};

TEST_P(CopyCode, CopiesFromItsFixedDistance)
{
    constexpr std::uint32_t kRowBytes = 16, kRows = 20, kPositions = kRowBytes / 4;
    const unsigned code = GetParam();
    static const unsigned left[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
    static const unsigned up[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};
    // Rows 0 to 16 are literal; row 17 copies its right unit at position 3
    // (byte 14) with the code, its left unit literal.
    std::vector<std::uint8_t> flags(kPositions * kRows, 0);
    flags[17 * kPositions + 3] = static_cast<std::uint8_t>(code);
    Bytes literals = sequence(kRowBytes * kRows - 2, 3);
    MagParts parts = picture(kRowBytes, kRows);
    parts.areas = encodeFlags(flags, kPositions, literals);
    const Decoded d = decodeParts(parts);

    // Picture bytes in reading order: the copied unit takes no literals.
    Bytes expected(literals.begin(), literals.begin() + 17 * kRowBytes + 14);
    const std::size_t src = 17 * kRowBytes + 14 - up[code] * kRowBytes - left[code];
    expected.push_back(expected[src]);
    expected.push_back(expected[src + 1]);
    expected.insert(expected.end(), literals.begin() + 17 * kRowBytes + 14, literals.end());
    EXPECT_EQ(d.pixels, bottomUp(expected, kRowBytes));
    EXPECT_EQ(d.pixels, modelOf(d));
}

INSTANTIATE_TEST_SUITE_P(Decode, CopyCode, testing::Range(1u, 16u));

TEST(Decode, FlagBitsRunOnAcrossRows)
{
    // rowBytes 12: three positions per row.  Row 1 uses bits 0x10, 0x08 and
    // 0x04 of flag A byte 0; row 2's last position uses 0x80 of byte 1.
    MagParts parts = picture(12, 3);
    parts.areas.flagA = {0x08, 0x80, 0, 0, 0};
    parts.areas.flagB = {0x10, 0x01};
    parts.areas.pixels = sequence(40);
    const Decoded d = decodeParts(parts);
    EXPECT_EQ(d.pixels, modelOf(d));
    // Row 1 position 1 is flag 0x10: copy 2 bytes left, then a literal unit.
    const Bytes top = Bytes(d.pixels.begin() + 12, d.pixels.begin() + 24);  // picture row 1
    EXPECT_EQ(top[4], top[2]);
    EXPECT_EQ(top[5], top[3]);
}

TEST(Decode, ClearRowRepeatsTheFlagsOfTheRowAbove)
{
    // Row 0 literal, row 1 all flags 0x44 (copy from one row up), row 2
    // with no flag A bit set repeats 0x44 and takes no literal bytes.
    MagParts parts = picture(8, 3);
    parts.areas.flagA = {0x30, 0x00};
    parts.areas.flagB = {0x44, 0x44};
    parts.areas.pixels = sequence(8);
    const Decoded d = decodeParts(parts);
    EXPECT_EQ(d.pixels, bottomUp(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8}, 8));
}

TEST(Decode, ZeroFlagBByteConsumesTheByteAndKeepsTheFlag)
{
    MagParts parts = picture(4, 2);
    parts.areas.flagA = {0xC0};  // both rows read a flag B byte
    parts.areas.flagB = {0x10, 0x00};
    parts.areas.pixels = {9, 8, 7, 6};
    // Row 0: flag 0x10, left unit copies before the picture (zeros), right literal.
    // Row 1: flag stays 0x10, the left unit wraps to the end of row 0.
    const Decoded d = decodeParts(parts);
    EXPECT_EQ(d.pixels, bottomUp(Bytes{0, 0, 9, 8, 9, 8, 7, 6}, 4));
}

TEST(Decode, FlagByte01ThenFlagByte10)
{
    // Position 0: literal unit then its repeat; position 1: repeat again, then a literal.
    MagParts parts = picture(8, 1);
    parts.areas.flagA = {0xC0};
    parts.areas.flagB = {0x01, 0x10};
    parts.areas.pixels = {1, 2, 3, 4};
    const Decoded d = decodeParts(parts);
    EXPECT_EQ(d.pixels, (Bytes{1, 2, 1, 2, 1, 2, 3, 4}));
}

TEST(Decode, Codes12And15ReachTheFirstRow)
{
    MagParts parts = picture(8, 17);
    std::vector<std::uint8_t> flags(2 * 17, 0);
    flags[8 * 2] = 0xC0;   // row 8, position 0: code 12 left, literal right
    flags[16 * 2] = 0xF0;  // row 16, position 0: code 15 left, literal right
    parts.areas = encodeFlags(flags, 2, sequence(17 * 8 - 4));
    const Decoded d = decodeParts(parts);
    const std::size_t row0 = 16 * 8, row8 = 8 * 8, row16 = 0;  // memory offsets
    EXPECT_EQ(d.pixels[row8], d.pixels[row0]);
    EXPECT_EQ(d.pixels[row8 + 1], d.pixels[row0 + 1]);
    EXPECT_EQ(d.pixels[row16], d.pixels[row0]);
    EXPECT_EQ(d.pixels[row16 + 1], d.pixels[row0 + 1]);
}

// Where the source lies before its row or before the picture.
TEST(Decode, SourcesOutsideThePictureFollowTheRowsLaidEndToEnd)
{
    MagParts parts = picture(8, 3);
    // Row 0 position 0: code 3 (8 left) before the picture -> zeros, then literal.
    // Row 1 position 0: code 1 at byte 0 -> last 2 bytes of row 0.
    // Row 2 position 0: code 4 left (row above), code 6 right (two rows up).
    std::vector<std::uint8_t> flags = {0x30, 0x00, 0x10, 0x00, 0x46, 0x00};
    parts.areas = encodeFlags(flags, 2, sequence(16, 10));
    const Decoded d = decodeParts(parts);
    const Bytes expected = {0, 0, 10, 11, 12, 13, 14, 15,   // row 0
                            14, 15, 16, 17, 18, 19, 20, 21,  // row 1
                            14, 15, 10, 11, 22, 23, 24, 25};  // row 2
    EXPECT_EQ(d.pixels, bottomUp(expected, 8));
}

TEST(Decode, ReadsPastTheEndOfTheFileGiveZeros)
{
    MagParts parts = picture(8, 2);
    parts.areas.flagA = {0x00, 0x00};
    parts.areas.pixels = {1, 2, 3, 4, 5};  // 11 of 16 literal bytes missing
    parts.pixelSize = 5;
    Decoded d = decodeParts(parts);
    EXPECT_EQ(d.pixels, bottomUp(Bytes{1, 2, 3, 4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8));
}

TEST(Decode, LiteralsRunOnIntoTheBytesAfterTheArea)
{
    // The pixel area claims 2 bytes; the flags call for 4, and the decoder
    // reads on into what follows, not zeros.
    MagParts parts = picture(4, 1);
    parts.areas.flagA = {0x00};
    parts.areas.pixels = {1, 2, 3, 4};
    parts.pixelSize = 2;
    EXPECT_EQ(decodeParts(parts).pixels, (Bytes{1, 2, 3, 4}));
}

TEST(Decode, OneRowPictureLeavesNoFlagBytesBehind)
{
    MagParts parts = picture(32, 1);
    std::vector<std::uint8_t> flags = {0x00, 0x11, 0x22, 0x33, 0x10, 0x01, 0x20, 0x02};
    parts.areas = encodeFlags(flags, 8, sequence(32, 40));
    const Decoded d = decodeParts(parts, 0xFF);
    EXPECT_EQ(d.pixels, modelOf(d));
}

TEST(Decode, ResultDoesNotDependOnTheBufferOrTheColourMode)
{
    Random random(7);
    MagParts parts = picture(24, 9);
    std::vector<std::uint8_t> flags(6 * 9);
    for (auto& f : flags)
        f = static_cast<std::uint8_t>(random.below(3) == 0 ? 0 : random.next());
    parts.areas = encodeFlags(flags, 6, random.bytes(24 * 9));
    const Bytes a = decodeParts(parts, 0x00).pixels;
    EXPECT_EQ(decodeParts(parts, 0xFF).pixels, a);
    MagParts wide = parts;
    wide.screenMode = 0x80;
    wide.endX = 23;  // the same 24-byte rows in 256 colours
    EXPECT_EQ(decodeParts(wide, 0x5A).pixels, a);
}

TEST(Decode, LeavesTheBytesAroundThePixelsAlone)
{
    MagParts parts = picture(8, 2);
    parts.areas = literalOnly(sequence(16), 8);
    const Bytes file = buildMag(parts);
    MMAG_INFO info;
    ASSERT_EQ(mag::getHeader(file.data(), static_cast<std::uint32_t>(file.size()), &info), mag::kHeaderOk);
    Bytes buffer(4 + 16 + 4, 0xEE);
    mag::decode(file.data(), static_cast<std::uint32_t>(file.size()), buffer.data() + 4, &info);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), Bytes(4, 0xEE));
    EXPECT_EQ(Bytes(buffer.end() - 4, buffer.end()), Bytes(4, 0xEE));
}

TEST(Decode, RecordThatDoesNotDescribeTheBufferDecodesNothing)
{
    const Bytes file(64, 0);
    MMAG_INFO info{};
    info.rowBytes = 8;
    info.startY = 10;
    info.endY = 5;  // row count wraps
    info.height = 1;
    Bytes pixels(8, 0xEE);
    mag::decode(file.data(), 64, pixels.data(), &info);
    EXPECT_EQ(pixels, Bytes(8, 0xEE));
}

// Random flags and literals over many geometries: the decoder agrees with
// the model everywhere, the rows past 16 (its unchecked path) included.
TEST(Decode, AgreesWithTheModelOnRandomPictures)
{
    Random random(2026);
    // Half the rounds draw flags from a few common ones, so that runs of
    // equal flags (which the decoder moves at once) occur.
    const std::uint8_t common[] = {0x00, 0x44, 0x44, 0x66, 0xFF, 0x22, 0x33, 0x11, 0x1F, 0xCC};
    for (int round = 0; round < 400; ++round) {
        const std::uint32_t positions = 1 + random.below(round % 4 == 0 ? 40 : 12);
        const std::uint32_t rows = 1 + random.below(40);
        MagParts parts = picture(positions * 4, rows, random.below(2) == 1);
        std::vector<std::uint8_t> flags(std::size_t{positions} * rows);
        const bool runs = round % 2 == 1;
        for (auto& f : flags) {
            if (runs)
                f = random.below(8) == 0 ? common[random.below(sizeof common)] : (&f == flags.data() ? 0 : (&f)[-1]);
            else
                f = random.below(4) == 0 ? 0 : static_cast<std::uint8_t>(random.next());
        }
        // Sometimes too few literals, so that reads run off the end.
        const std::size_t literalBytes = positions * rows * 4 - random.below(2) * random.below(16);
        parts.areas = encodeFlags(flags, positions, random.bytes(literalBytes));
        const Decoded d = decodeParts(parts);
        ASSERT_EQ(d.pixels, modelOf(d)) << "round " << round;
    }
}
