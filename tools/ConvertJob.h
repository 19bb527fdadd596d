#pragma once

// One input turned into one output: read, converted, encoded and written,
// or else the reason why not.

#include "ConvertPlan.h"
#include "OutputFormat.h"

#include <cstdint>
#include <string>

namespace tool {

struct JobSettings {
    OutputFormat format = OutputFormat::Png;
    EncodeSettings encode;
    bool force = false;
};

// The reason the job failed, in the words that follow "INPUT: " in the
// message; empty when the output was written.
std::string runConvertJob(const Job& job, const JobSettings& settings);

// A PNG thumbnail that fits in size x size.
std::string runThumbnailJob(const std::string& input, const std::string& output, std::uint32_t size, bool force);

}  // namespace tool
