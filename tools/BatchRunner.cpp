#include "BatchRunner.h"

#include "BatchReport.h"
#include "MagPicture.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include <sched.h>

namespace tool {
namespace {

// Each worker takes the next job not yet taken until none are left.
void work(const std::vector<Job>& jobs, const JobSettings& settings, std::atomic<std::size_t>* next,
          BatchReport* report)
{
    for (std::size_t i = (*next)++; i < jobs.size(); i = (*next)++) {
        const std::string reason = runConvertJob(jobs[i], settings);
        if (reason.empty())
            report->succeeded();
        else
            report->failed(displayName(jobs[i].input), reason);
    }
}

}  // namespace

unsigned defaultJobCount()
{
    // The affinity mask, unlike the machine's processor count, respects
    // taskset and container limits.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

int runBatch(const std::vector<Job>& jobs, const JobSettings& settings, unsigned threads)
{
    BatchReport report(jobs.size(), stderrIsTerminal());
    std::atomic<std::size_t> next{0};
    const std::size_t workers = std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(jobs.size(), 1));
    std::vector<std::thread> pool;
    for (std::size_t i = 1; i < workers; ++i) {
        // With fewer threads than asked for, the batch still runs.
        try {
            pool.emplace_back(work, std::cref(jobs), std::cref(settings), &next, &report);
        } catch (const std::system_error&) {
            break;
        }
    }
    work(jobs, settings, &next, &report);
    for (std::thread& t : pool)
        t.join();
    return report.finish();
}

}  // namespace tool
