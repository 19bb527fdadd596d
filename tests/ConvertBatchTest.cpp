// lunidor-convert over many files at once: good and bad mixed, where the
// outputs go, what is never overwritten, standard streams, and the usage
// errors of the options that came with batches.

#include "support/CaseName.h"
#include "support/MagBuilder.h"
#include "support/RunTool.h"
#include "support/ToolPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

using namespace magtest;
namespace fs = std::filesystem;

namespace {

ToolResult convert(const std::vector<std::string>& args, const std::string& input = {},
                   const std::string& directory = {})
{
    return runProgram(LUNIDOR_CONVERT, args, input, directory);
}

bool startsWith(const Bytes& bytes, std::string_view magic)
{
    return bytes.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin(),
                      [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

const std::string_view kPngSignature = "\x89PNG\r\n\x1a\n";

// A folder as a collection holds it: pictures of every kind, and some
// files that are not pictures or have been damaged.
struct Collection {
    TempDir dir;
    std::map<std::string, Bytes> good;           // file name -> MAG file
    std::map<std::string, std::string> bad;      // file name -> reason
    std::vector<std::string> paths;              // every input, good and bad

    Collection()
    {
        addGood("a.mag", buildMag(randomPicture(0x00, 0, 63, 16, 1)));
        addGood("b.mag", buildMag(randomPicture(0x80, 0, 39, 9, 2)));
        addGood("c.MAG", buildMag(randomPicture(0x01, 0, 31, 8, 3)));
        addGood("d.mag", buildMag(randomPicture(0x00, 3, 70, 5, 4)));
        addBad("notes.mag", Bytes(40, 'x'), "no header");
        Bytes cut = buildMag(randomPicture(0x00, 0, 63, 16, 5));
        cut.resize(cut.size() - 10);
        addBad("cut.mag", cut, "data areas reach past the end of the file");
        MagParts old = randomPicture(0x00, 0, 15, 2, 6);
        old.signature = "MAKI01A ";
        addBad("old.mag", buildMag(old), "not a MAG file");
        paths.push_back(dir.path("missing.mag"));
        bad["missing.mag"] = "cannot open";
    }

    void addGood(const std::string& name, const Bytes& file)
    {
        good[name] = file;
        paths.push_back(dir.write(name, file));
    }

    void addBad(const std::string& name, const Bytes& file, const std::string& reason)
    {
        bad[name] = reason;
        paths.push_back(dir.write(name, file));
    }
};

std::string withExtension(const std::string& name, const std::string& extension)
{
    return fs::path(name).replace_extension(extension).string();
}

}  // namespace

struct JobsCase {
    const char* name;
    std::vector<std::string> args;
};

class MixedBatch : public testing::TestWithParam<JobsCase> {};

TEST_P(MixedBatch, ConvertsTheGoodReportsEachBadOnceAndCounts)
{
    Collection c;
    const std::string out = c.dir.path("out/");
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), c.paths.begin(), c.paths.end());
    args.insert(args.end(), {"--format", "bmp", "-o", out});
    const ToolResult run = convert(args);

    EXPECT_EQ(run.status, 1);
    std::vector<std::string> lines = linesOf(run.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "lunidor-convert: 4 converted, 4 failed");
    lines.pop_back();
    std::vector<std::string> expected;
    for (const auto& [name, reason] : c.bad)
        expected.push_back("lunidor-convert: " + c.dir.path(name) + ": " + reason);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << "no progress line when stderr is not a terminal";

    std::vector<std::string> outputs;
    for (const auto& [name, file] : c.good) {
        outputs.push_back(withExtension(name, ".bmp"));
        EXPECT_EQ(readFile(out + outputs.back()), bmpOf(file)) << name;
    }
    std::sort(outputs.begin(), outputs.end());
    EXPECT_EQ(filesIn(out), outputs) << "nothing for the bad files, no temporary files";
}

INSTANTIATE_TEST_SUITE_P(ConvertBatch, MixedBatch,
                         testing::Values(JobsCase{"one_job", {"-j", "1"}}, JobsCase{"three_jobs", {"--jobs=3"}},
                                         JobsCase{"more_jobs_than_files", {"--jobs", "64"}},
                                         JobsCase{"one_per_core", {}}),
                         CaseName());

struct DestinationCase {
    const char* name;
    std::vector<std::string> args;  // "@x" stands for x in the test's directory
    const char* output;             // relative to the test's directory
    std::string_view magic;
};

class Destinations : public testing::TestWithParam<DestinationCase> {};

TEST_P(Destinations, OutputGoesWhereTheOptionsSay)
{
    TempDir dir;
    dir.write("in.mag", buildMag(randomPicture(0x00, 0, 15, 4, 7)));
    fs::create_directory(dir.path("existing"));
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args) {
        if (a.starts_with('@'))
            a = dir.path(a.substr(1));
    }
    const ToolResult run = convert(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "") << "a single file gets no count line";
    EXPECT_TRUE(startsWith(readFile(dir.path(GetParam().output)), GetParam().magic));
}

INSTANTIATE_TEST_SUITE_P(
    ConvertBatch, Destinations,
    testing::Values(DestinationCase{"beside_input", {"--format", "png", "@in.mag"}, "in.png", kPngSignature},
                    DestinationCase{"beside_input_as_bmp", {"--format=BMP", "@in.mag"}, "in.bmp", "BM"},
                    DestinationCase{"new_directory", {"@in.mag", "-o", "@new/dir/"}, "new/dir/in.png", kPngSignature},
                    DestinationCase{"existing_directory", {"@in.mag", "-o", "@existing"}, "existing/in.png",
                                    kPngSignature},
                    DestinationCase{"png_by_extension", {"@in.mag", "-o", "@x.PNG"}, "x.PNG", kPngSignature},
                    DestinationCase{"bmp_by_extension", {"@in.mag", "-o", "@x.Bmp"}, "x.Bmp", "BM"},
                    DestinationCase{"format_over_extension", {"--format", "bmp", "@in.mag", "-o", "@x.png"}, "x.png",
                                    "BM"}),
    CaseName());

TEST(ConvertBatch, BesideEachInputInItsOwnDirectory)
{
    TempDir dir;
    fs::create_directories(dir.path("one"));
    fs::create_directories(dir.path("two"));
    const std::string a = dir.write("one/a.mag", buildMag(randomPicture(0x00, 0, 15, 4, 8)));
    const std::string b = dir.write("two/b.MAG", buildMag(randomPicture(0x80, 0, 15, 4, 9)));
    const ToolResult run = convert({"--format", "png", a, b});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "lunidor-convert: 2 converted, 0 failed\n");
    EXPECT_EQ(filesIn(dir.path("one")), (std::vector<std::string>{"a.mag", "a.png"}));
    EXPECT_EQ(filesIn(dir.path("two")), (std::vector<std::string>{"b.MAG", "b.png"}));
}

TEST(ConvertBatch, ExistingOutputIsKeptUnlessForced)
{
    TempDir dir;
    const Bytes file = buildMag(randomPicture(0x00, 0, 15, 4, 10));
    const std::string in = dir.write("in.mag", file);
    const std::string out = dir.write("in.bmp", Bytes{1, 2, 3});

    const ToolResult kept = convert({in, "-o", out});
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.err, "lunidor-convert: " + in + ": " + out + " exists already (--force replaces it)\n");
    EXPECT_EQ(readFile(out), (Bytes{1, 2, 3}));

    const ToolResult forced = convert({"--force", in, "-o", out});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(readFile(out), bmpOf(file));
    EXPECT_EQ(filesIn(dir.path("")), (std::vector<std::string>{"in.bmp", "in.mag"}));
}

TEST(ConvertBatch, ExistingOutputInABatchFailsOnlyThatFile)
{
    TempDir dir;
    const std::string a = dir.write("a.mag", buildMag(randomPicture(0x00, 0, 15, 4, 11)));
    const std::string b = dir.write("b.mag", buildMag(randomPicture(0x00, 0, 15, 4, 12)));
    dir.write("a.png", Bytes{9});
    const ToolResult run = convert({"--format", "png", a, b});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(linesOf(run.err), (std::vector<std::string>{
                                    "lunidor-convert: " + a + ": " + dir.path("a.png") +
                                        " exists already (--force replaces it)",
                                    "lunidor-convert: 1 converted, 1 failed"}));
    EXPECT_EQ(readFile(dir.path("a.png")), Bytes{9});
    EXPECT_TRUE(startsWith(readFile(dir.path("b.png")), kPngSignature));
}

TEST(ConvertBatch, TwoInputsWithOneOutputNameNeverReplaceEachOther)
{
    TempDir dir;
    fs::create_directories(dir.path("x"));
    fs::create_directories(dir.path("y"));
    const Bytes first = buildMag(randomPicture(0x00, 0, 15, 4, 13));
    const std::string x = dir.write("x/a.mag", first);
    const std::string y = dir.write("y/a.mag", buildMag(randomPicture(0x00, 0, 15, 4, 14)));
    const std::string out = dir.path("out/");
    const ToolResult run = convert({"--force", "--format", "bmp", x, y, "-o", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(linesOf(run.err),
              (std::vector<std::string>{"lunidor-convert: " + y + ": " + out + "a.bmp is already the output of " + x,
                                        "lunidor-convert: 1 converted, 1 failed"}));
    EXPECT_EQ(readFile(out + "a.bmp"), bmpOf(first));
}

TEST(ConvertBatch, DirectoryThatCannotBeMade)
{
    TempDir dir;
    const std::string in = dir.write("in.mag", buildMag(randomPicture(0x00, 0, 15, 4, 15)));
    const std::string file = dir.write("file", Bytes{1});
    const ToolResult run = convert({in, "-o", file + "/"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "lunidor-convert: " + file + "/: cannot make the directory\n");
}

TEST(ConvertBatch, StandardInputAndOutput)
{
    TempDir dir;
    const Bytes file = buildMag(randomPicture(0x80, 0, 15, 4, 16));
    const std::string in = dir.write("in.mag", file);
    const std::string text = dir.write("text", Bytes(50, 'x'));
    const Bytes image = bmpOf(file);
    const std::string bmp(image.begin(), image.end());

    const ToolResult toFile = convert({"-", "-o", dir.path("from-stdin.png")}, in);
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_TRUE(startsWith(readFile(dir.path("from-stdin.png")), kPngSignature));

    const ToolResult toStdout = convert({"--format", "bmp", in, "-o", "-"});
    EXPECT_EQ(toStdout.status, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, bmp);

    const ToolResult through = convert({"-", "--format=bmp", "-o", "-"}, in);
    EXPECT_EQ(through.status, 0) << through.err;
    EXPECT_EQ(through.out, bmp);

    const ToolResult bad = convert({"-", "--format=bmp", "-o", "-"}, text);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "lunidor-convert: standard input: no header\n");
}

TEST(ConvertBatch, ProgressLineOnATerminal)
{
    TempDir dir;
    std::vector<std::string> args = {"-j", "2", "-o", dir.path("out/")};
    for (int i = 0; i < 6; ++i)
        args.push_back(dir.write("p" + std::to_string(i) + ".mag",
                                 buildMag(randomPicture(0x00, 0, 63, 8, static_cast<std::uint32_t>(20 + i)))));
    args.push_back(dir.write("bad.mag", Bytes(40, 'x')));
    const ToolResult run = runProgramOnTerminal(LUNIDOR_CONVERT, args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\rlunidor-convert: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" of 7 files"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("lunidor-convert: " + dir.path("bad.mag") + ": no header"), std::string::npos);
    // The progress line is erased before the count, which ends the output.
    const std::string count = "\r\033[Klunidor-convert: 6 converted, 1 failed";
    ASSERT_NE(run.out.rfind(count), std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(run.out.rfind(count) + count.size()), "\r\n");
}

TEST(ConvertBatch, NoProgressLineForAFewFiles)
{
    TempDir dir;
    std::vector<std::string> args = {"-o", dir.path("out/")};
    for (int i = 0; i < 3; ++i)
        args.push_back(dir.write("p" + std::to_string(i) + ".mag",
                                 buildMag(randomPicture(0x00, 0, 15, 2, static_cast<std::uint32_t>(30 + i)))));
    const ToolResult run = runProgramOnTerminal(LUNIDOR_CONVERT, args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "lunidor-convert: 3 converted, 0 failed\r\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;  // "@x" stands for x in the test's directory
    const char* problem;
};

class BatchUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(BatchUsage, SaysWhatIsWrongAndDoesNothing)
{
    TempDir dir;
    dir.write("a.mag", buildMag(randomPicture(0x00, 0, 15, 2, 40)));
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args) {
        if (a.starts_with('@'))
            a = dir.path(a.substr(1));
    }
    const ToolResult run = convert(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("lunidor-convert: " + std::string(GetParam().problem))) << run.err;
    EXPECT_NE(run.err.find("\nusage: lunidor-convert"), std::string::npos);
    EXPECT_EQ(filesIn(dir.path("")), std::vector<std::string>{"a.mag"});
}

INSTANTIATE_TEST_SUITE_P(
    ConvertBatch, BatchUsage,
    testing::Values(
        UsageCase{"no_destination", {"@a.mag"}, "say where to write"},
        UsageCase{"unknown_format", {"--format", "gif", "@a.mag"}, "--format takes png|bmp"},
        UsageCase{"unknown_extension", {"@a.mag", "-o", "@a.gif"}, "cannot tell the output format"},
        UsageCase{"no_extension", {"@a.mag", "-o", "@a"}, "cannot tell the output format"},
        UsageCase{"zero_jobs", {"-j", "0", "@a.mag", "-o", "@d/"}, "--jobs takes a number from 1"},
        UsageCase{"jobs_not_a_number", {"--jobs=many", "@a.mag", "-o", "@d/"}, "--jobs takes a number from 1"},
        UsageCase{"stretch_bmp", {"--stretch", "@a.mag", "-o", "@a.bmp"}, "--stretch applies only to PNG"},
        UsageCase{"several_to_one_file", {"@a.mag", "@a.mag", "-o", "@c.png"}, "several inputs need -o DIRECTORY/"},
        UsageCase{"several_to_stdout", {"--format", "png", "@a.mag", "@a.mag", "-o", "-"},
                  "standard output takes only one"},
        UsageCase{"stdout_without_format", {"@a.mag", "-o", "-"}, "writing to standard output needs --format"},
        UsageCase{"stdin_beside_itself", {"--format", "png", "-"}, "standard input has no name"},
        UsageCase{"stdin_into_directory", {"-", "-o", "@d/"}, "standard input has no name"},
        UsageCase{"info_with_output", {"--info", "@a.mag", "-o", "@x.png"}, "--info writes no files"},
        UsageCase{"thumbnail_size_zero", {"--thumbnail", "0", "@a.mag", "@t.png"}, "--thumbnail takes a size"},
        UsageCase{"thumbnail_without_output", {"--thumbnail", "64", "@a.mag"}, "--thumbnail takes one INPUT"},
        UsageCase{"thumbnail_as_bmp", {"--thumbnail", "64", "--format", "bmp", "@a.mag", "@t.png"},
                  "--thumbnail writes PNG"},
        UsageCase{"thumbnail_and_info", {"--info", "--thumbnail", "64", "@a.mag", "@t.png"},
                  "--info and --thumbnail"},
        UsageCase{"missing_value", {"@a.mag", "--format"}, "--format needs a value"},
        UsageCase{"flag_with_value", {"--force=yes", "@a.mag", "-o", "@x.png"}, "unknown option --force=yes"},
        UsageCase{"output_twice", {"@a.mag", "-o", "@x.png", "-o", "@y.png"}, "-o is given twice"}),
    CaseName());

TEST(ConvertBatch, HelpNamesEveryOption)
{
    const ToolResult run = convert({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* option : {"-o DIRECTORY/", "--format png|bmp|mag", "--stretch", "--force", "--jobs N", "--info",
                               "--json", "--thumbnail SIZE", "--user TEXT", "--comment TEXT", "--200-line"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

TEST(ConvertBatch, DoubleDashEndsTheOptions)
{
    TempDir dir;
    const Bytes file = buildMag(randomPicture(0x00, 0, 15, 2, 41));
    dir.write("-odd.mag", file);
    const ToolResult run = convert({"--format", "bmp", "--", "-odd.mag"}, {}, dir.path(""));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(dir.path("-odd.bmp")), bmpOf(file));
}
