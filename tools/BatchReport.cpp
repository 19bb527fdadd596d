#include "BatchReport.h"

#include <unistd.h>

namespace tool {
namespace {

constexpr const char* kProgram = "lunidor-convert";
constexpr std::size_t kFewFiles = 3;
// Redrawing for every file of a fast batch would cost more than it tells.
constexpr std::chrono::milliseconds kRedrawInterval{100};

}  // namespace

BatchReport::BatchReport(std::size_t total, bool progressWanted, std::FILE* out)
    : out_(out), total_(total), progress_(progressWanted && total > kFewFiles)
{
}

void BatchReport::succeeded()
{
    const std::lock_guard lock(mutex_);
    ++converted_;
    showProgress(false);
}

void BatchReport::failed(const std::string& input, const std::string& reason)
{
    const std::lock_guard lock(mutex_);
    ++failed_;
    clearProgress();
    std::fprintf(out_, "%s: %s: %s\n", kProgram, input.c_str(), reason.c_str());
    showProgress(true);
}

int BatchReport::finish()
{
    const std::lock_guard lock(mutex_);
    clearProgress();
    if (total_ > 1)
        std::fprintf(out_, "%s: %zu converted, %zu failed\n", kProgram, converted_, failed_);
    std::fflush(out_);
    return failed_ == 0 ? 0 : 1;
}

void BatchReport::showProgress(bool force)
{
    if (!progress_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && progressShown_ && now - lastShown_ < kRedrawInterval)
        return;
    lastShown_ = now;
    std::fprintf(out_, "\r%s: %zu of %zu files, %zu failed", kProgram, converted_ + failed_, total_, failed_);
    std::fflush(out_);
    progressShown_ = true;
}

void BatchReport::clearProgress()
{
    if (!progressShown_)
        return;
    // Back to the start of the line and erase it.
    std::fputs("\r\033[K", out_);
    progressShown_ = false;
}

bool stderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace tool
