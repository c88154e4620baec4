#include "core/sort/merge_work.h"

namespace zantric {

void MergeWork::recordWritten() {
    const long written = m_counter.load(std::memory_order_relaxed);
    if ((written & 0xFF) == 0) setPercent(mergePercent(written, m_estimate));
    if (poll() && m_stopMerge) m_stopMerge();
}

}  // namespace zantric
