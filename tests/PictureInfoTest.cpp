// --info: Shift-JIS texts made readable without losing a byte, and the
// description of files in plain text and in JSON (read back with Qt's JSON
// reader).

#include "TextDisplay.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"
#include "support/RunTool.h"
#include "support/ToolPictures.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

using namespace magtest;

struct TextCase {
    const char* name;
    std::string bytes;
    std::string shown;
};

class ShiftJisDisplay : public testing::TestWithParam<TextCase> {};

TEST_P(ShiftJisDisplay, DecodesOrEscapesEveryByte)
{
    EXPECT_EQ(tool::displayShiftJis(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Info, ShiftJisDisplay,
    testing::Values(TextCase{"ascii", "MAG picture", "MAG picture"},
                    TextCase{"kanji", "\x93\xfa\x96\x7b\x8c\xea", "日本語"},
                    TextCase{"halfwidth_katakana", "\xb1\xb2\xb3", "ｱｲｳ"},
                    TextCase{"nec_special_characters", "\x87\x40", "①"},
                    TextCase{"ibm_extensions", "\xfa\x40", "ⅰ"},
                    TextCase{"wave_dash_as_windows_maps_it", "\x81\x60", "～"},
                    TextCase{"lone_lead_byte_at_the_end", "ab\x81", "ab\\x81"},
                    TextCase{"lead_byte_with_a_bad_trail", "\x81\x20z", "\\x81 z"},
                    TextCase{"bytes_that_start_nothing", "\x80\xa0\xfd\xfe\xff", "\\x80\\xa0\\xfd\\xfe\\xff"},
                    TextCase{"decoding_resumes_after_an_escape", "\xff\x93\xfa", "\\xff日"},
                    TextCase{"backslash_is_doubled", "C:\\MAG", "C:\\\\MAG"},
                    TextCase{"line_ends_and_tabs", "one\r\ntwo\tthree", "one\\r\\ntwo\\tthree"},
                    TextCase{"terminal_controls", "\x1b[31m\x7f", "\\x1b[31m\\x7f"},
                    TextCase{"nul", std::string("a\0b", 3), "a\\x00b"},
                    TextCase{"empty", "", ""}),
    CaseName());

class Utf8Display : public testing::TestWithParam<TextCase> {};

TEST_P(Utf8Display, PassesValidTextEscapesTheRest)
{
    EXPECT_EQ(tool::displayUtf8(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Info, Utf8Display,
                         testing::Values(TextCase{"valid", "画像/a.mag", "画像/a.mag"},
                                         TextCase{"invalid_byte", "\xff.mag", "\\xff.mag"},
                                         TextCase{"cut_character", "a\xe7\x94", "a\\xe7\\x94"},
                                         TextCase{"control", "a\nb", "a\\nb"}),
                         CaseName());

class JsonString : public testing::TestWithParam<TextCase> {};

TEST_P(JsonString, QuotesAndEscapes)
{
    EXPECT_EQ(tool::jsonString(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Info, JsonString,
                         testing::Values(TextCase{"plain", "abc", "\"abc\""},
                                         TextCase{"quote_and_backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
                                         TextCase{"control", "\x01\n", "\"\\u0001\\u000a\""},
                                         TextCase{"utf8", "日本", "\"日本\""}),
                         CaseName());

namespace {

ToolResult info(const std::vector<std::string>& args, const std::string& input = {})
{
    return runProgram(LUNIDOR_CONVERT, args, input);
}

// 256 colours, 200-line, at 8,16 and 320 x 200, with Japanese texts.
MagParts japanesePicture()
{
    MagParts parts = randomPicture(0x81, 8, 327, 200, 80);
    parts.startY = 16;
    parts.endY = 215;
    parts.machineName = "PC98";
    parts.userName = "\x82\xbd\x82\xeb\x82\xa4";        // たろう, padded with blanks
    parts.comment = "\x8f\x74\x82\xcc\x8a\x43 \x87\x40";  // 春の海 ①
    return parts;
}

}  // namespace

TEST(Info, DescribesAJapanesePictureReadably)
{
    TempDir dir;
    const std::string in = dir.write("haru.mag", buildMag(japanesePicture()));
    const ToolResult run = info({"--info", in});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, in + "\n"
                            "  colours:  256\n"
                            "  200-line: yes\n"
                            "  position: 8,16\n"
                            "  size:     320x200\n"
                            "  machine:  PC98\n"
                            "  user:     たろう\n"
                            "  comment:  春の海 ①\n");
}

TEST(Info, JsonObjectsOnePerLineReadBackByAJsonReader)
{
    TempDir dir;
    MagParts odd = randomPicture(0x00, 0, 63, 8, 81);
    odd.comment = std::string("bad \x81\x20 byte, \"quoted\\\"\0", 23);
    odd.machineName = std::string("X\0", 2);
    const std::string a = dir.write("a.mag", buildMag(japanesePicture()));
    const std::string b = dir.write("b.mag", buildMag(odd));
    const std::string bad = dir.write("bad.mag", Bytes(40, 'x'));
    const ToolResult run = info({"--json", a, bad, b});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "lunidor-convert: " + bad + ": no header\n");
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;

    QJsonParseError error{};
    const QJsonObject first = QJsonDocument::fromJson(QByteArray::fromStdString(lines[0]), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << lines[0];
    EXPECT_EQ(first.value("file").toString().toStdString(), a);
    EXPECT_EQ(first.value("colours").toInt(), 256);
    EXPECT_EQ(first.value("lines200").toBool(), true);
    EXPECT_EQ(first.value("x").toInt(), 8);
    EXPECT_EQ(first.value("y").toInt(), 16);
    EXPECT_EQ(first.value("width").toInt(), 320);
    EXPECT_EQ(first.value("height").toInt(), 200);
    EXPECT_EQ(first.value("machine").toString().toStdString(), "PC98");
    EXPECT_EQ(first.value("user").toString().toStdString(), "たろう");
    EXPECT_EQ(first.value("comment").toString().toStdString(), "春の海 ①");

    const QJsonObject second = QJsonDocument::fromJson(QByteArray::fromStdString(lines[1]), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << lines[1];
    EXPECT_EQ(second.value("colours").toInt(), 16);
    EXPECT_EQ(second.value("lines200").toBool(), false);
    EXPECT_EQ(second.value("machine").toString().toStdString(), "X");
    EXPECT_EQ(second.value("comment").toString().toStdString(), "bad \\x81  byte, \"quoted\\\\\"\\x00");
}

TEST(Info, UndecodableBytesShowEscapedInPlainText)
{
    TempDir dir;
    MagParts parts = randomPicture(0x00, 0, 15, 2, 82);
    parts.comment = "\x93\xfa\xff\x81";
    parts.userName = std::string("a\0b", 3);
    const std::string in = dir.write("x.mag", buildMag(parts));
    const ToolResult run = info({"--info", in});
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[6], "  user:     a\\x00b");
    EXPECT_EQ(lines[7], "  comment:  日\\xff\\x81");
}

TEST(Info, NeedsOnlyTheHeaderAndReadsStandardInput)
{
    TempDir dir;
    Bytes cut = buildMag(japanesePicture());
    cut.resize(headerOffsetOf(japanesePicture()) + 32);
    const std::string in = dir.write("cut.mag", cut);
    const ToolResult run = info({"--info", "-"}, in);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("standard input\n  colours:  256\n")) << run.out;
}

TEST(Info, SeveralFilesAreSeparatedByABlankLine)
{
    TempDir dir;
    const std::string a = dir.write("a.mag", buildMag(randomPicture(0x00, 0, 15, 2, 83)));
    const ToolResult run = info({"--info", a, a});
    EXPECT_EQ(run.status, 0);
    const std::vector<std::string> lines = linesOf(run.out);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9], a);
}
