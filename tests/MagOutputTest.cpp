// lunidor-convert writing MAG: PNG and BMP pictures, indexed or true
// colour, come back out of the MAG file pixel for pixel with their palette;
// the texts arrive in Shift-JIS; every refusal is one clear line and leaves
// no file behind.

#include "PictureInput.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"
#include "support/PictureFiles.h"
#include "support/ReadBack.h"
#include "support/RunTool.h"
#include "support/ToolPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace magtest;
using mag::Colour;
namespace fs = std::filesystem;

namespace {

ToolResult convert(const std::vector<std::string>& args, const std::string& input = {})
{
    return runProgram(LUNIDOR_CONVERT, args, input);
}

// "@x" stands for the file x in the test's directory.
std::vector<std::string> inDirectory(const TempDir& dir, std::vector<std::string> args)
{
    for (std::string& a : args) {
        if (a.starts_with('@'))
            a = dir.path(a.substr(1));
    }
    return args;
}

std::string text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A picture as indices into its palette, top row first.
struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<Colour> palette;

    Colour at(std::size_t i) const { return palette[indices[i]]; }
};

// Colours that all differ, and a pattern that uses every one of them when
// the picture has room, not in the palette's order.
Picture pattern(std::uint32_t width, std::uint32_t height, unsigned colours)
{
    Picture p;
    p.width = width;
    p.height = height;
    for (unsigned i = 0; i < colours; ++i)
        p.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i * 7)});
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x)
            p.indices.push_back(static_cast<std::uint8_t>((x * 7 + y * width + colours / 2) % colours));
    }
    return p;
}

// A true-colour picture's palette holds its colours in order of first
// appearance, reading row by row.
Picture inOrderOfAppearance(const Picture& p)
{
    Picture out;
    out.width = p.width;
    out.height = p.height;
    for (std::size_t i = 0; i < p.indices.size(); ++i) {
        auto found = std::find(out.palette.begin(), out.palette.end(), p.at(i));
        if (found == out.palette.end())
            found = out.palette.insert(out.palette.end(), p.at(i));
        out.indices.push_back(static_cast<std::uint8_t>(found - out.palette.begin()));
    }
    return out;
}

Bytes indexedPng(const Picture& p, int bitDepth)
{
    PngSpec s;
    s.colourType = 3;
    s.bitDepth = bitDepth;
    s.width = p.width;
    s.height = p.height;
    s.palette = p.palette;
    s.samples.assign(p.indices.begin(), p.indices.end());
    return writePng(s);
}

Bytes rgbPng(const Picture& p)
{
    PngSpec s;
    s.colourType = 2;
    s.width = p.width;
    s.height = p.height;
    for (std::size_t i = 0; i < p.indices.size(); ++i)
        s.samples.insert(s.samples.end(), {p.at(i).red, p.at(i).green, p.at(i).blue});
    return writePng(s);
}

Bytes indexedBmp(const Picture& p, std::uint16_t bits)
{
    BmpSpec s;
    s.bitCount = bits;
    s.width = static_cast<std::int32_t>(p.width);
    s.height = static_cast<std::int32_t>(p.height);
    s.palette = p.palette;
    s.colourCount = static_cast<std::uint32_t>(p.palette.size());
    s.indices = p.indices;
    return writeBmp(s);
}

Bytes rgbBmp(const Picture& p)
{
    BmpSpec s;
    s.bitCount = 24;
    s.width = static_cast<std::int32_t>(p.width);
    s.height = static_cast<std::int32_t>(p.height);
    for (std::size_t i = 0; i < p.indices.size(); ++i)
        s.colours.push_back(p.at(i));
    return writeBmp(s);
}

Bytes png4(const Picture& p) { return indexedPng(p, 4); }
Bytes png8(const Picture& p) { return indexedPng(p, 8); }
Bytes bmp4(const Picture& p) { return indexedBmp(p, 4); }
Bytes bmp8(const Picture& p) { return indexedBmp(p, 8); }

// The picture as a MAG file holds it: rows widened to the pixel unit (8
// pixels in 16 colours, 4 in 256) with index 0, the palette filled up to
// 16 or 256 entries with black.
Picture asStored(Picture p, bool colours256)
{
    const std::uint32_t unit = colours256 ? 4 : 8;
    const std::uint32_t aligned = (p.width + unit - 1) / unit * unit;
    std::vector<std::uint8_t> rows;
    for (std::uint32_t y = 0; y < p.height; ++y) {
        for (std::uint32_t x = 0; x < aligned; ++x)
            rows.push_back(x < p.width ? p.indices[std::size_t{y} * p.width + x] : 0);
    }
    p.width = aligned;
    p.indices = std::move(rows);
    p.palette.resize(colours256 ? 256 : 16, Colour{});
    return p;
}

Picture smallPicture() { return pattern(16, 3, 5); }

// A true-colour picture of one colour more than MAG can hold.
Bytes tooManyColours()
{
    PngSpec s;
    s.width = 257;
    for (std::uint16_t i = 0; i < 257; ++i)
        s.samples.insert(s.samples.end(), {static_cast<std::uint16_t>(i & 255), static_cast<std::uint16_t>(i >> 8), 9});
    return writePng(s);
}

struct InputCase {
    const char* name;
    const char* fileName;
    std::uint32_t width;
    std::uint32_t height;
    unsigned colours;
    Bytes (*write)(const Picture&);
    bool trueColour;  // the file holds colours: the palette comes from their order
    bool colours256;
};

class WritesMag : public testing::TestWithParam<InputCase> {};

TEST_P(WritesMag, ThatComesBackAsThePictureAndItsPalette)
{
    const InputCase& c = GetParam();
    const Picture source = pattern(c.width, c.height, c.colours);
    TempDir dir;
    const std::string in = dir.write(c.fileName, c.write(source));
    const ToolResult run = convert({in, "-o", dir.path("out.mag")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const ReadBack back = readBack(readFile(dir.path("out.mag")));
    ASSERT_EQ(back.status, mag::Status::Ok);
    EXPECT_EQ(back.info.screenMode, c.colours256 ? 0x80 : 0x00) << "256 colours only when needed, never 200-line";
    EXPECT_EQ(back.info.endX, c.width - 1) << "the picture's own width";
    EXPECT_EQ(back.info.endY, c.height - 1);

    // Back to BMP through the tool, read by a reader of our own that knows
    // nothing about MAG.
    const ToolResult toBmp = convert({dir.path("out.mag"), "-o", dir.path("back.bmp")});
    ASSERT_EQ(toBmp.status, 0) << toBmp.err;
    lunidor::IndexedPicture bmp;
    ASSERT_EQ(lunidor::readPicture(dir.path("back.bmp"), &bmp), lunidor::PictureStatus::Ok);
    const Picture expected = asStored(c.trueColour ? inOrderOfAppearance(source) : source, c.colours256);
    EXPECT_EQ(bmp.width, expected.width);
    EXPECT_EQ(bmp.height, expected.height);
    EXPECT_EQ(bmp.pixels, expected.indices);
    EXPECT_EQ(bmp.palette, expected.palette);
}

INSTANTIATE_TEST_SUITE_P(
    MagOutput, WritesMag,
    testing::Values(InputCase{"png_4_bit_5_colours_odd_width", "in.png", 21, 5, 5, png4, false, false},
                    InputCase{"png_8_bit_16_colours", "in.png", 32, 6, 16, png8, false, false},
                    InputCase{"png_8_bit_17_colours", "in.png", 20, 6, 17, png8, false, true},
                    InputCase{"png_8_bit_200_colours_odd_width", "in.png", 37, 9, 200, png8, false, true},
                    InputCase{"bmp_4_bit", "in.bmp", 16, 4, 11, bmp4, false, false},
                    InputCase{"bmp_8_bit", "in.bmp", 24, 12, 256, bmp8, false, true},
                    InputCase{"png_true_colour_12_colours", "in.png", 19, 7, 12, rgbPng, true, false},
                    InputCase{"png_true_colour_256_colours", "in.png", 64, 8, 256, rgbPng, true, true},
                    InputCase{"bmp_true_colour_40_colours", "in.bmp", 30, 5, 40, rgbBmp, true, true}),
    CaseName());

// 山田太郎 and 春の海, in UTF-8 on the command line and in code page 932 in
// the file.
const std::string kUserUtf8 = "\xE5\xB1\xB1\xE7\x94\xB0\xE5\xA4\xAA\xE9\x83\x8E";
const std::string kUserShiftJis = "\x8E\x52\x93\x63\x91\xBE\x98\x59";
const std::string kCommentUtf8 = "\xE6\x98\xA5\xE3\x81\xAE\xE6\xB5\xB7";
const std::string kCommentShiftJis = "\x8F\x74\x82\xCC\x8A\x43";

TEST(MagOutput, TextsArriveInShiftJisAndInfoShowsThemBack)
{
    TempDir dir;
    const Picture source = smallPicture();
    const std::string in = dir.write("in.png", png8(source));
    const std::string out = dir.path("out.mag");
    const ToolResult run = convert({"--user", kUserUtf8, "--comment=" + kCommentUtf8, "--200-line", in, "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;

    const Bytes file = readFile(out);
    ASSERT_GT(file.size(), 32u + kCommentShiftJis.size());
    EXPECT_EQ(text(Bytes(file.begin(), file.begin() + 31)),
              "MAKI02  PC98" + kUserShiftJis + std::string(19 - kUserShiftJis.size(), ' '));
    EXPECT_EQ(text(Bytes(file.begin() + 31, file.begin() + 31 + std::ssize(kCommentShiftJis) + 1)),
              kCommentShiftJis + "\x1A");
    const ReadBack back = readBack(file);
    ASSERT_EQ(back.status, mag::Status::Ok);
    EXPECT_EQ(back.info.screenMode, 0x01) << "200-line mode is bit 0";
    EXPECT_EQ(back.pixels, asStored(source, false).indices);

    const ToolResult info = convert({"--info", out});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, out + "\n"
                              "  colours:  16\n"
                              "  200-line: yes\n"
                              "  position: 0,0\n"
                              "  size:     16x3\n"
                              "  machine:  PC98\n"
                              "  user:     " + kUserUtf8 + "\n"
                              "  comment:  " + kCommentUtf8 + "\n");
    const ToolResult json = convert({"--json", out});
    EXPECT_NE(json.out.find("\"user\":\"" + kUserUtf8 + "\",\"comment\":\"" + kCommentUtf8 + "\"}"),
              std::string::npos)
        << json.out;
}

// The limit counts the bytes of the file, not those of the UTF-8 given.
TEST(MagOutput, UserNameOfNineteenShiftJisBytesFits)
{
    TempDir dir;
    const std::string in = dir.write("in.png", png8(smallPicture()));
    const std::string user = kUserUtf8 + kUserUtf8 + "abc";  // 27 bytes of UTF-8
    const ToolResult run = convert({"--user", user, in, "-o", dir.path("out.mag")});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes file = readFile(dir.path("out.mag"));
    EXPECT_EQ(text(Bytes(file.begin() + 12, file.begin() + 31)), kUserShiftJis + kUserShiftJis + "abc");
}

struct ProblemCase {
    const char* name;
    std::vector<std::string> args;  // "@x" stands for x in the test's directory
    std::string problem;
};

// Texts are checked once, before any file is read: each problem is wrong
// usage, exit status 2, and no output is made.
class TextProblems : public testing::TestWithParam<ProblemCase> {};

TEST_P(TextProblems, AreReportedOnceAndNothingIsWritten)
{
    TempDir dir;
    dir.write("a.png", png8(smallPicture()));
    dir.write("b.png", png8(smallPicture()));
    std::vector<std::string> args = inDirectory(dir, GetParam().args);
    args.insert(args.end(), {dir.path("a.png"), dir.path("b.png"), "-o", dir.path("out/")});
    const ToolResult run = convert(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("lunidor-convert: " + GetParam().problem + "\nusage: ")) << run.err;
    EXPECT_EQ(filesIn(dir.path("")), (std::vector<std::string>{"a.png", "b.png"}));
}

INSTANTIATE_TEST_SUITE_P(
    MagOutput, TextProblems,
    testing::Values(
        ProblemCase{"emoji_in_comment", {"--format", "mag", "--comment", "\xE6\xB5\xB7\xF0\x9F\x98\x80"},
                    "comment: character has no Shift-JIS code (U+1F600)"},
        ProblemCase{"emoji_in_user", {"--format", "mag", "--user", "\xF0\x9F\x98\x80"},
                    "user name: character has no Shift-JIS code (U+1F600)"},
        ProblemCase{"accent_in_user", {"--format", "mag", "--user=caf\xC3\xA9"},
                    "user name: character has no Shift-JIS code (U+00E9)"},
        ProblemCase{"comment_not_utf8", {"--format", "mag", "--comment", "a\xFF"},
                    "comment: text is not valid UTF-8 (0xFF)"},
        ProblemCase{"user_too_long_in_shift_jis",
                    {"--format", "mag", "--user", kUserUtf8 + kUserUtf8 + "abcd"},  // 20 bytes in Shift-JIS
                    "user name longer than 19 bytes"},
        ProblemCase{"comment_with_end_mark", {"--format", "mag", "--comment", "a\x1A" "b"},
                    "comment contains the byte 0x1A"}),
    CaseName());

// Usage errors of the MAG options, before any file is read.
class MagUsage : public testing::TestWithParam<ProblemCase> {};

TEST_P(MagUsage, SaysWhatIsWrongAndDoesNothing)
{
    TempDir dir;
    dir.write("a.png", png8(smallPicture()));
    dir.write("a.mag", buildMag(randomPicture(0x00, 0, 15, 2, 1)));
    const ToolResult run = convert(inDirectory(dir, GetParam().args));
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("lunidor-convert: " + GetParam().problem)) << run.err;
    EXPECT_NE(run.err.find("\nusage: lunidor-convert"), std::string::npos);
    EXPECT_EQ(filesIn(dir.path("")), (std::vector<std::string>{"a.mag", "a.png"}));
}

const std::string kMagOnly = "--user, --comment and --200-line apply only to MAG output";

INSTANTIATE_TEST_SUITE_P(
    MagOutput, MagUsage,
    testing::Values(
        ProblemCase{"user_with_png_output", {"--user", "x", "@a.mag", "-o", "@x.png"}, kMagOnly},
        ProblemCase{"comment_with_bmp_output", {"--comment", "x", "@a.mag", "-o", "@x.bmp"}, kMagOnly},
        ProblemCase{"lines_200_with_format_bmp", {"--200-line", "--format", "bmp", "@a.mag"}, kMagOnly},
        ProblemCase{"lines_200_into_a_png_directory", {"--200-line", "@a.png", "-o", "@d/"}, kMagOnly},
        ProblemCase{"user_with_thumbnail", {"--thumbnail", "64", "--user", "x", "@a.mag", "@t.png"}, kMagOnly},
        ProblemCase{"comment_with_info", {"--info", "--comment", "x", "@a.mag"}, "--info writes no files"},
        ProblemCase{"stretch_with_mag", {"--stretch", "@a.png", "-o", "@x.mag"}, "--stretch applies only to PNG"},
        ProblemCase{"user_twice", {"--user", "x", "--user", "y", "@a.png", "-o", "@x.mag"}, "--user is given twice"},
        ProblemCase{"comment_twice", {"--comment=x", "--comment=", "@a.png", "-o", "@x.mag"},
                    "--comment is given twice"},
        ProblemCase{"comment_without_value", {"@a.png", "-o", "@x.mag", "--comment"}, "--comment needs a value"},
        ProblemCase{"lines_200_with_value", {"--200-line=yes", "@a.png", "-o", "@x.mag"},
                    "unknown option --200-line=yes"},
        ProblemCase{"mag_to_stdout_without_format", {"@a.png", "-o", "-"},
                    "writing to standard output needs --format png|bmp|mag"}),
    CaseName());

// Inputs that cannot become the output asked for: one line each, exit
// status 1, no file.
struct RefusedCase {
    const char* name;
    const char* input;
    Bytes (*file)();
    const char* output;
    std::string reason;
};

class RefusedInputs : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedInputs, NameTheReasonAndLeaveNoFile)
{
    const RefusedCase& c = GetParam();
    TempDir dir;
    const std::string in = dir.write(c.input, c.file());
    const ToolResult run = convert({in, "-o", dir.path(c.output)});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "lunidor-convert: " + in + ": " + c.reason + "\n");
    EXPECT_EQ(filesIn(dir.path("")), std::vector<std::string>{c.input});
}

INSTANTIATE_TEST_SUITE_P(
    MagOutput, RefusedInputs,
    testing::Values(
        RefusedCase{"more_than_256_colours", "many.png", tooManyColours, "out.mag",
                    "more than 256 colours (reduce the colours first)"},
        RefusedCase{"mag_into_mag", "a.mag", [] { return buildMag(randomPicture(0x80, 0, 15, 2, 2)); }, "out.mag",
                    "already a MAG file (MAG is written from PNG or BMP pictures)"},
        RefusedCase{"png_into_bmp", "a.png", [] { return png8(smallPicture()); }, "out.bmp",
                    "a PNG picture, not a MAG file (PNG and BMP are written from MAG files)"},
        RefusedCase{"bmp_into_png", "a.bmp", [] { return bmp8(smallPicture()); }, "out.png",
                    "a BMP picture, not a MAG file (PNG and BMP are written from MAG files)"},
        RefusedCase{"text_into_mag", "notes.txt", [] { return Bytes(40, 'x'); }, "out.mag",
                    "not a PNG or BMP picture"},
        RefusedCase{"empty_into_mag", "empty.png", [] { return Bytes(); }, "out.mag", "not a PNG or BMP picture"}),
    CaseName());

struct FormatCase {
    const char* name;
    std::vector<std::string> args;  // "@x" stands for x in the test's directory
    const char* output;             // relative to the test's directory
};

class ChoosesMag : public testing::TestWithParam<FormatCase> {};

TEST_P(ChoosesMag, ByExtensionOrFormatInAnyLetterCase)
{
    TempDir dir;
    const Bytes png = png8(smallPicture());
    dir.write("a.png", png);
    const ToolResult run = convert(inDirectory(dir, GetParam().args));
    ASSERT_EQ(run.status, 0) << run.err;
    const ReadBack back = readBack(readFile(dir.path(GetParam().output)));
    ASSERT_EQ(back.status, mag::Status::Ok);
    EXPECT_EQ(back.pixels, asStored(smallPicture(), false).indices);
}

INSTANTIATE_TEST_SUITE_P(
    MagOutput, ChoosesMag,
    testing::Values(FormatCase{"by_extension", {"@a.png", "-o", "@x.mag"}, "x.mag"},
                    FormatCase{"by_extension_in_capitals", {"@a.png", "-o", "@x.MAG"}, "x.MAG"},
                    FormatCase{"beside_the_input", {"--format", "Mag", "@a.png"}, "a.mag"},
                    FormatCase{"format_over_extension", {"--format=MAG", "@a.png", "-o", "@x.png"}, "x.png"},
                    FormatCase{"into_a_directory", {"--format", "mag", "@a.png", "-o", "@new/"}, "new/a.mag"}),
    CaseName());

TEST(MagOutput, BatchOfPicturesWithSomeBad)
{
    TempDir dir;
    const std::map<std::string, Bytes> good = {
        {"a.png", png4(pattern(16, 4, 9))},
        {"b.bmp", bmp8(pattern(12, 3, 100))},
        {"c.PNG", rgbPng(pattern(10, 10, 30))},
    };
    std::vector<std::string> args = {"--format", "mag", "--jobs", "2", "--comment", kCommentUtf8};
    for (const auto& [name, file] : good)
        args.push_back(dir.write(name, file));
    args.push_back(dir.write("many.png", tooManyColours()));
    args.push_back(dir.write("old.mag", buildMag(randomPicture(0x00, 0, 15, 2, 3))));
    args.insert(args.end(), {"-o", dir.path("out/")});
    const ToolResult run = convert(args);

    EXPECT_EQ(run.status, 1);
    std::vector<std::string> lines = linesOf(run.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "lunidor-convert: 3 converted, 2 failed");
    lines.pop_back();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "lunidor-convert: " + dir.path("many.png") + ": more than 256 colours (reduce the colours first)",
                         "lunidor-convert: " + dir.path("old.mag") +
                             ": already a MAG file (MAG is written from PNG or BMP pictures)"}));
    EXPECT_EQ(filesIn(dir.path("out")), (std::vector<std::string>{"a.mag", "b.mag", "c.mag"}));
    for (const char* name : {"a.mag", "b.mag", "c.mag"}) {
        const ReadBack back = readBack(readFile(dir.path("out/") + name));
        EXPECT_EQ(back.status, mag::Status::Ok) << name;
        EXPECT_EQ(back.comment, kCommentShiftJis) << name;
    }
}

TEST(MagOutput, ExistingOutputIsKeptUnlessForced)
{
    TempDir dir;
    const std::string in = dir.write("in.bmp", bmp4(smallPicture()));
    const std::string out = dir.write("in.mag", Bytes{1, 2, 3});

    const ToolResult kept = convert({"--format", "mag", in});
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.err, "lunidor-convert: " + in + ": " + out + " exists already (--force replaces it)\n");
    EXPECT_EQ(readFile(out), (Bytes{1, 2, 3}));

    const ToolResult forced = convert({"--format", "mag", "-f", in});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(readBack(readFile(out)).pixels, asStored(smallPicture(), false).indices);
    EXPECT_EQ(filesIn(dir.path("")), (std::vector<std::string>{"in.bmp", "in.mag"}));
}

// A PNG named .mag, converted beside itself with --force, would be replaced
// by its own MAG file; an output never replaces its input, whatever --force.
TEST(MagOutput, NeverWritesOverItsOwnInput)
{
    TempDir dir;
    const Bytes png = png8(smallPicture());
    const std::string misnamed = dir.write("misnamed.mag", png);
    const std::string plain = dir.write("plain.png", png);
    const std::string otherSpelling = dir.path("../") + fs::path(dir.path("")).parent_path().filename().string() +
                                      "/plain.png";
    fs::create_symlink(plain, dir.path("link.mag"));

    const struct {
        std::vector<std::string> args;
        std::string input, output;
    } runs[] = {
        {{"--force", "--format", "mag", misnamed}, misnamed, misnamed},
        {{"--force", "--format", "mag", plain, "-o", otherSpelling}, plain, otherSpelling},
        {{"--force", dir.path("link.mag"), "-o", plain}, dir.path("link.mag"), plain},
    };
    for (const auto& r : runs) {
        const ToolResult run = convert(r.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "lunidor-convert: " + r.input + ": " + r.output + " is the input itself\n");
    }
    EXPECT_EQ(readFile(misnamed), png);
    EXPECT_EQ(readFile(plain), png);
    EXPECT_EQ(filesIn(dir.path("")), (std::vector<std::string>{"link.mag", "misnamed.mag", "plain.png"}));
}

TEST(MagOutput, StandardInputAndOutput)
{
    TempDir dir;
    const std::string in = dir.write("in.png", rgbPng(pattern(24, 5, 20)));
    ASSERT_EQ(convert({in, "-o", dir.path("file.mag")}).status, 0);
    const Bytes expected = readFile(dir.path("file.mag"));

    const ToolResult toStdout = convert({"--format", "mag", in, "-o", "-"});
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, text(expected));

    const ToolResult through = convert({"-", "--format=mag", "-o", "-"}, in);
    EXPECT_EQ(through.status, 0) << through.err;
    EXPECT_EQ(through.out, text(expected));

    const ToolResult fromStdin = convert({"-", "-o", dir.path("stdin.mag")}, in);
    EXPECT_EQ(fromStdin.status, 0) << fromStdin.err;
    EXPECT_EQ(readFile(dir.path("stdin.mag")), expected);

    const ToolResult bad = convert({"-", "--format=mag", "-o", "-"}, dir.write("many.png", tooManyColours()));
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "lunidor-convert: standard input: more than 256 colours (reduce the colours first)\n");
}

}  // namespace
