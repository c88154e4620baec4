#include "core/sort/merge_estimate.h"

#include <deque>
#include <vector>

#include "core/sort/file_sort.h"

namespace zantric {

long mergeRecordEstimate(std::span<const long> counts, int fanIn) {
    if (fanIn < 2) fanIn = 2;
    std::deque<long> queue(counts.begin(), counts.end());
    long total = 0;
    while (!queue.empty()) {
        long sum = 0;
        for (int i = 0; i < fanIn && !queue.empty(); ++i) {
            sum += queue.front();
            queue.pop_front();
        }
        total += sum;
        if (!queue.empty()) queue.push_back(sum);
    }
    return total == 0 ? 1 : total;
}

long runMergeEstimate(long words) {
    if (words <= 0) return mergeRecordEstimate({});
    std::vector<long> runs(static_cast<std::size_t>(words / kSortBlockRecords), kSortBlockRecords);
    if (words % kSortBlockRecords != 0) runs.push_back(words % kSortBlockRecords);
    return mergeRecordEstimate(runs);
}

}  // namespace zantric
