// MergeFile<H>: merges sorted files five at a time into intermediate files in the temporary
// folder, queued behind the rest, until one is left, which is moved to the output name; H reads
// one input (the record-handler protocol below). Owns its handlers, the step's output and the
// intermediate files, which its destructor deletes; it never deletes an input, but a single
// input is itself moved to the output. Made, merged and destroyed on one worker thread;
// cancel() and the progress counter may be used from any thread.
#pragma once

#include <array>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"

namespace zantric {

inline constexpr int kMergeFanIn = 5;  // files merged in one step

namespace merge_detail {
// Every regular file matching the wildcard `pattern` ('*', '?' in the name part; a pattern
// without a folder looks in the temporary folder), as folder + name, in name order. Throws
// ZantricException "Unable to Open File: " + folder when the folder cannot be read.
std::vector<std::filesystem::path> matchingFiles(const Settings& settings,
                                                 const std::filesystem::path& pattern);
// Moves `from` onto `to`, replacing it: a rename, or a copy and delete across file systems.
bool moveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
// Stops the program: a broken precondition, reported as "Assertion failed: <condition>, <module>".
[[noreturn]] void invariantFailed(const char* condition, const char* module);
}  // namespace merge_detail

// The record-handler protocol, for H:
//   H(input, output)      opens the input and reads its first record;
//   bool hasCurrent()     whether the first read delivered a record;
//   bool readNext()       replaces the current record by the next; false at the end of input;
//   bool interrupted()    the last read stopped because the work was cancelled, not at the end;
//   void writeCurrent(H::Output&)  appends the current record to the step's output, opening it
//                         under the handler's output name on first use;
//   static void closeOutput(H::Output&, name)  completes the output; a step that wrote nothing
//                         still leaves an (empty) output file under `name`;
//   a < b                 a's current record comes before b's in the record order.
template <class H>
class MergeFile {
public:
    static constexpr int kFanIn = kMergeFanIn;

    // Queues every file matching `pattern`, in name order. At least one must match.
    MergeFile(const Settings& settings, const std::filesystem::path& pattern,
              std::filesystem::path outputName, std::atomic<long>* progress)
        : MergeFile(settings, merge_detail::matchingFiles(settings, pattern), std::move(outputName),
                    progress) {
        if (m_pending.empty()) merge_detail::invariantFailed("!found", "MRGFILE");
    }
    // Queues the names in list order; a bare name is taken from the temporary folder of
    // `settings`, where the intermediate files go too. `progress` (may be null) is set to 0 and
    // counts every record written.
    template <class Name>
    MergeFile(const Settings& settings, const std::vector<Name>& names,
              std::filesystem::path outputName, std::atomic<long>* progress)
        : m_settings(settings), m_outputName(std::move(outputName)), m_progress(progress) {
        if (m_progress) m_progress->store(0);
        for (const Name& name : names) {
            m_pending.push_back(settings.tempPath(std::filesystem::path(name).native()));
        }
    }
    ~MergeFile();
    MergeFile(const MergeFile&) = delete;
    MergeFile& operator=(const MergeFile&) = delete;

    // Runs the merge; true unless it was cancelled. Throws ZantricException when a file cannot
    // be opened or written, or "Zantric could not rename this file: " + name when the last file
    // cannot be moved to the output name.
    bool merge();

    // Handlers are made by `make` (input, output) instead of H(input, output) from now on; an H
    // without that constructor needs it before merge().
    using HandlerMaker = std::function<std::unique_ptr<H>(const std::filesystem::path&,
                                                          const std::filesystem::path&)>;
    void makeHandlersWith(HandlerMaker make) { m_makeHandler = std::move(make); }

    // Asks the merge to stop before its next record; any thread.
    void cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancel.load(std::memory_order_relaxed); }
    int fanIn() const { return kFanIn; }

private:
    void step();
    void insert(std::unique_ptr<H> handler);
    std::unique_ptr<H> takeFirst();
    void countRecord() {
        if (m_progress) m_progress->fetch_add(1, std::memory_order_relaxed);
    }
    void noteEnd(const H& handler) {
        if (handler.interrupted()) cancel();
    }

    const Settings& m_settings;
    std::filesystem::path m_outputName;
    std::atomic<long>* m_progress;
    HandlerMaker m_makeHandler;
    std::atomic<bool> m_cancel{false};
    std::array<std::unique_ptr<H>, kFanIn> m_active;  // by current record, smallest first
    int m_activeCount = 0;
    std::optional<typename H::Output> m_output;  // the current step's output
    std::deque<std::filesystem::path> m_pending;
    std::vector<std::filesystem::path> m_created;  // every intermediate file of this merge
};

template <class H>
MergeFile<H>::~MergeFile() {
    // Close everything first, so that no open file keeps an intermediate file alive.
    for (std::unique_ptr<H>& handler : m_active) handler.reset();
    m_activeCount = 0;
    m_output.reset();
    for (const std::filesystem::path& name : m_created) {
        if (fileExists(name)) removeFile(name);
    }
}

template <class H>
bool MergeFile<H>::merge() {
    while (m_pending.size() > 1 && !cancelled()) step();
    if (cancelled()) return false;
    if (m_pending.empty()) merge_detail::invariantFailed("!found", "MRGFILE");
    const std::filesystem::path last = m_pending.back();
    if (!merge_detail::moveReplacing(last, m_outputName)) {
        throw ZantricException(loadString(kStrUnableToRename) + shownPath(last));
    }
    if (fileExists(last)) removeFile(last);
    return true;
}

template <class H>
void MergeFile<H>::step() {
    const std::filesystem::path intermediate = uniqueTempName(m_settings);
    m_created.push_back(intermediate);
    for (int i = 0; i < kFanIn && !m_pending.empty(); ++i) {
        const std::filesystem::path input = std::move(m_pending.front());
        m_pending.pop_front();
        std::unique_ptr<H> handler;
        if constexpr (std::is_constructible_v<H, const std::filesystem::path&,
                                              const std::filesystem::path&>) {
            if (!m_makeHandler) handler = std::make_unique<H>(input, intermediate);
        }
        if (!handler) handler = m_makeHandler(input, intermediate);
        if (handler->hasCurrent()) {
            insert(std::move(handler));
        } else {
            noteEnd(*handler);
        }
    }
    m_pending.push_back(intermediate);

    m_output.emplace();
    while (m_activeCount > 0 && !cancelled()) {
        std::unique_ptr<H> handler = takeFirst();
        countRecord();
        handler->writeCurrent(*m_output);
        if (m_activeCount == 0) {
            // The last input left: copy the rest of it straight through.
            while (!cancelled() && handler->readNext()) {
                countRecord();
                handler->writeCurrent(*m_output);
            }
        } else if (handler->readNext()) {
            insert(std::move(handler));
            continue;
        }
        noteEnd(*handler);
    }
    if (!cancelled()) {
        H::closeOutput(*m_output, intermediate);
        m_output.reset();
    }
}

// Before any handler whose current record is equal, so equal records leave in arrival order.
template <class H>
void MergeFile<H>::insert(std::unique_ptr<H> handler) {
    int place = 0;
    while (place < m_activeCount && *m_active[place] < *handler) ++place;
    for (int i = m_activeCount; i > place; --i) m_active[i] = std::move(m_active[i - 1]);
    m_active[place] = std::move(handler);
    ++m_activeCount;
}

template <class H>
std::unique_ptr<H> MergeFile<H>::takeFirst() {
    std::unique_ptr<H> first = std::move(m_active[0]);
    for (int i = 1; i < m_activeCount; ++i) m_active[i - 1] = std::move(m_active[i]);
    --m_activeCount;
    return first;
}

}  // namespace zantric
