#include "ConvertJob.h"

#include "AtomicOutput.h"
#include "BmpView.h"
#include "MagPicture.h"
#include "PngWriter.h"
#include "Thumbnail.h"

#include <filesystem>
#include <new>

namespace tool {
namespace {

std::string reasonOf(mag::Status status) { return mag::describe(status); }

std::string cannotWrite(const std::string& output)
{
    return reasonOf(mag::Status::CannotWrite) + " " + (isStandardStream(output) ? "standard output" : output);
}

std::string alreadyThere(const std::string& output)
{
    return output + " exists already (--force replaces it)";
}

// An output that names the input itself, under any name (a link, another
// spelling), would replace the picture it is made from.
bool replacesInput(const std::string& input, const std::string& output)
{
    if (isStandardStream(input) || isStandardStream(output))
        return false;
    std::error_code error;
    return std::filesystem::equivalent(input, output, error) && !error;
}

std::string isTheInput(const std::string& output)
{
    return output + " is the input itself";
}

// Checked before the work, to spare it; the write checks again, atomically.
bool refusedEarly(const std::string& output, bool force)
{
    std::error_code ignored;
    return !force && !isStandardStream(output) && std::filesystem::exists(output, ignored);
}

std::string writeOutput(const std::string& output, const std::vector<std::uint8_t>& bytes, bool force)
{
    if (isStandardStream(output))
        return writeStandardOutput(bytes) ? std::string() : cannotWrite(output);
    switch (writeFileAtomically(output, bytes, force ? Replace::Yes : Replace::No)) {
    case WriteResult::Written:
        return {};
    case WriteResult::Exists:
        return alreadyThere(output);
    case WriteResult::Failed:
        break;
    }
    return cannotWrite(output);
}

std::string convert(const Job& job, const JobSettings& settings)
{
    std::vector<std::uint8_t> input;
    std::uint32_t size = 0;
    if (mag::Status s = readInput(job.input, &input, &size); s != mag::Status::Ok)
        return reasonOf(s);
    input.resize(size);
    std::vector<std::uint8_t> encoded;
    if (std::string reason = convertFile(settings.format, std::move(input), settings.encode, &encoded);
        !reason.empty())
        return reason;
    return writeOutput(job.output, encoded, settings.force);
}

std::string thumbnail(const std::string& input, const std::string& output, std::uint32_t size, bool force)
{
    MagPicture picture;
    if (mag::Status s = loadMagPicture(input, &picture); s != mag::Status::Ok)
        return reasonOf(s);
    const std::optional<BmpView> bmp = BmpView::of(picture.bmp);
    if (!bmp)
        return reasonOf(mag::Status::OutOfMemory);
    const PixelSize fitted = fitThumbnail(bmp->width(), bmp->height(), hasTallPixels(picture.info), size);
    const std::vector<std::uint8_t> rgb = renderThumbnail(*bmp, fitted);
    std::vector<std::uint8_t> png;
    if (!encodeRgbPng(fitted.width, fitted.height, rgb, &png))
        return reasonOf(mag::Status::OutOfMemory);
    return writeOutput(output, png, force);
}

}  // namespace

std::string runConvertJob(const Job& job, const JobSettings& settings)
{
    if (!job.sameOutputAs.empty())
        return job.output + " is already the output of " + displayName(job.sameOutputAs);
    if (replacesInput(job.input, job.output))
        return isTheInput(job.output);
    if (refusedEarly(job.output, settings.force))
        return alreadyThere(job.output);
    try {
        return convert(job, settings);
    } catch (const std::bad_alloc&) {
        return reasonOf(mag::Status::OutOfMemory);
    }
}

std::string runThumbnailJob(const std::string& input, const std::string& output, std::uint32_t size, bool force)
{
    if (replacesInput(input, output))
        return isTheInput(output);
    if (refusedEarly(output, force))
        return alreadyThere(output);
    try {
        return thumbnail(input, output, size, force);
    } catch (const std::bad_alloc&) {
        return reasonOf(mag::Status::OutOfMemory);
    }
}

}  // namespace tool
