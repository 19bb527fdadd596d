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
};

struct CommandLine {
    enum class Action { Run, Help, Usage };
    Action action = Action::Run;
    Options options;
    std::string problem;  // for Usage: what is wrong, in a few words
};

CommandLine parseCommandLine(int argc, const char* const* argv);

void printUsage(std::FILE* out);

}  // namespace tool
