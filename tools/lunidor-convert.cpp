// lunidor-convert: turns a MAG picture into the BMP file image that the
// viewer loads, byte for byte.

#include "mag/Mag.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kProgram = "lunidor-convert";

void printUsage(std::FILE* out)
{
    std::fprintf(out,
                 "usage: %s INPUT.mag -o OUTPUT.bmp\n"
                 "Converts a MAG picture (16 or 256 colours) into a Windows BMP file.\n"
                 "  -o FILE     where to write the BMP image\n"
                 "  -h, --help  show this help\n",
                 kProgram);
}

struct Options {
    std::string input;
    std::string output;
};

// Returns false on wrong usage.
bool parseArguments(int argc, char** argv, Options* options, bool* help)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            *help = true;
            return true;
        }
        if (arg == "-o") {
            if (i + 1 == argc || !options->output.empty())
                return false;
            options->output = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return false;
        } else if (options->input.empty()) {
            options->input = arg;
        } else {
            return false;
        }
    }
    return !options->input.empty() && !options->output.empty();
}

// Writes the bytes beside the output under a temporary name and renames
// it into place, so that a failure never leaves a partial file behind.
bool writeAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    // mkstemp makes the file private; give it the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ok && ::fchmod(fd, 0666 & ~mask) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

mag::Status convertFile(const Options& options)
{
    std::vector<std::uint8_t> file;
    std::uint32_t fileSize = 0;
    if (mag::Status s = mag::readWholeFile(options.input.c_str(), &file, &fileSize, 0); s != mag::Status::Ok)
        return s;
    std::uint32_t imageSize = 0;
    if (mag::Status s = mag::probeBmpSize(file.data(), fileSize, &imageSize); s != mag::Status::Ok)
        return s;
    std::vector<std::uint8_t> image;
    try {
        image.resize(imageSize);
    } catch (const std::bad_alloc&) {
        return mag::Status::OutOfMemory;
    }
    if (mag::Status s = mag::convertToBmp(file.data(), fileSize, image.data(), imageSize); s != mag::Status::Ok)
        return s;
    file = {};
    return writeAtomically(options.output, image) ? mag::Status::Ok : mag::Status::CannotWrite;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    bool help = false;
    if (!parseArguments(argc, argv, &options, &help)) {
        printUsage(stderr);
        return 2;
    }
    if (help) {
        printUsage(stdout);
        return 0;
    }
    const mag::Status status = convertFile(options);
    if (status != mag::Status::Ok) {
        std::fprintf(stderr, "%s: %s: %s", kProgram, options.input.c_str(), mag::describe(status));
        if (status == mag::Status::CannotWrite)
            std::fprintf(stderr, " %s", options.output.c_str());
        std::fputc('\n', stderr);
        return 1;
    }
    return 0;
}
