// The converter's file operations: thin wrappers that read the bytes through
// the C library's buffered streams and hand them to the buffer-level code.

#include "mag/M2BC.h"
#include "mag/Mag.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>

namespace mag {
namespace {

constexpr int kCommentEnd = 0x1A;
constexpr std::uint32_t kMagHeaderBytes = 32;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens the file "rb" and measures it by seeking to its end and back.
Status openMeasured(const char* path, File* file, std::uint64_t* size)
{
    // A directory opens "rb" on some systems but has no bytes to read.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return Status::CannotOpen;
    file->reset(std::fopen(path, "rb"));
    if (!*file)
        return Status::CannotOpen;
    if (std::fseek(file->get(), 0, SEEK_END) != 0)
        return Status::CannotRead;
    const long end = std::ftell(file->get());
    if (end < 0 || std::fseek(file->get(), 0, SEEK_SET) != 0)
        return Status::CannotRead;
    *size = static_cast<std::uint64_t>(end);
    return Status::Ok;
}

Status resize(std::vector<std::uint8_t>* bytes, std::uint64_t size)
{
    try {
        bytes->assign(static_cast<std::size_t>(size), 0);
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    } catch (const std::length_error&) {
        return Status::OutOfMemory;
    }
    return Status::Ok;
}

}  // namespace

Status readWholeFile(const char* path, std::vector<std::uint8_t>* bytes, std::uint32_t* fileSize,
                     std::uint32_t spare)
{
    File file;
    std::uint64_t size = 0;
    if (Status s = openMeasured(path, &file, &size); s != Status::Ok)
        return s;
    // Every length the converter handles is 32 bits wide.
    if (size > std::numeric_limits<std::uint32_t>::max())
        return Status::TooLarge;
    if (Status s = resize(bytes, size + spare); s != Status::Ok)
        return s;
    if (size != 0 && std::fread(bytes->data(), static_cast<std::size_t>(size), 1, file.get()) != 1)
        return Status::CannotRead;
    *fileSize = static_cast<std::uint32_t>(size);
    return Status::Ok;
}

Status readProbeBytes(const char* path, std::vector<std::uint8_t>* bytes)
{
    File file;
    std::uint64_t size = 0;
    if (Status s = openMeasured(path, &file, &size); s != Status::Ok)
        return s;
    std::uint64_t headerOffset = 0;
    for (;;) {
        if (headerOffset == size)
            return Status::NoHeader;
        const int c = std::fgetc(file.get());
        if (c == EOF)
            return Status::CannotRead;
        ++headerOffset;
        if (c == kCommentEnd)
            break;
    }
    // A file that ends before its header is complete has no header.
    const std::uint64_t probeBytes = headerOffset + kMagHeaderBytes;
    if (probeBytes > size)
        return Status::NoHeader;
    if (probeBytes > std::numeric_limits<std::uint32_t>::max())
        return Status::TooLarge;
    if (Status s = resize(bytes, probeBytes); s != Status::Ok)
        return s;
    if (std::fseek(file.get(), 0, SEEK_SET) != 0 ||
        std::fread(bytes->data(), static_cast<std::size_t>(probeBytes), 1, file.get()) != 1)
        return Status::CannotRead;
    return Status::Ok;
}

}  // namespace mag

std::uint32_t TM2BC::MMAG_GetBmpSize(const char* path)
{
    std::vector<std::uint8_t> probe;
    std::uint32_t size = 0;
    if (mag::readProbeBytes(path, &probe) != mag::Status::Ok ||
        mag::probeBmpSize(probe.data(), static_cast<std::uint32_t>(probe.size()), &size) != mag::Status::Ok)
        return 0;
    return size;
}

int TM2BC::MMAG_MagtoBmp(const char* path, std::uint8_t* image, std::uint32_t imageSize)
{
    // The whole file with 256 spare bytes behind it, read in one go.
    std::vector<std::uint8_t> file;
    std::uint32_t fileSize = 0;
    if (mag::readWholeFile(path, &file, &fileSize) != mag::Status::Ok)
        return -1;
    return mag::convertToBmp(file.data(), fileSize, image, imageSize) == mag::Status::Ok ? 0 : -1;
}
