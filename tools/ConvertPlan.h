#pragma once

// Which file each input becomes, decided before anything is converted.

#include "CommandLine.h"
#include "OutputFormat.h"

#include <string>
#include <vector>

namespace tool {

struct Job {
    std::string input;   // "-": standard input
    std::string output;  // "-": standard output
    // An earlier input that has the same output; this one must not replace it.
    std::string sameOutputAs;
};

struct ConvertPlan {
    OutputFormat format = OutputFormat::Png;
    std::vector<Job> jobs;
    std::string directoryToMake;  // -o DIRECTORY/ when it does not exist yet
    std::string problem;          // wrong usage: nothing is to be done
};

// The outputs: the file -o names; or each input's name with the format's
// extension, in the directory -o names or else beside the input.  The
// format is --format's, else the -o file's extension, else PNG for a
// directory.
ConvertPlan planConversions(const Options& options);

}  // namespace tool
