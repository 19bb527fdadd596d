#pragma once

// What a batch tells the user on stderr: one line for each failure, a
// progress line while a longer batch runs on a terminal, and at the end a
// line with the counts.  Safe to call from every worker at once.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace tool {

class BatchReport {
public:
    // Progress shows only when asked for and there are more than a few files.
    BatchReport(std::size_t total, bool progressWanted, std::FILE* out = stderr);

    void succeeded();
    void failed(const std::string& input, const std::string& reason);

    // Clears the progress line; prints the counts when there was more than
    // one file.  Returns the exit status: 1 if anything failed.
    int finish();

private:
    void showProgress(bool force);
    void clearProgress();

    std::mutex mutex_;
    std::FILE* out_;
    std::size_t total_;
    std::size_t converted_ = 0;
    std::size_t failed_ = 0;
    bool progress_;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point lastShown_{};
};

// Whether stderr is a terminal, where a progress line makes sense.
bool stderrIsTerminal();

}  // namespace tool
