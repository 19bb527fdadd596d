#include "MagPicture.h"

#include <cerrno>
#include <limits>
#include <new>

#include <unistd.h>

namespace tool {
namespace {

constexpr const char* kStandardStream = "-";

// Standard input has no size to ask for; it is read in chunks up to the
// 32-bit limit every length of the converter has.
mag::Status readStandardInput(std::vector<std::uint8_t>* bytes, std::uint32_t* size)
{
    constexpr std::size_t kChunk = 1 << 16;
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max();
    bytes->clear();
    for (;;) {
        const std::size_t held = bytes->size();
        bytes->resize(held + kChunk);
        const ssize_t n = ::read(STDIN_FILENO, bytes->data() + held, kChunk);
        if (n < 0 && errno == EINTR) {
            bytes->resize(held);
            continue;
        }
        if (n < 0)
            return mag::Status::CannotRead;
        bytes->resize(held + static_cast<std::size_t>(n));
        if (bytes->size() > kLimit)
            return mag::Status::TooLarge;
        if (n == 0)
            break;
    }
    *size = static_cast<std::uint32_t>(bytes->size());
    return mag::Status::Ok;
}

mag::Status convert(const std::vector<std::uint8_t>& file, std::uint32_t fileSize, MagPicture* picture)
{
    // The whole file is held, so its header is checked against all of it
    // before the image is sized: a few bytes can claim a picture of 4 GiB.
    if (const int result = mag::getHeader(file.data(), fileSize, &picture->info); result != mag::kHeaderOk)
        return mag::statusOfHeaderResult(result);
    const std::uint32_t imageSize = mag::bmpImageSize(picture->info);
    picture->bmp.resize(imageSize);
    return mag::convertToBmp(file.data(), fileSize, picture->bmp.data(), imageSize);
}

}  // namespace

bool isStandardStream(const std::string& name) { return name == kStandardStream; }

std::string displayName(const std::string& name)
{
    return isStandardStream(name) ? std::string("standard input") : name;
}

mag::Status readInput(const std::string& name, std::vector<std::uint8_t>* bytes, std::uint32_t* size)
{
    try {
        if (isStandardStream(name))
            return readStandardInput(bytes, size);
        return mag::readWholeFile(name.c_str(), bytes, size, 0);
    } catch (const std::bad_alloc&) {
        return mag::Status::OutOfMemory;
    }
}

mag::Status loadMagPicture(const std::string& name, MagPicture* picture)
{
    std::vector<std::uint8_t> file;
    std::uint32_t fileSize = 0;
    if (mag::Status s = readInput(name, &file, &fileSize); s != mag::Status::Ok)
        return s;
    try {
        return convert(file, fileSize, picture);
    } catch (const std::bad_alloc&) {
        return mag::Status::OutOfMemory;
    }
}

mag::Status convertMagFile(const std::vector<std::uint8_t>& file, MagPicture* picture)
{
    if (file.size() > std::numeric_limits<std::uint32_t>::max())
        return mag::Status::TooLarge;
    try {
        return convert(file, static_cast<std::uint32_t>(file.size()), picture);
    } catch (const std::bad_alloc&) {
        return mag::Status::OutOfMemory;
    }
}

}  // namespace tool
