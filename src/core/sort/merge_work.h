// MergeWork: the one body of the two merging stages (the runs of Make Dictionary From File, the
// dictionaries of Merge Dictionaries), a ProgressWork that runs a MergeFile, shows the records
// written against an estimate, waits while the cancel question is open and stops the merge on
// cancel. Its work runs on a worker thread; the merge's record handler (ReportingHandler) tells
// it of each record directly, not by a virtual call, on that same thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <utility>

#include "core/shell/progress_work.h"
#include "core/sort/merge_file.h"

namespace zantric {

class MergeWork;

// The record handler H that tells the merge work that made it about every record it writes
// (MergeWork::mergeWith).
template <class H>
class ReportingHandler : public H {
public:
    ReportingHandler(const std::string& input, const std::string& output, MergeWork& work)
        : H(input, output), m_work(&work) {}

    void writeCurrent(typename H::Output& output);

private:
    MergeWork* m_work;
};

// Records written as a percentage of the estimate, never above 100.
inline int mergePercent(long written, long estimate) {
    if (estimate <= 0) return 0;
    if (written >= estimate) return 100;
    return static_cast<int>(static_cast<long long>(written) * 100 / estimate);
}

class MergeWork : public ProgressWork {
public:
    // Called by the merge for every record it writes (worker thread): progress, the pause and
    // the cancel.
    void recordWritten();

protected:
    // `estimate`: the records the merge will write in all its steps (merge_estimate.h).
    // Intermediate files go to the temporary folder of `settings`.
    MergeWork(Prompter& prompter, const Settings& settings, long estimate)
        : ProgressWork(prompter), m_settings(settings), m_estimate(estimate) {}

    // The body of work(): merges `inputs` (a wildcard pattern or a list of files, as MergeFile
    // takes them) into `outputName` with the record handler H. The result is 1 when the merge
    // completed, else 0.
    template <class H, class Inputs>
    void mergeWith(Inputs&& inputs, const std::filesystem::path& outputName);

private:
    const Settings& m_settings;
    long m_estimate;
    std::atomic<long> m_counter{0};
    std::function<void()> m_stopMerge;  // set while the merge runs
};

template <class H>
void ReportingHandler<H>::writeCurrent(typename H::Output& output) {
    H::writeCurrent(output);
    m_work->recordWritten();
}

template <class H, class Inputs>
void MergeWork::mergeWith(Inputs&& inputs, const std::filesystem::path& outputName) {
    using Handler = ReportingHandler<H>;
    MergeFile<Handler> merge(m_settings, std::forward<Inputs>(inputs), outputName, &m_counter);
    merge.makeHandlersWith(
        [this](const std::filesystem::path& input, const std::filesystem::path& output) {
            return std::make_unique<Handler>(input, output, *this);
        });
    m_stopMerge = [&merge] { merge.cancel(); };
    bool merged = false;
    if (!poll()) merged = merge.merge();
    m_stopMerge = nullptr;
    if (cancelRequested()) {
        setResult(WorkResult::kCancelled);
    } else if (!merged) {
        setResult(WorkResult::kFailed);
    }
}

}  // namespace zantric
