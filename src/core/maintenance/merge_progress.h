// ReportingHandler<H, Stage>: a merge record handler H that tells the progress work running the
// merge about every record it writes, so that the work can move its progress figure, wait while
// the cancel question is open and stop the merge. The work is named for the worker thread only
// while its merge runs (ReportingScope); the call is direct, not virtual.
#pragma once

namespace zantric {

template <class H, class Stage>
class ReportingHandler : public H {
public:
    using H::H;

    void writeCurrent(typename H::Output& output) {
        H::writeCurrent(output);
        if (s_stage) s_stage->recordWritten();
    }

    static inline thread_local Stage* s_stage = nullptr;
};

// Names `stage` as the receiver of a handler type's reports on this thread for its lifetime.
template <class Handler, class Stage>
class ReportingScope {
public:
    explicit ReportingScope(Stage* stage) { Handler::s_stage = stage; }
    ~ReportingScope() { Handler::s_stage = nullptr; }
    ReportingScope(const ReportingScope&) = delete;
    ReportingScope& operator=(const ReportingScope&) = delete;
};

// Records written as a percentage of the estimate, never above 100.
inline int mergePercent(long written, long estimate) {
    if (estimate <= 0) return 0;
    if (written >= estimate) return 100;
    return static_cast<int>(static_cast<long long>(written) * 100 / estimate);
}

}  // namespace zantric
