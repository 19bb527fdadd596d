// The encoder: every picture comes back exactly through the converter, the
// file is laid out as readers expect, the copy codes follow the rules that
// make the file small, and what cannot be written is refused.

#include "mag/Mag.h"
#include "mag/MagEncode.h"
#include "support/CaseName.h"
#include "support/EncodeCases.h"
#include "support/MagBuilder.h"
#include "support/ReadBack.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace magtest;
using mag::EncodeStatus;
using mag::MagPicture;

namespace {

constexpr unsigned kCopyLeft[16] = {0, 2, 4, 8, 0, 2, 0, 2, 4, 0, 2, 4, 0, 2, 4, 0};
constexpr unsigned kCopyUp[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

Bytes encodeOk(const MagPicture& picture)
{
    Bytes file;
    const EncodeStatus status = mag::encode(picture, &file);
    EXPECT_EQ(status, EncodeStatus::Ok) << mag::describe(status);
    return file;
}

void expectRoundTrip(const MagPicture& picture, const Bytes& file)
{
    const ReadBack back = readBack(file);
    ASSERT_EQ(back.headerResult, mag::kHeaderOk);
    ASSERT_EQ(back.status, mag::Status::Ok) << mag::describe(back.status);
    EXPECT_TRUE(back.pixels == picture.pixels) << "pixels differ";
    EXPECT_EQ(back.palette, picture.palette);
    EXPECT_EQ(back.info.startX, picture.startX);
    EXPECT_EQ(back.info.endX, picture.endX);
    EXPECT_EQ(back.info.startY, picture.startY);
    EXPECT_EQ(back.info.endY, picture.endY);
    EXPECT_EQ(back.info.screenMode, (picture.colours256 ? 0x80 : 0) | (picture.lines200 ? 1 : 0));
    EXPECT_EQ(back.comment, picture.comment);
}

// The picture's rows as the decoder produces them: in 16 colours two
// pixels to a byte, the left one in the high nibble.
Bytes packedRows(const MagPicture& picture)
{
    if (picture.colours256)
        return picture.pixels;
    Bytes rows;
    for (std::size_t i = 0; i + 1 < picture.pixels.size(); i += 2)
        rows.push_back(static_cast<std::uint8_t>(picture.pixels[i] << 4 | picture.pixels[i + 1]));
    return rows;
}

// Reads the flag areas of an encoded file back, independently of the
// decoder, and checks each unit's copy code against the picture:
//  - a copy source lies inside the picture, never above it or wrapped
//    from the row above;
//  - a literal unit has no copy that matches;
//  - a unit keeps the code it had one row up whenever that code matches.
// Returns a description of the first broken rule, or "".
std::string brokenCodingRule(const MagPicture& picture, const Bytes& file)
{
    MMAG_INFO info;
    if (mag::getHeader(file.data(), static_cast<std::uint32_t>(file.size()), &info) != mag::kHeaderOk)
        return "header not accepted";
    const Bytes rows = packedRows(picture);
    const std::uint32_t rowBytes = info.rowBytes, positions = rowBytes / 4;
    const std::size_t flagA = std::size_t{info.headerOffset} + info.flagAOffset;
    std::size_t flagB = std::size_t{info.headerOffset} + info.flagBOffset;
    std::vector<std::uint8_t> above(positions, 0);
    std::size_t bit = 0;
    for (std::uint32_t r = 0; r < info.height; ++r) {
        for (std::uint32_t g = 0; g < positions; ++g, ++bit) {
            const std::uint8_t flag =
                (file[flagA + bit / 8] & (0x80 >> bit % 8)) ? static_cast<std::uint8_t>(above[g] ^ file[flagB++])
                                                            : above[g];
            for (unsigned half = 0; half < 2; ++half) {
                const std::uint32_t x = 4 * g + 2 * half;
                const std::size_t at = std::size_t{r} * rowBytes + x;
                const unsigned code = half == 0 ? flag >> 4 : flag & 15u;
                const unsigned codeAbove = half == 0 ? above[g] >> 4 : above[g] & 15u;
                std::uint32_t matches = 0;
                for (unsigned k = 1; k < 16; ++k) {
                    const std::size_t back = kCopyUp[k] * std::size_t{rowBytes} + kCopyLeft[k];
                    if (kCopyUp[k] <= r && kCopyLeft[k] <= x && rows[at] == rows[at - back] &&
                        rows[at + 1] == rows[at - back + 1])
                        matches |= 1u << k;
                }
                const std::string where = " at row " + std::to_string(r) + ", byte " + std::to_string(x);
                if (code != 0 && !(matches & (1u << code)))
                    return "code " + std::to_string(code) + " takes no matching source inside the picture" + where;
                if (code == 0 && matches != 0)
                    return "literal unit although a copy matches" + where;
                if (codeAbove != 0 && (matches & (1u << codeAbove)) && code != codeAbove)
                    return "code of the row above matches but was not kept" + where;
            }
            above[g] = flag;
        }
    }
    return "";
}

// Flag A holds the bit stream, padded only as far as the header reader's
// reserve of whole bytes per row needs; the file has no byte to spare.
void expectTightLayout(const Bytes& file)
{
    MMAG_INFO info;
    const auto len = static_cast<std::uint32_t>(file.size());
    ASSERT_EQ(mag::getHeader(file.data(), len, &info), mag::kHeaderOk);
    const std::uint32_t palette = mag::paletteBytes(info);
    EXPECT_EQ(info.flagAOffset, 32 + palette);
    const std::uint64_t bits = std::uint64_t{info.rowBytes} / 4 * info.height;
    const std::uint64_t reserve = (std::uint64_t{info.rowBytes} + 31) / 32 * info.height;
    const std::uint64_t flagA = std::max((bits + 7) / 8, reserve - std::min<std::uint64_t>(
                                                                         reserve, info.flagBSize + info.pixelSize));
    EXPECT_EQ(info.flagBOffset, info.flagAOffset + flagA);
    EXPECT_EQ(info.pixelOffset, info.flagBOffset + info.flagBSize);
    EXPECT_EQ(file.size(), std::uint64_t{info.headerOffset} + info.pixelOffset + info.pixelSize);
    EXPECT_EQ(mag::getHeader(file.data(), len - 1, &info), mag::kHeaderAreasPastEnd);
}

class EncodeTable : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTable, RoundTripsExactly)
{
    const MagPicture picture = GetParam().make();
    expectRoundTrip(picture, encodeOk(picture));
}

TEST_P(EncodeTable, FollowsTheCodingRules)
{
    const MagPicture picture = GetParam().make();
    EXPECT_EQ(brokenCodingRule(picture, encodeOk(picture)), "");
}

TEST_P(EncodeTable, LaysTheAreasOutWithoutSlack)
{
    expectTightLayout(encodeOk(GetParam().make()));
}

INSTANTIATE_TEST_SUITE_P(Encode, EncodeTable, testing::ValuesIn(encodeCases()), CaseName());

// Random pictures of random extent and position, with content ranging from
// noise to heavy repetition, seeded so that a failure can be replayed.
MagPicture randomCase(std::uint64_t seed)
{
    Random random(seed);
    const bool colours256 = random.below(2) == 1;
    const std::uint32_t unit = colours256 ? 4 : 8;
    const auto startX = static_cast<std::uint16_t>(random.below(60));
    const std::uint32_t alignedStart = startX / unit * unit;
    const std::uint32_t units = 1 + random.below(12);
    const std::uint32_t endX = std::max<std::uint32_t>(startX, alignedStart + units * unit - 1 - random.below(unit));
    const auto startY = static_cast<std::uint16_t>(random.below(1000));
    const auto endY = static_cast<std::uint16_t>(startY + random.below(40));
    MagPicture p = blankPicture(colours256, startX, startY, static_cast<std::uint16_t>(endX), endY);
    p.lines200 = random.below(2) == 1;
    const std::uint32_t width = widthOf(p);
    const unsigned kind = random.below(3);
    const unsigned colours = 2 + random.below(3);
    static const std::uint32_t kDistances[] = {1, 2, 4, 8, 16};
    for (std::size_t i = 0; i < p.pixels.size(); ++i) {
        unsigned v = random.next();
        if (kind == 1)
            v = random.below(colours);
        if (kind == 2 && random.below(4) != 0) {
            // Repeat an earlier pixel some rows up or some pixels left.
            const std::size_t back = random.below(2) == 0 ? kDistances[random.below(5)] * std::size_t{width}
                                                          : kDistances[random.below(4)];
            if (back <= i)
                v = p.pixels[i - back];
        }
        p.pixels[i] = static_cast<std::uint8_t>(v & (colours256 ? 255 : 15));
    }
    return p;
}

TEST(EncodeProperty, RandomPicturesRoundTripAndFollowTheRules)
{
    for (std::uint64_t seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const MagPicture picture = randomCase(seed);
        const Bytes file = encodeOk(picture);
        expectRoundTrip(picture, file);
        EXPECT_EQ(brokenCodingRule(picture, file), "");
        expectTightLayout(file);
        if (testing::Test::HasFailure())
            break;
    }
}

TEST(EncodeCompression, RowsRepeatingTheFirstCostOneFlagRow)
{
    // Row 0 of distinct units is all literal; row 1 copies from one row up
    // (one flag B byte per position); later rows only repeat the flags.
    for (const bool colours256 : {false, true}) {
        MagPicture p = blankPicture(colours256, 0, 0, 63, 99);
        const std::uint32_t perUnit = colours256 ? 2 : 4;
        paint(&p, [&](std::uint32_t x, std::uint32_t) { return x % perUnit == 0 ? x / perUnit : 0; });
        const ReadBack back = readBack(encodeOk(p));
        EXPECT_EQ(back.info.pixelSize, back.info.rowBytes);
        EXPECT_EQ(back.info.flagBSize, back.info.rowBytes / 4u);
    }
}

TEST(EncodeCompression, SixteenRowsUpIsUsedWhenNothingNearerMatches)
{
    const auto& cases = encodeCases();
    for (const char* name : {"sixteenRowsUp16", "sixteenRowsUp256"}) {
        const auto it = std::find_if(cases.begin(), cases.end(), [&](const EncodeCase& c) { return c.name == name; });
        ASSERT_NE(it, cases.end());
        const ReadBack back = readBack(encodeOk(it->make()));
        EXPECT_EQ(back.info.pixelSize, 16u * back.info.rowBytes) << name;
        EXPECT_EQ(back.info.flagBSize, back.info.rowBytes / 4u) << name;
    }
}

TEST(EncodeLayout, NamesAndCommentStandWhereReadersLookForThem)
{
    MagPicture p = blankPicture(false, 0, 0, 7, 0);
    p.machineName = "PC";
    p.userName = "someone";
    p.comment = "hello";
    const Bytes file = encodeOk(p);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 31), "MAKI02  PC  someone            ");
    EXPECT_EQ(std::string(file.begin() + 31, file.begin() + 37), "hello\x1A");
    const ReadBack back = readBack(file);
    EXPECT_STREQ(back.info.machineName, "PC  ");
    EXPECT_STREQ(back.info.userName, "someone            ");
    EXPECT_EQ(back.info.headTop, 0);
}

TEST(EncodeLayout, ScreenModeCarriesColoursAndLines)
{
    for (const bool colours256 : {false, true}) {
        for (const bool lines200 : {false, true}) {
            MagPicture p = blankPicture(colours256, 0, 0, 15, 3);
            p.lines200 = lines200;
            EXPECT_EQ(readBack(encodeOk(p)).info.screenMode, (colours256 ? 0x80 : 0) | (lines200 ? 1 : 0));
        }
    }
}

TEST(EncodeLayout, AlignedWidthFollowsTheHeaderReader)
{
    EXPECT_EQ(mag::alignedWidth(false, 3, 70), 72u);
    EXPECT_EQ(mag::alignedWidth(true, 3, 70), 72u);
    EXPECT_EQ(mag::alignedWidth(true, 5, 6), 4u);
    EXPECT_EQ(mag::alignedWidth(false, 0, 0xFFFF), 65536u);
    EXPECT_EQ(mag::alignedWidth(true, 0, 65531), 65532u);
    EXPECT_EQ(mag::alignedWidth(true, 0, 0xFFFF), 0u) << "rowBytes would not fit";
    EXPECT_EQ(mag::alignedWidth(false, 20, 3), 0u);
}

struct Refusal {
    const char* name;
    void (*spoil)(MagPicture*);
    EncodeStatus expected;
};

class EncodeRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(EncodeRefusals, ClearReasonAndNoOutput)
{
    MagPicture p = blankPicture(false, 0, 0, 15, 3);
    GetParam().spoil(&p);
    Bytes file{1, 2, 3};
    const EncodeStatus status = mag::encode(p, &file);
    EXPECT_EQ(status, GetParam().expected) << mag::describe(status);
    EXPECT_TRUE(file.empty());
    EXPECT_STRNE(mag::describe(status), "unknown failure");
}

void resizePixels(MagPicture* p)
{
    p->pixels.assign(std::size_t{widthOf(*p)} * (std::uint32_t{p->endY} - p->startY + 1), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Encode, EncodeRefusals,
    testing::Values(
        Refusal{"paletteTooShort", [](MagPicture* p) { p->palette.pop_back(); }, EncodeStatus::PaletteSize},
        Refusal{"palette256In16Colours", [](MagPicture* p) { p->palette.resize(256); }, EncodeStatus::PaletteSize},
        Refusal{"palette16In256Colours",
                [](MagPicture* p) {
                    p->colours256 = true;
                    resizePixels(p);
                },
                EncodeStatus::PaletteSize},
        Refusal{"endXBeforeStartX",
                [](MagPicture* p) {
                    p->startX = 20;
                    p->endX = 3;
                },
                EncodeStatus::EdgesReversed},
        Refusal{"endXBeforeStartXWithinOneUnit",
                [](MagPicture* p) {
                    p->startX = 13;
                    p->endX = 10;
                    resizePixels(p);
                },
                EncodeStatus::EdgesReversed},
        Refusal{"endYBeforeStartY",
                [](MagPicture* p) {
                    p->startY = 5;
                    p->endY = 4;
                },
                EncodeStatus::EdgesReversed},
        Refusal{"row65536PixelsWideIn256Colours",
                [](MagPicture* p) {
                    *p = blankPicture(true, 0, 0, 3, 0);
                    p->endX = 0xFFFF;
                },
                EncodeStatus::TooLarge},
        Refusal{"span65536Rows", [](MagPicture* p) { p->endY = 0xFFFF; }, EncodeStatus::TooLarge},
        Refusal{"onePixelShort", [](MagPicture* p) { p->pixels.pop_back(); }, EncodeStatus::PictureSize},
        Refusal{"onePixelOver", [](MagPicture* p) { p->pixels.push_back(0); }, EncodeStatus::PictureSize},
        Refusal{"unalignedWidth",
                [](MagPicture* p) {
                    p->startX = 3;
                    p->endX = 17;
                    p->pixels.assign(15 * 4, 0);
                },
                EncodeStatus::PictureSize},
        Refusal{"index16In16Colours", [](MagPicture* p) { p->pixels[5] = 16; }, EncodeStatus::IndexBeyondPalette},
        Refusal{"machineNameTooLong", [](MagPicture* p) { p->machineName = "PC-98"; },
                EncodeStatus::MachineNameTooLong},
        Refusal{"userNameTooLong", [](MagPicture* p) { p->userName = std::string(20, 'u'); },
                EncodeStatus::UserNameTooLong},
        Refusal{"endMarkInMachineName", [](MagPicture* p) { p->machineName = "A\x1A"; }, EncodeStatus::NameHasEndMark},
        Refusal{"endMarkInUserName", [](MagPicture* p) { p->userName = "me\x1A"; }, EncodeStatus::NameHasEndMark},
        Refusal{"endMarkInComment", [](MagPicture* p) { p->comment = "one\x1Atwo"; },
                EncodeStatus::CommentHasEndMark}),
    CaseName());

}  // namespace
