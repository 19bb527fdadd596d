// lunidor-convert as a user runs it: exact output, one clear line per
// failure, exit statuses, and never a partial file left behind.

#include "mag/Mag.h"
#include "support/CaseName.h"
#include "support/MagBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>

using namespace magtest;

namespace {

struct ToolRun {
    int status;
    std::string err;
    std::string out;
};

std::string quote(const std::string& s) { return "'" + s + "'"; }

ToolRun runConvert(const TempDir& dir, const std::string& args)
{
    const std::string cmd = std::string(LUNIDOR_CONVERT) + " " + args + " >" + quote(dir.path("stdout.txt")) +
                            " 2>" + quote(dir.path("stderr.txt"));
    const int raw = std::system(cmd.c_str());
    const Bytes err = readFile(dir.path("stderr.txt"));
    const Bytes out = readFile(dir.path("stdout.txt"));
    std::filesystem::remove(dir.path("stderr.txt"));
    std::filesystem::remove(dir.path("stdout.txt"));
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(err.begin(), err.end()),
            std::string(out.begin(), out.end())};
}

std::vector<std::string> entries(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path("")))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

MagParts goodPicture()
{
    MagParts parts;
    parts.screenMode = 0x80;
    parts.startX = 2;
    parts.endX = 41;
    parts.endY = 19;
    Random random(5);
    std::vector<std::uint8_t> flags(11 * 20);
    for (auto& f : flags)
        f = random.below(3) == 0 ? 0 : static_cast<std::uint8_t>(random.next());
    parts.areas = encodeFlags(flags, 11, random.bytes(44 * 20));
    return parts;
}

}  // namespace

TEST(ConvertTool, WritesExactlyTheConvertersImage)
{
    TempDir dir;
    const Bytes file = buildMag(goodPicture());
    const std::string in = dir.write("in.mag", file);
    const ToolRun run = runConvert(dir, quote(in) + " -o " + quote(dir.path("out.bmp")));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::uint32_t size = 0;
    ASSERT_EQ(mag::probeBmpSize(file.data(), static_cast<std::uint32_t>(file.size()), &size), mag::Status::Ok);
    Bytes expected(size);
    ASSERT_EQ(mag::convertToBmp(file.data(), static_cast<std::uint32_t>(file.size()), expected.data(), size),
              mag::Status::Ok);
    EXPECT_EQ(readFile(dir.path("out.bmp")), expected);
    EXPECT_EQ(entries(dir), (std::vector<std::string>{"in.mag", "out.bmp"}));
}

struct ToolFailure {
    const char* name;
    Bytes (*file)();  // null: the input does not exist
    const char* reason;
};

class ToolFailures : public testing::TestWithParam<ToolFailure> {};

TEST_P(ToolFailures, OneLineNamingInputAndReasonAndNoOutput)
{
    TempDir dir;
    std::string in = dir.path("bad.mag");
    if (GetParam().file != nullptr)
        dir.write("bad.mag", GetParam().file());
    const ToolRun run = runConvert(dir, quote(in) + " -o " + quote(dir.path("out.bmp")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "lunidor-convert: " + in + ": " + GetParam().reason + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path("out.bmp")));
    EXPECT_LE(entries(dir).size(), 1u) << "no temporary file left behind";
}

INSTANTIATE_TEST_SUITE_P(
    ConvertTool, ToolFailures,
    testing::Values(
        ToolFailure{"missing", nullptr, "cannot open"},
        ToolFailure{"text", [] { return Bytes(50, 'x'); }, "no header"},
        ToolFailure{"not_mag",
                    [] {
                        MagParts p = goodPicture();
                        p.signature = "MAKI01A ";
                        return buildMag(p);
                    },
                    "not a MAG file"},
        ToolFailure{"unusable",
                    [] {
                        MagParts p = goodPicture();
                        p.startY = 5;
                        p.endY = 4;
                        return buildMag(p);
                    },
                    "header not usable"},
        ToolFailure{"truncated",
                    [] {
                        Bytes f = buildMag(goodPicture());
                        f.resize(f.size() - 3);
                        return f;
                    },
                    "data areas reach past the end of the file"},
        ToolFailure{"palette",
                    [] {
                        MagParts p;
                        p.endX = 7;
                        p.endY = 0;
                        p.flagAOffset = p.flagBOffset = p.pixelOffset = 0;
                        Bytes f = buildMag(p);
                        f.resize(headerOffsetOf(p) + 40);
                        return f;
                    },
                    "palette reaches past the end of the file"}),
    CaseName());

TEST(ConvertTool, UnwritableOutputLeavesNothing)
{
    TempDir dir;
    const std::string in = dir.write("in.mag", buildMag(goodPicture()));
    const std::string out = dir.path("no-such-dir/out.bmp");
    const ToolRun run = runConvert(dir, quote(in) + " -o " + quote(out));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "lunidor-convert: " + in + ": cannot write the output " + out + "\n");
}

TEST(ConvertTool, FailureKeepsAnExistingOutput)
{
    TempDir dir;
    const std::string in = dir.write("in.mag", Bytes(10, 'x'));
    const std::string out = dir.write("out.bmp", Bytes{1, 2, 3});
    EXPECT_EQ(runConvert(dir, quote(in) + " -o " + quote(out)).status, 1);
    EXPECT_EQ(readFile(out), (Bytes{1, 2, 3}));
}

TEST(ConvertTool, UsageAndHelp)
{
    TempDir dir;
    for (const char* args : {"", "only-input.mag", "-o out.bmp", "a.mag b.mag -o c.bmp", "--bogus a.mag -o b.bmp",
                             "a.mag -o"}) {
        const ToolRun run = runConvert(dir, args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find("usage: lunidor-convert"), std::string::npos) << args;
    }
    const ToolRun help = runConvert(dir, "--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: lunidor-convert"), std::string::npos);
}
