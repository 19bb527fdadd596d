// Atomic outputs.  On Linux the preferred way is a nameless file (O_TMPFILE)
// in the output's directory that is linked under its name once complete: if
// the process dies on the way, the kernel drops the file and no temporary
// name is ever left behind.  File systems without O_TMPFILE get the classic
// temporary name and rename.

#include "AtomicOutput.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tool {
namespace {

// umask can only be read by setting it, which must not happen while other
// threads create files; so it is read once, before main runs.
mode_t readUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
const mode_t kUmask = readUmask();

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string directoryOf(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

// The nameless file, linked under path only when absent.  Returns nothing
// when this way is not available here, so the caller falls back.
std::optional<WriteResult> writeUnnamedThenLink(const std::string& path, std::span<const std::uint8_t> bytes)
{
    const int fd = ::open(directoryOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::nullopt;
    std::optional<WriteResult> result;
    if (writeAll(fd, bytes)) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
            result = WriteResult::Written;
        else if (errno == EEXIST)
            result = WriteResult::Exists;
    }
    ::close(fd);
    return result;
}

// Renames temp to path without replacing an existing file, on file systems
// that lack the kernel's no-replace rename too.
WriteResult renameWithoutReplacing(const std::string& temp, const std::string& path)
{
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return WriteResult::Written;
    if (errno == EEXIST)
        return WriteResult::Exists;
    if (errno != EINVAL && errno != ENOSYS)
        return WriteResult::Failed;
    if (::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return WriteResult::Written;
    }
    return errno == EEXIST ? WriteResult::Exists : WriteResult::Failed;
}

WriteResult writeTemporaryThenRename(const std::string& path, std::span<const std::uint8_t> bytes,
                                     Replace replace)
{
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return WriteResult::Failed;
    bool ok = writeAll(fd, bytes);
    // mkstemp makes the file private; give it the usual permissions.
    ok = ok && ::fchmod(fd, 0666 & ~kUmask) == 0;
    ok = (::close(fd) == 0) && ok;
    WriteResult result = WriteResult::Failed;
    if (ok && replace == Replace::Yes)
        result = std::rename(temp.c_str(), path.c_str()) == 0 ? WriteResult::Written : WriteResult::Failed;
    else if (ok)
        result = renameWithoutReplacing(temp, path);
    if (result != WriteResult::Written)
        std::remove(temp.c_str());
    return result;
}

}  // namespace

WriteResult writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, Replace replace)
{
    if (replace == Replace::No) {
        if (const std::optional<WriteResult> result = writeUnnamedThenLink(path, bytes))
            return *result;
    }
    return writeTemporaryThenRename(path, bytes, replace);
}

bool writeStandardOutput(std::span<const std::uint8_t> bytes)
{
    return writeAll(STDOUT_FILENO, bytes);
}

}  // namespace tool
