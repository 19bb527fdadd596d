// lunidor-convert: turns MAG pictures into PNG files or into the BMP file
// image that the viewer loads, byte for byte, and PNG or BMP pictures into
// MAG files; one file or whole folders; describes MAG pictures (--info) and
// makes thumbnails of them for file managers.

#include "BatchReport.h"
#include "BatchRunner.h"
#include "CommandLine.h"
#include "ConvertJob.h"
#include "ConvertPlan.h"
#include "MagPicture.h"
#include "PictureInfo.h"

#include <cstdio>
#include <filesystem>

namespace {

using namespace tool;

constexpr const char* kProgram = "lunidor-convert";
constexpr int kUsageStatus = 2;

int usageError(const std::string& problem)
{
    std::fprintf(stderr, "%s: %s\n", kProgram, problem.c_str());
    printUsage(stderr);
    return kUsageStatus;
}

int describeFiles(const Options& options)
{
    int status = 0;
    bool first = true;
    for (const std::string& input : options.inputs) {
        PictureInfo info;
        if (const mag::Status s = readPictureInfo(input, &info); s != mag::Status::Ok) {
            std::fprintf(stderr, "%s: %s: %s\n", kProgram, displayName(input).c_str(), mag::describe(s));
            status = 1;
            continue;
        }
        const std::string name = displayName(input);
        if (!options.json && !first)
            std::fputc('\n', stdout);
        std::fputs((options.json ? infoAsJson(name, info) : infoAsText(name, info)).c_str(), stdout);
        first = false;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "%s: %s standard output\n", kProgram, mag::describe(mag::Status::CannotWrite));
        return 1;
    }
    return status;
}

int makeThumbnail(const Options& options)
{
    BatchReport report(1, false);
    const std::string& input = options.inputs.front();
    const std::string reason = runThumbnailJob(input, *options.output, options.thumbnailSize, options.force);
    if (reason.empty())
        report.succeeded();
    else
        report.failed(displayName(input), reason);
    return report.finish();
}

bool makeDirectory(const std::string& directory)
{
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (!error)
        return true;
    std::fprintf(stderr, "%s: %s: cannot make the directory\n", kProgram, directory.c_str());
    return false;
}

int convertFiles(const Options& options)
{
    const ConvertPlan plan = planConversions(options);
    if (!plan.problem.empty())
        return usageError(plan.problem);
    if (!plan.directoryToMake.empty() && !makeDirectory(plan.directoryToMake))
        return 1;
    JobSettings settings;
    settings.format = plan.format;
    settings.encode.stretch = options.stretch;
    settings.encode.mag = magWriteOptionsOf(options);
    settings.force = options.force;
    return runBatch(plan.jobs, settings, options.jobs != 0 ? options.jobs : defaultJobCount());
}

}  // namespace

int main(int argc, char** argv)
{
    const CommandLine command = parseCommandLine(argc, argv);
    switch (command.action) {
    case CommandLine::Action::Help:
        printUsage(stdout);
        return 0;
    case CommandLine::Action::Usage:
        return usageError(command.problem);
    case CommandLine::Action::Run:
        break;
    }
    switch (command.options.mode) {
    case Mode::Info:
        return describeFiles(command.options);
    case Mode::Thumbnail:
        return makeThumbnail(command.options);
    case Mode::Convert:
        break;
    }
    return convertFiles(command.options);
}
