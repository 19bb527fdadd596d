// Writing MAG from PNG and BMP files: the picture and its texts arrive in
// the file, the output reads back as the same picture, and every refusal
// names its reason and leaves no file behind.

#include "MagWriter.h"
#include "ShiftJisText.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadBack.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace magtest;
using lunidor::MagWriteOptions;
using lunidor::MagWriteResult;
using lunidor::MagWriteStatus;
using lunidor::TextStatus;
using mag::Colour;

namespace {

struct TextCase {
    const char* name;
    std::string utf8;
    TextStatus status;
    std::string shiftJis;  // or the character at fault
};

class ShiftJis : public testing::TestWithParam<TextCase> {};

TEST_P(ShiftJis, ConvertsOrNamesTheCharacterAtFault)
{
    std::string out, offending;
    const TextStatus status = lunidor::toShiftJis(GetParam().utf8, &out, &offending);
    EXPECT_EQ(status, GetParam().status) << lunidor::describe(status);
    EXPECT_EQ(status == TextStatus::Ok ? out : offending, GetParam().shiftJis);
}

INSTANTIATE_TEST_SUITE_P(
    MagWriter, ShiftJis,
    testing::Values(TextCase{"empty", "", TextStatus::Ok, ""},
                    TextCase{"ascii", "Lunidor 1.0\r\n", TextStatus::Ok, "Lunidor 1.0\r\n"},
                    TextCase{"kanji", "\xE5\xB1\xB1\xE7\x94\xB0", TextStatus::Ok, "\x8E\x52\x93\x63"},
                    TextCase{"halfWidthKatakana", "\xEF\xBD\xB1", TextStatus::Ok, "\xB1"},
                    TextCase{"fullWidthTilde", "\xEF\xBD\x9E", TextStatus::Ok, "\x81\x60"},
                    TextCase{"necSpecialCircledOne", "\xE2\x91\xA0", TextStatus::Ok, "\x87\x40"},
                    TextCase{"emoji", "ok \xF0\x9F\x98\x80", TextStatus::NoShiftJis, "U+1F600"},
                    TextCase{"latinAccent", "caf\xC3\xA9", TextStatus::NoShiftJis, "U+00E9"},
                    TextCase{"strayByte", "a\xFF", TextStatus::NotUtf8, "0xFF"},
                    TextCase{"cutSequence", "x\xE5\xB1", TextStatus::NotUtf8, "0xE5"}),
    CaseName());

// A picture file and what it should become.
struct Fixture {
    TempDir dir;
    std::string input;
    std::string output;
    explicit Fixture(const Bytes& picture, const char* name = "in.png")
        : input(dir.write(name, picture)), output(dir.path("out.mag"))
    {
    }
    std::vector<std::string> entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path("")))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

PngSpec palettePng(std::uint32_t width, std::uint32_t height, unsigned colours)
{
    PngSpec s;
    s.colourType = 3;
    s.width = width;
    s.height = height;
    for (unsigned i = 0; i < colours; ++i)
        s.palette.push_back({static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i), 200});
    for (std::uint32_t i = 0; i < width * height; ++i)
        s.samples.push_back(static_cast<std::uint16_t>((i / 3 + i / width) % colours));
    return s;
}

// Expected indices after widening each row to `aligned` with index 0.
std::vector<std::uint8_t> padded(const PngSpec& s, std::uint32_t aligned)
{
    std::vector<std::uint8_t> out;
    for (std::uint32_t y = 0; y < s.height; ++y) {
        for (std::uint32_t x = 0; x < aligned; ++x)
            out.push_back(x < s.width ? static_cast<std::uint8_t>(s.samples[y * s.width + x]) : 0);
    }
    return out;
}

struct ModeCase {
    const char* name;
    std::uint32_t width;
    unsigned colours;
    bool colours256;
    std::uint32_t aligned;
};

class WritesPngAsMag : public testing::TestWithParam<ModeCase> {};

TEST_P(WritesPngAsMag, InTheModeItsPaletteNeeds)
{
    const ModeCase& c = GetParam();
    const PngSpec layout = palettePng(c.width, 7, c.colours);
    Fixture f(writePng(layout));
    const MagWriteResult result = lunidor::writeMagFile(f.input, f.output, {});
    ASSERT_TRUE(result.ok()) << lunidor::describe(result);

    const ReadBack back = readBack(readFile(f.output));
    ASSERT_EQ(back.status, mag::Status::Ok);
    EXPECT_EQ(mag::is256Colour(back.info), c.colours256);
    EXPECT_EQ(back.info.endX, c.width - 1) << "endX keeps the picture's own width";
    EXPECT_EQ(back.info.endY, 6);
    EXPECT_EQ(back.pixels, padded(layout, c.aligned));
    std::vector<Colour> palette = layout.palette;
    palette.resize(c.colours256 ? 256 : 16, Colour{});
    EXPECT_EQ(back.palette, palette);
}

INSTANTIATE_TEST_SUITE_P(MagWriter, WritesPngAsMag,
                         testing::Values(ModeCase{"twoColoursIn16", 16, 2, false, 16},
                                         ModeCase{"sixteenColoursIn16", 24, 16, false, 24},
                                         ModeCase{"seventeenColoursIn256", 20, 17, true, 20},
                                         ModeCase{"oddWidth16", 13, 5, false, 16},
                                         ModeCase{"oddWidth256", 13, 100, true, 16}),
                         CaseName());

TEST(MagWriter, TextsAndLinesArriveInTheFile)
{
    Fixture f(writePng(palettePng(8, 2, 4)));
    MagWriteOptions options;
    options.userName = "\xE5\xB1\xB1\xE7\x94\xB0";          // 山田
    options.comment = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88";  // テスト
    options.lines200 = true;
    ASSERT_TRUE(lunidor::writeMagFile(f.input, f.output, options).ok());
    const Bytes file = readFile(f.output);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 31), "MAKI02  PC98\x8E\x52\x93\x63               ");
    const ReadBack back = readBack(file);
    EXPECT_EQ(back.comment, "\x83\x65\x83\x58\x83\x67");
    EXPECT_EQ(back.info.screenMode, 0x01);
}

TEST(MagWriter, ReadsBmpToo)
{
    BmpSpec s;
    s.bitCount = 4;
    s.width = 8;
    s.height = 2;
    s.palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    s.colourCount = 3;
    s.indices = {0, 1, 2, 0, 1, 2, 0, 1, 2, 2, 1, 1, 0, 0, 0, 2};
    Fixture f(writeBmp(s), "in.bmp");
    ASSERT_TRUE(lunidor::writeMagFile(f.input, f.output, {}).ok());
    const ReadBack back = readBack(readFile(f.output));
    EXPECT_EQ(back.pixels, s.indices);
    EXPECT_EQ(std::vector<Colour>(back.palette.begin(), back.palette.begin() + 3), s.palette);
}

struct WriteFailure {
    const char* name;
    Bytes (*picture)();  // null: the input does not exist
    MagWriteOptions options;
    MagWriteStatus status;
    std::string message;
};

class WriteFailures : public testing::TestWithParam<WriteFailure> {};

TEST_P(WriteFailures, NameTheReasonAndKeepTheOutputAsItWas)
{
    const WriteFailure& c = GetParam();
    TempDir dir;
    const std::string input = c.picture ? dir.write("in.png", c.picture()) : dir.path("missing.png");
    const std::string output = dir.write("out.mag", Bytes{1, 2, 3});
    const MagWriteResult result = lunidor::writeMagFile(input, output, c.options);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(lunidor::describe(result), c.message);
    EXPECT_EQ(readFile(output), (Bytes{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")), {}), c.picture ? 2 : 1)
        << "no temporary file left behind";
}

MagWriteOptions withUser(std::string user)
{
    MagWriteOptions o;
    o.userName = std::move(user);
    return o;
}

MagWriteOptions withComment(std::string comment)
{
    MagWriteOptions o;
    o.comment = std::move(comment);
    return o;
}

Bytes smallPng() { return writePng(palettePng(8, 2, 4)); }

INSTANTIATE_TEST_SUITE_P(
    MagWriter, WriteFailures,
    testing::Values(
        WriteFailure{"missingInput", nullptr, {}, MagWriteStatus::BadPicture, "cannot open"},
        WriteFailure{"notAPicture", [] { return Bytes{'G', 'I', 'F', '8', '9', 'a'}; }, {}, MagWriteStatus::BadPicture,
                     "not a PNG or BMP picture"},
        WriteFailure{"tooManyColours",
                     [] {
                         PngSpec s;
                         s.width = 300;
                         for (std::uint16_t i = 0; i < 300; ++i)
                             s.samples.insert(s.samples.end(), {static_cast<std::uint16_t>(i & 255),
                                                                static_cast<std::uint16_t>(i >> 8), 0});
                         return writePng(s);
                     },
                     {}, MagWriteStatus::BadPicture, "more than 256 colours (reduce the colours first)"},
        WriteFailure{"userNameWithoutShiftJis", smallPng, withUser("\xF0\x9F\x98\x80"), MagWriteStatus::BadUserName,
                     "user name: character has no Shift-JIS code (U+1F600)"},
        WriteFailure{"commentNotUtf8", smallPng, withComment("\xC3"), MagWriteStatus::BadComment,
                     "comment: text is not valid UTF-8 (0xC3)"},
        WriteFailure{"userNameTooLongInShiftJis", smallPng, withUser("\xE5\xB1\xB1\xE7\x94\xB0 0123456789abcdef"),
                     MagWriteStatus::CannotEncode, "user name longer than 19 bytes"},
        WriteFailure{"commentWithEndMark", smallPng, withComment("a\x1A"), MagWriteStatus::CannotEncode,
                     "comment contains the byte 0x1A"}),
    CaseName());

TEST(MagWriter, UnwritableOutputLeavesNothing)
{
    Fixture f(smallPng());
    const MagWriteResult result = lunidor::writeMagFile(f.input, f.dir.path("no-such-dir/out.mag"), {});
    EXPECT_EQ(result.status, MagWriteStatus::CannotWrite);
    EXPECT_EQ(lunidor::describe(result), "cannot write the output");
    EXPECT_EQ(f.entries(), std::vector<std::string>{"in.png"});
}

TEST(MagWriter, PicturesMagCannotPlaceAreRefused)
{
    std::vector<std::uint8_t> file;
    lunidor::IndexedPicture empty;
    empty.palette = {Colour{}};
    EXPECT_EQ(lunidor::encodePicture(empty, {}, &file).encode, mag::EncodeStatus::PictureSize);

    lunidor::IndexedPicture wide;
    wide.width = 65533;  // 256 colours: the aligned row would be 65536 pixels
    wide.height = 1;
    wide.pixels.assign(wide.width, 0);
    wide.palette.assign(17, Colour{});
    EXPECT_EQ(lunidor::encodePicture(wide, {}, &file).encode, mag::EncodeStatus::TooLarge);
}

}  // namespace
