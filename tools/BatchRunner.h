#pragma once

// Runs a batch of conversions on several threads.  One failure never stops
// the others; each is reported as it happens.

#include "ConvertJob.h"
#include "ConvertPlan.h"

#include <vector>

namespace tool {

// The number of processors this process may run on.
unsigned defaultJobCount();

// Returns the exit status: 0 when every job succeeded, else 1.
int runBatch(const std::vector<Job>& jobs, const JobSettings& settings, unsigned threads);

}  // namespace tool
