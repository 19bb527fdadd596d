#pragma once

// lunidor-convert's command line: the options as given, checked for what
// can be told without looking at any file.

#include "OutputFormat.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tool {

enum class Mode { Convert, Info, Thumbnail };

struct Options {
    Mode mode = Mode::Convert;
    std::vector<std::string> inputs;   // "-" is standard input
    std::optional<std::string> output;  // -o; "-" is standard output
    std::optional<OutputFormat> format;
    unsigned jobs = 0;  // 0: one per core
    bool force = false;
    bool stretch = false;
    bool json = false;
    std::uint32_t thumbnailSize = 0;
    // MAG output: the texts as given (UTF-8), and 200-line mode.
    std::optional<std::string> user;
    std::optional<std::string> comment;
    bool lines200 = false;
};

// The usage problem of those options with any other output.
inline constexpr char kMagOptionsOnly[] = "--user, --comment and --200-line apply only to MAG output";

// Whether --user, --comment or --200-line was given.
bool hasMagOptions(const Options& options);

// What those options ask of the MAG writer.
lunidor::MagWriteOptions magWriteOptionsOf(const Options& options);

struct CommandLine {
    enum class Action { Run, Help, Usage };
    Action action = Action::Run;
    Options options;
    std::string problem;  // for Usage: what is wrong, in a few words
};

CommandLine parseCommandLine(int argc, const char* const* argv);

void printUsage(std::FILE* out);

}  // namespace tool
