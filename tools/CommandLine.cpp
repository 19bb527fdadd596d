#include "CommandLine.h"

#include <charconv>
#include <iterator>
#include <string_view>

namespace tool {
namespace {

constexpr unsigned kMaxJobs = 1024;
constexpr std::uint32_t kMaxThumbnail = 16384;

bool parseNumber(std::string_view text, std::uint32_t low, std::uint32_t high, std::uint32_t* value)
{
    std::uint32_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || n < low || n > high)
        return false;
    *value = n;
    return true;
}

// What an option does to the options; returns the problem, empty if none.
using Apply = std::string (*)(Options&, std::string_view value);

struct OptionRow {
    const char* longName;
    char shortName;  // 0: none
    bool takesValue;
    Apply apply;
};

const OptionRow kOptions[] = {
    {"output", 'o', true,
     [](Options& o, std::string_view v) -> std::string {
         if (o.output)
             return "-o is given twice";
         o.output = std::string(v);
         return {};
     }},
    {"format", 0, true,
     [](Options& o, std::string_view v) -> std::string {
         o.format = formatNamed(v);
         return o.format ? std::string() : "--format takes " + formatNames();
     }},
    {"jobs", 'j', true,
     [](Options& o, std::string_view v) -> std::string {
         std::uint32_t n = 0;
         if (!parseNumber(v, 1, kMaxJobs, &n))
             return "--jobs takes a number from 1 to " + std::to_string(kMaxJobs);
         o.jobs = n;
         return {};
     }},
    {"force", 'f', false,
     [](Options& o, std::string_view) {
         o.force = true;
         return std::string();
     }},
    {"stretch", 0, false,
     [](Options& o, std::string_view) {
         o.stretch = true;
         return std::string();
     }},
    {"user", 0, true,
     [](Options& o, std::string_view v) -> std::string {
         if (o.user)
             return "--user is given twice";
         o.user = std::string(v);
         return {};
     }},
    {"comment", 0, true,
     [](Options& o, std::string_view v) -> std::string {
         if (o.comment)
             return "--comment is given twice";
         o.comment = std::string(v);
         return {};
     }},
    {"200-line", 0, false,
     [](Options& o, std::string_view) {
         o.lines200 = true;
         return std::string();
     }},
    {"info", 0, false,
     [](Options& o, std::string_view) {
         o.mode = Mode::Info;
         return std::string();
     }},
    {"json", 0, false,  // implies --info
     [](Options& o, std::string_view) {
         o.json = true;
         o.mode = Mode::Info;
         return std::string();
     }},
    {"thumbnail", 0, true,
     [](Options& o, std::string_view v) -> std::string {
         if (!parseNumber(v, 1, kMaxThumbnail, &o.thumbnailSize))
             return "--thumbnail takes a size from 1 to " + std::to_string(kMaxThumbnail);
         return {};
     }},
};

const OptionRow* findOption(std::string_view name, bool isLong)
{
    for (const OptionRow& row : kOptions) {
        if (isLong ? name == row.longName : name.size() == 1 && name[0] == row.shortName && row.shortName != 0)
            return &row;
    }
    return nullptr;
}

// The options that do not mix with --info and --thumbnail.
std::string modeConflict(const Options& o)
{
    const bool info = o.mode == Mode::Info;
    const bool thumbnail = o.thumbnailSize != 0;
    if (info && thumbnail)
        return "--info and --thumbnail do not go together";
    if (info && (o.output || o.format || o.force || o.stretch || hasMagOptions(o)))
        return "--info writes no files: -o, --format, --force, --stretch, --user, --comment and --200-line "
               "do not apply";
    if (thumbnail && o.stretch)
        return "--thumbnail always shows the true shape: --stretch does not apply";
    if (thumbnail && o.format && *o.format != OutputFormat::Png)
        return "--thumbnail writes PNG";
    if (thumbnail && hasMagOptions(o))
        return kMagOptionsOnly;
    return {};
}

// The texts depend on no input, so a text MAG cannot hold is reported once
// here rather than once for every file of a batch.
std::string checkMagTexts(const Options& o)
{
    if (!o.user && !o.comment)
        return {};
    const lunidor::MagWriteResult result = lunidor::checkTexts(magWriteOptionsOf(o));
    return result.ok() ? std::string() : describe(result);
}

// --thumbnail SIZE INPUT OUTPUT, or INPUT -o OUTPUT.
std::string settleThumbnail(Options& o)
{
    o.mode = Mode::Thumbnail;
    if (!o.output && o.inputs.size() == 2) {
        o.output = o.inputs.back();
        o.inputs.pop_back();
    }
    if (o.inputs.size() != 1 || !o.output)
        return "--thumbnail takes one INPUT and one OUTPUT";
    return {};
}

}  // namespace

bool hasMagOptions(const Options& options) { return options.user || options.comment || options.lines200; }

lunidor::MagWriteOptions magWriteOptionsOf(const Options& options)
{
    lunidor::MagWriteOptions mag;
    mag.userName = options.user.value_or(std::string());
    mag.comment = options.comment.value_or(std::string());
    mag.lines200 = options.lines200;
    return mag;
}

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    CommandLine result;
    Options& o = result.options;
    const auto fail = [&result](std::string problem) {
        result.action = CommandLine::Action::Usage;
        result.problem = std::move(problem);
        return result;
    };
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            o.inputs.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            result.action = CommandLine::Action::Help;
            return result;
        }
        // --name, --name=value, -x, -xVALUE
        const bool isLong = arg.starts_with("--");
        std::string_view name = isLong ? arg.substr(2) : arg.substr(1, 1);
        std::optional<std::string_view> attached;
        if (isLong && name.find('=') != std::string_view::npos) {
            attached = name.substr(name.find('=') + 1);
            name = name.substr(0, name.find('='));
        } else if (!isLong && arg.size() > 2) {
            attached = arg.substr(2);
        }
        const OptionRow* option = findOption(name, isLong);
        if (option == nullptr || (attached && !option->takesValue))
            return fail("unknown option " + std::string(arg));
        std::string_view value;
        if (option->takesValue) {
            if (!attached && i + 1 == argc)
                return fail(std::string(arg) + " needs a value");
            value = attached ? *attached : std::string_view(argv[++i]);
        }
        if (std::string problem = option->apply(o, value); !problem.empty())
            return fail(problem);
    }
    if (std::string problem = modeConflict(o); !problem.empty())
        return fail(problem);
    if (std::string problem = checkMagTexts(o); !problem.empty())
        return fail(problem);
    if (o.thumbnailSize != 0) {
        if (std::string problem = settleThumbnail(o); !problem.empty())
            return fail(problem);
    }
    if (o.inputs.empty())
        return fail("no input given");
    return result;
}

void printUsage(std::FILE* out)
{
    std::fputs("usage: lunidor-convert [OPTIONS] INPUT.mag -o OUTPUT.png|OUTPUT.bmp\n"
               "       lunidor-convert [OPTIONS] INPUT.png|INPUT.bmp -o OUTPUT.mag\n"
               "       lunidor-convert [OPTIONS] INPUT... -o DIRECTORY/\n"
               "       lunidor-convert [OPTIONS] --format png|bmp|mag INPUT...\n"
               "       lunidor-convert --info [--json] INPUT.mag...\n"
               "       lunidor-convert --thumbnail SIZE INPUT.mag OUTPUT.png\n"
               "Converts MAG pictures (16 or 256 colours) into PNG or Windows BMP files,\n"
               "and PNG or BMP pictures of at most 256 colours into MAG files.\n"
               "  -o FILE           write to FILE; its extension (.png, .bmp, .mag) gives\n"
               "                    the format\n"
               "  -o DIRECTORY/     write each output into DIRECTORY, made if missing\n"
               "                    (PNG unless --format says otherwise)\n"
               "  --format png|bmp|mag\n"
               "                    the output format; without -o each output goes beside\n"
               "                    its input, with the format's extension\n"
               "  --stretch         PNG: double the rows of 200-line pictures instead of\n"
               "                    marking their pixels as twice as tall as wide\n"
               "  --user TEXT       MAG: the user name, at most 19 bytes in Shift-JIS\n"
               "  --comment TEXT    MAG: the comment, written in Shift-JIS\n"
               "  --200-line        MAG: mark the picture as drawn for a 200-line screen\n"
               "  -f, --force       replace outputs that exist already\n"
               "  -j, --jobs N      convert N files at a time (default: one per core)\n"
               "  --info            describe each file: colours, 200-line mode, position,\n"
               "                    size, machine, user and comment\n"
               "  --json            with --info: one JSON object per file and line\n"
               "  --thumbnail SIZE  write a PNG that fits in SIZE x SIZE, for file managers\n"
               "  -                 standard input as INPUT, standard output as -o\n"
               "  -h, --help        show this help\n",
               out);
}

}  // namespace tool
