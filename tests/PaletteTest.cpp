// The palette reader: green-red-blue entries into blue-green-red-0, its
// bound, and the comment.

#include "mag/Mag.h"
#include "support/MagBuilder.h"

#include <gtest/gtest.h>

using namespace magtest;

namespace {

struct Loaded {
    Bytes file;
    MMAG_INFO info;
};

Loaded load(const MagParts& parts)
{
    Loaded l{buildMag(parts), {}};
    EXPECT_EQ(mag::getHeader(l.file.data(), static_cast<std::uint32_t>(l.file.size()), &l.info), mag::kHeaderOk);
    return l;
}

MagParts withMode(std::uint8_t screenMode)
{
    MagParts parts;
    parts.screenMode = screenMode;
    parts.endX = 7;
    parts.endY = 0;
    parts.areas = literalOnly(Bytes(screenMode >= 0x80 ? 8 : 4, 0), screenMode >= 0x80 ? 8 : 4);
    return parts;
}

}  // namespace

class PaletteBound : public testing::TestWithParam<std::uint8_t> {};

TEST_P(PaletteBound, EndsExactlyAfterTheEntries)
{
    const Loaded l = load(withMode(GetParam()));
    const std::uint32_t end = l.info.headerOffset + 32 + mag::paletteBytes(l.info);
    Bytes table(1024, 0xEE);
    EXPECT_EQ(mag::getPalette(l.file.data(), table.data(), nullptr, end - 1, &l.info), 1);
    EXPECT_EQ(table, Bytes(1024, 0xEE)) << "a refused palette writes nothing";
    EXPECT_EQ(mag::getPalette(l.file.data(), table.data(), nullptr, end, &l.info), 0);
    // Exactly the table is written; the byte after it stays.
    const std::uint32_t tableBytes = mag::colourTableBytes(l.info);
    if (tableBytes < table.size()) {
        EXPECT_EQ(table[tableBytes], 0xEE);
    }
    const Bytes mag = testPalette(GetParam() >= 0x80);
    for (std::uint32_t i = 0; i < tableBytes / 4; ++i) {
        ASSERT_EQ(table[4 * i], mag[3 * i + 2]) << "blue of " << i;
        ASSERT_EQ(table[4 * i + 1], mag[3 * i]) << "green of " << i;
        ASSERT_EQ(table[4 * i + 2], mag[3 * i + 1]) << "red of " << i;
        ASSERT_EQ(table[4 * i + 3], 0) << "reserved of " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Palette, PaletteBound, testing::Values(0x00, 0x81));

TEST(Palette, EntryIsReorderedNotScaled)
{
    MagParts parts = withMode(0);
    parts.palette = testPalette(false);
    parts.palette[0] = 0x00;
    parts.palette[1] = 0x01;
    parts.palette[2] = 0x02;
    const Loaded l = load(parts);
    Bytes table(64);
    ASSERT_EQ(mag::getPalette(l.file.data(), table.data(), nullptr, static_cast<std::uint32_t>(l.file.size()), &l.info), 0);
    EXPECT_EQ(Bytes(table.begin(), table.begin() + 4), (Bytes{0x02, 0x00, 0x01, 0x00}));
}

TEST(Palette, CommentIsCopiedEvenWithoutRoomForThePalette)
{
    MagParts parts = withMode(0);
    parts.comment = "\x93\xfa\x96\x7b comment";  // Shift-JIS bytes kept raw
    const Loaded l = load(parts);
    char comment[64];
    EXPECT_EQ(mag::getPalette(l.file.data(), nullptr, comment, l.info.headerOffset + 10, &l.info), 0);
    EXPECT_EQ(std::string(comment), parts.comment);
}

TEST(Palette, CommentEndAtOffset31GivesEmptyComment)
{
    const Loaded l = load(withMode(0));
    ASSERT_EQ(l.info.headerOffset, 32u);
    char comment[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(mag::getPalette(l.file.data(), nullptr, comment, static_cast<std::uint32_t>(l.file.size()), &l.info), 0);
    EXPECT_EQ(comment[0], '\0');
    EXPECT_EQ(comment[1], 'x');
}

TEST(Palette, CommentEndInsideTheNamesGivesEmptyComment)
{
    MMAG_INFO info{};
    info.headerOffset = 20;  // the 0x1A at offset 19, inside the user name
    const Bytes file(100, 0x41);
    char comment[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(mag::getPalette(file.data(), nullptr, comment, 100, &info), 0);
    EXPECT_EQ(comment[0], '\0');
    EXPECT_EQ(comment[1], 'x');
}
