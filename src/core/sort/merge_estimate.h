// The progress estimate of a merge: how many records MergeFile will write in all its steps,
// found by running its queue of five-at-a-time steps on record counts instead of files. A
// progress dialog shows records written × 100 / estimate. Pure functions; any thread.
#pragma once

#include <span>

#include "core/sort/merge_file.h"

namespace zantric {

// Records written when merging inputs of `counts` records, in queue order; at least 1.
long mergeRecordEstimate(std::span<const long> counts, int fanIn = kMergeFanIn);

// The same for the runs of a sorted word list of `words` records: one run of 3000 per full
// 3000 and one for the remainder.
long runMergeEstimate(long words);

}  // namespace zantric
