#include "ConvertPlan.h"

#include "MagPicture.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace tool {
namespace {

enum class Destination { File, Directory, StandardOutput, BesideInputs };

Destination destinationOf(const Options& options)
{
    if (!options.output)
        return Destination::BesideInputs;
    const std::string& output = *options.output;
    if (isStandardStream(output))
        return Destination::StandardOutput;
    std::error_code ignored;
    if (output.ends_with('/') || fs::is_directory(output, ignored))
        return Destination::Directory;
    return Destination::File;
}

// Settles plan->format, or returns the usage problem.
std::string chooseFormat(const Options& options, Destination destination, ConvertPlan* plan)
{
    const std::string names = formatNames();
    std::optional<OutputFormat> format = options.format;
    if (!format && destination == Destination::File)
        format = formatOfPath(*options.output);
    if (!format && destination == Destination::Directory)
        format = OutputFormat::Png;
    if (!format && destination == Destination::File)
        return "cannot tell the output format from the name " + *options.output + "; give --format " + names;
    if (!format && destination == Destination::StandardOutput)
        return "writing to standard output needs --format " + names;
    if (!format)
        return "say where to write: -o OUTPUT, -o DIRECTORY/, or --format " + names +
               " to write beside each input";
    plan->format = *format;
    if (options.stretch && !canStretch(*format))
        return "--stretch applies only to PNG output";
    if (hasMagOptions(options) && !takesMagTexts(*format))
        return kMagOptionsOnly;
    return {};
}

std::string checkInputCount(const Options& options, Destination destination)
{
    const bool single = options.inputs.size() == 1;
    if (destination == Destination::File && !single)
        return "several inputs need -o DIRECTORY/";
    if (destination == Destination::StandardOutput && !single)
        return "standard output takes only one picture";
    const bool namedAfterInput = destination == Destination::Directory || destination == Destination::BesideInputs;
    for (const std::string& input : options.inputs) {
        if (namedAfterInput && isStandardStream(input))
            return "standard input has no name to give its output: use -o FILE or -o -";
    }
    return {};
}

std::string outputFor(const std::string& input, const Options& options, Destination destination,
                      const std::string& extension)
{
    switch (destination) {
    case Destination::File:
    case Destination::StandardOutput:
        return *options.output;
    case Destination::Directory:
        return (fs::path(*options.output) / fs::path(input).filename().replace_extension(extension)).string();
    case Destination::BesideInputs:
        break;
    }
    return fs::path(input).replace_extension(extension).string();
}

// Two spellings of one path, such as a/b.png and ./a/b.png, count as one.
std::string pathKey(const std::string& path)
{
    std::error_code ignored;
    return fs::absolute(path, ignored).lexically_normal().string();
}

void markSharedOutputs(std::vector<Job>* jobs)
{
    std::map<std::string, std::string> firstInputFor;
    for (Job& job : *jobs) {
        if (isStandardStream(job.output))
            continue;
        const auto [first, inserted] = firstInputFor.emplace(pathKey(job.output), job.input);
        if (!inserted)
            job.sameOutputAs = first->second;
    }
}

}  // namespace

ConvertPlan planConversions(const Options& options)
{
    ConvertPlan plan;
    const Destination destination = destinationOf(options);
    plan.problem = checkInputCount(options, destination);
    if (plan.problem.empty())
        plan.problem = chooseFormat(options, destination, &plan);
    if (!plan.problem.empty())
        return plan;
    std::error_code ignored;
    if (destination == Destination::Directory && !fs::exists(*options.output, ignored))
        plan.directoryToMake = *options.output;
    const std::string extension = extensionOf(plan.format);
    for (const std::string& input : options.inputs)
        plan.jobs.push_back({input, outputFor(input, options, destination, extension), {}});
    markSharedOutputs(&plan.jobs);
    return plan;
}

}  // namespace tool
